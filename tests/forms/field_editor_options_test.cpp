// The field editor choosing from an option list: parsing, selection, first-letter search
// with accent-free folding, markers and clicks.
#include <gtest/gtest.h>

#include "field_editor_fixture.h"
#include "forms/edit_options.h"
#include "screen/key_input.h"

namespace zt::test {
namespace {

using namespace zt::keys;

TEST(EditOptions, ParsesCodesAndTexts) {
  const auto options = edit::ParseOptions("|S,S\xA1|N,No|X|,empty code|L,a,b");
  ASSERT_EQ(options.size(), 5u);
  EXPECT_EQ(options[0].code, "S");
  EXPECT_EQ(options[0].text, "S\xA1");
  EXPECT_EQ(options[1].code, "N");
  EXPECT_EQ(options[1].text, "No");
  EXPECT_EQ(options[2].code, "X");
  EXPECT_EQ(options[2].text, "");
  EXPECT_EQ(options[3].code, "");
  EXPECT_EQ(options[3].text, "empty code");
  EXPECT_EQ(options[4].code, "L");
  EXPECT_EQ(options[4].text, "a,b");

  EXPECT_TRUE(edit::ParseOptions("").empty());
  EXPECT_TRUE(edit::ParseOptions("no bar").empty());
  EXPECT_EQ(edit::ParseOptions("lead|A,a").size(), 1u);
}

TEST(EditOptions, SelectsByCode) {
  const auto options = edit::ParseOptions("|S ,S\xA1|N,No|NN,Nn");
  EXPECT_EQ(edit::SelectedOption(options, "S "), 0u);
  EXPECT_EQ(edit::SelectedOption(options, "N"), 1u);
  EXPECT_EQ(edit::SelectedOption(options, "NN"), 2u);
  EXPECT_EQ(edit::SelectedOption(options, "N "), 1u);  // a short code, stored padded
  EXPECT_EQ(edit::SelectedOption(options, "Q"), 0u);   // none: the first
  EXPECT_EQ(edit::SelectedOption(options, "S"), 0u);
  const auto exactFirst = edit::ParseOptions("|A,one|A  ,two");
  EXPECT_EQ(edit::SelectedOption(exactFirst, "A  "), 1u);  // an exact match wins
}

class OptionFieldTest : public FieldEditorTest {
 protected:
  void SetOptions(std::string list) { rt.forms.CurrentOptions = std::move(list); }
};

TEST_F(OptionFieldTest, FirstLetterSearchFoldsCaseAndAccents) {
  struct Case {
    const char* name;
    std::string options;
    std::string value;
    std::string typed;
    std::string want;
  };
  const Case cases[] = {
      {"s selects Si", "|S,S\xA1|N,No", "N", "s", "S"},
      {"S selects Si", "|S,S\xA1|N,No", "N", "S", "S"},
      {"n selects No", "|S,S\xA1|N,No", "S", "n", "N"},
      {"no match changes nothing", "|S,S\xA1|N,No", "N", "z", "N"},
      {"plain letter finds an accented text", "|1,Ordre|2,\xB7rea", "1", "a", "2"},
      {"accented letter finds a plain text", "|1,Ordre|2,Alfa", "1", "\xB7", "2"},
      {"lower-case accent", "|1,\x90xit|2,Ordre", "2", "\x82", "1"},  // é finds Éxit
      {"search starts after the selected", "|1,Alfa|2,Beta|3,Asa", "1", "a", "3"},
      {"search wraps once", "|1,Alfa|2,Beta|3,Asa", "3", "a", "1"},
      {"repeated letter cycles", "|1,Alfa|2,Beta|3,Asa", "1", "aa", "1"},
      {"only the selected matches", "|1,Alfa|2,Beta", "1", "a", "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetOptions(c.options);
    Push(Typed(c.typed) + Script{{kEnter}});
    const EditResult r = Edit(c.value, 1);
    EXPECT_EQ(r.text, c.want);
    EXPECT_EQ(r.key, kEnter);
    EXPECT_FALSE(rt.locale.accentFreeFolding);  // switched on for the search only
  }
}

TEST_F(OptionFieldTest, CyclingWithArrowsAndSpace) {
  struct Case {
    const char* name;
    std::string value;
    Script script;
    std::string want;
  };
  const Case cases[] = {
      {"Right", "A", Script{{kRight}}, "B"},
      {"Right from the last wraps", "C", Script{{kRight}}, "A"},
      {"Left", "B", Script{{kLeft}}, "A"},
      {"Left from the first wraps", "A", Script{{kLeft}}, "C"},
      {"space is Right", "A", Script{{' '}, {' '}}, "C"},
      {"editing keys do nothing", "B",
       Script{{kBackspace}, {kDelete}, {kHome, kModCtrl}, {25}, {22}, {kHome}, {kEnd}}, "B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetOptions("|A,Alfa|B,Beta|C,Gamma");
    Push(c.script + Script{{kEnter}});
    EXPECT_EQ(Edit(c.value, 1).text, c.want);
  }
}

TEST_F(OptionFieldTest, KeysThatEndTheChoice) {
  const std::int16_t leaving[] = {kUp, kDown, kShiftTab, 29440, 29696, kPgDn, kEsc};
  for (std::int16_t key : leaving) {
    SCOPED_TRACE(key);
    SetOptions("|A,Alfa|B,Beta");
    std::int16_t want = key == kShiftTab ? kUp : key;
    if (key == 29440) {
      t.console.PushKey(kLeft, kModCtrl);
    } else if (key == 29696) {
      t.console.PushKey(kRight, kModCtrl);
    } else {
      t.console.PushKey(key);
    }
    EXPECT_EQ(Edit("B", 1).key, want);
    EXPECT_EQ(t.console.PendingEvents(), 0u);
  }
}

TEST_F(OptionFieldTest, UnknownValueTakesTheFirstOptionAtOnce) {
  SetOptions("|S,S\xA1|N,No");
  Push(Script{{kEsc}});
  const EditResult r = Edit("Q ", 1);
  EXPECT_EQ(r.text, "S ");
  EXPECT_EQ(r.key, kEsc);
}

TEST_F(OptionFieldTest, TextBetweenMarkersAndMarkersBlankedAfter) {
  SetOptions("|1,Un|2,Dos|3,Tres");
  // The calendar hook runs mid-edit and shows what the operator sees.
  std::string during;
  rt.screen.runCalendar = [&](Runtime&) {
    during = ScreenText(kRow, kColumn - 1, 6);
    return std::string();
  };
  SetKeySet(rt, "ea", "d");
  Push(Script{{kAltC, kModAlt}, {kEnter}});
  const EditResult r = Edit("2", 1);
  EXPECT_EQ(r.text, "2");
  // Left marker, "Dos" padded to the longest text, right marker (console bytes 0x11, 0x10).
  EXPECT_EQ(during,
            "\x11"
            "Dos \x10");
  EXPECT_EQ(ScreenText(kRow, kColumn - 1, 1), " ");
  EXPECT_EQ(ScreenText(kRow, kColumn + 4, 1), " ");
  EXPECT_EQ(ScreenText(kRow, kColumn, 4), "Dos ");
  EXPECT_EQ(t.console.CursorRow(), kRow);
  EXPECT_EQ(t.console.CursorColumn(), kColumn);
}

TEST_F(OptionFieldTest, LongTextIsCutToItsWidthButCodeFillsTheField) {
  SetOptions("|LONGCODE,Short|B,Longer text");
  Push(Script{{kEnter}});
  const EditResult r = Edit("XYZ", 1);
  EXPECT_EQ(r.text, "LON");
  EXPECT_EQ(ScreenText(kRow, kColumn, 11), "Short      ");
}

TEST_F(OptionFieldTest, ClicksOnMarkersStepAndElsewhereLeave) {
  struct Case {
    const char* name;
    int column;
    int row;
    std::string want;
    std::int16_t wantKey;
  };
  // Field at kColumn, texts 4 wide: markers at kColumn - 1 and kColumn + 4.
  const Case cases[] = {
      {"left marker", kColumn - 1, kRow, "A", kEnter},
      {"right marker", kColumn + 4, kRow, "C", kEnter},
      {"outside", kColumn + 5, kRow, "B", -((kColumn + 5) * 100 + kRow)},
      {"other row", kColumn, kRow + 1, "B", -(kColumn * 100 + kRow + 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetOptions("|A,Alfa|B,Beta|C,Gama");
    SetKeySet(rt, "ea", "d");
    t.console.PushMouseRelease(1, c.row, c.column);
    if (c.wantKey == kEnter) t.console.PushKey(kEnter);
    const EditResult r = Edit("B", 1);
    EXPECT_EQ(r.text, c.want);
    EXPECT_EQ(r.key, c.wantKey);
    EXPECT_EQ(t.console.PendingEvents(), 0u);
  }
}

TEST_F(OptionFieldTest, ClickOnTheTextIsKeyZero) {
  SetOptions("|A,Alfa|B,Beta");
  t.console.PushMouseRelease(1, kRow, kColumn + 1);
  EXPECT_EQ(Edit("B", 1).key, 0);  // no key set: returned as it is

  SetKeySet(rt, "ea", "d");
  t.console.PushMouseRelease(1, kRow, kColumn + 1);
  t.console.PushKey(kEnter);
  EXPECT_EQ(Edit("B", 1).key, kEnter);  // with a key set: swallowed
  EXPECT_EQ(t.console.ExhaustedWaits(), 0);
}

TEST_F(OptionFieldTest, CopyTakesTheSelectedText) {
  SetOptions("|S,S\xA1|N,No");
  Push(Script{{kRight}, {3}, {kEnter}});
  Edit("S", 1);
  EXPECT_EQ(rt.forms.editor.clipboard, "No");
  EXPECT_EQ(t.console.TerminalClipboard(), "No");
}

TEST_F(OptionFieldTest, TerminalPasteIsDropped) {
  SetOptions("|S,S\xA1|N,No");
  t.console.PushPaste("N");
  Push(Script{{kEnter}});
  EXPECT_EQ(Edit("S", 1).text, "S");
  EXPECT_TRUE(rt.screen.pastedText.empty());
}

TEST_F(OptionFieldTest, MarkerOffTheScreenIsLeftOut) {
  SetOptions("|A,Alfa|B,Beta");
  Push(Script{{kEnter}});
  std::int16_t row = kRow;
  std::int16_t column = 1;
  std::int16_t lineLength = 0;
  std::int16_t cursor = 1;
  std::int16_t key = 0;
  std::string text = "B";
  EditField(rt, row, column, lineLength, text, cursor, key);
  // The field's first character was not overwritten by a marker nor blanked after it.
  EXPECT_EQ(ScreenText(kRow, 1, 5), "Beta ");
}

}  // namespace
}  // namespace zt::test

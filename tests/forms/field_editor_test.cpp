// The field editor in free-text mode, driven through scripted keys on a MemoryConsole.
#include <gtest/gtest.h>

#include "field_editor_fixture.h"
#include "screen/key_input.h"
#include "screen/windows.h"

namespace zt::test {
namespace {

using namespace zt::keys;

constexpr std::int16_t kCtrlLeft = 29440;
constexpr std::int16_t kCtrlRight = 29696;
constexpr std::uint8_t kCtrl = kModCtrl;

struct KeyCase {
  const char* name;
  std::string text;
  std::int16_t cursor;
  bool insert;
  std::int16_t lineLength;
  Script script;  // must end the edit
  std::string wantText;
  std::int16_t wantCursor;
  std::int16_t wantKey;
};

TEST_F(FieldEditorTest, KeyActions) {
  const Stroke enter{kEnter};
  const KeyCase cases[] = {
      {"overwrite typing", "abcd", 1, false, 0, Typed("XY") + Script{enter}, "XYcd", 3, kEnter},
      {"overwrite at end is ignored", "ab", 3, false, 0, Typed("Z") + Script{enter}, "ab", 3,
       kEnter},
      {"overwrite up to the end", "ab", 1, false, 0, Typed("xyz") + Script{enter}, "xy", 3, kEnter},
      {"insert before AB", "AB ", 1, true, 0, Typed("X") + Script{enter}, "XAB", 2, kEnter},
      {"insert into a full text", "ABC", 1, true, 0, Typed("X") + Script{enter}, "ABC", 1, kEnter},
      {"insert in the middle", "ac  ", 2, true, 0, Typed("b") + Script{enter}, "abc ", 3, kEnter},
      {"Insert toggles to insert", "ab  ", 1, false, 0,
       Script{{kInsert}} + Typed("X") + Script{enter}, "Xab ", 2, kEnter},
      {"Insert toggles back", "ab  ", 1, true, 0, Script{{kInsert}} + Typed("X") + Script{enter},
       "Xb  ", 2, kEnter},
      {"Home", "ab  ", 3, false, 0, Script{{kHome}, enter}, "ab  ", 1, kEnter},
      {"End after last non-blank", "ab  ", 1, false, 0, Script{{kEnd}, enter}, "ab  ", 3, kEnter},
      {"End on a blank text", "   ", 3, false, 0, Script{{kEnd}, enter}, "   ", 1, kEnter},
      {"Left stops at 1", "ab", 2, false, 0, Script{{kLeft}, {kLeft}, enter}, "ab", 1, kEnter},
      {"Right stops at end", "ab", 2, false, 0, Script{{kRight}, {kRight}, enter}, "ab", 3, kEnter},
      {"Backspace at 1", "abcd", 1, false, 0, Script{{kBackspace}, enter}, "abcd", 1, kEnter},
      {"Backspace", "abcd", 3, false, 0, Script{{kBackspace}, enter}, "acd ", 2, kEnter},
      {"Delete at end", "abcd", 5, false, 0, Script{{kDelete}, enter}, "abcd", 5, kEnter},
      {"Delete", "abcd", 2, false, 0, Script{{kDelete}, enter}, "acd ", 2, kEnter},
      {"Ctrl+Home clears", "abc", 3, false, 0, Script{{kHome, kCtrl}, enter}, "   ", 1, kEnter},
      {"Ctrl+Y clears", "abc", 3, false, 0, Script{{25}, enter}, "   ", 1, kEnter},
      {"word left from end", "alfa beta", 10, false, 0, Script{{kLeft, kCtrl}, enter}, "alfa beta",
       6, kEnter},
      {"word right from 1", "alfa beta", 1, false, 0, Script{{kRight, kCtrl}, enter}, "alfa beta",
       6, kEnter},
      {"word right from b", "alfa beta", 6, false, 0, Script{{kRight, kCtrl}, enter}, "alfa beta",
       10, kEnter},
      {"word left at 1 ends", "alfa", 1, false, 0, Script{{kLeft, kCtrl}}, "alfa", 1, kCtrlLeft},
      {"word right at end ends", "alfa", 5, false, 0, Script{{kRight, kCtrl}}, "alfa", 5,
       kCtrlRight},
      {"Up in one line ends", "abc", 2, false, 0, Script{{kUp}}, "abc", 2, kUp},
      {"Down in one line ends", "abc", 2, false, 0, Script{{kDown}}, "abc", 2, kDown},
      {"Up moves a line, then ends", std::string(20, 'a'), 15, false, 10, Script{{kUp}, {kUp}},
       std::string(20, 'a'), 5, kUp},
      {"Down moves a line, then ends", std::string(20, 'a'), 5, false, 10, Script{{kDown}, {kDown}},
       std::string(20, 'a'), 15, kDown},
      {"Down from 11 reaches end", std::string(20, 'a'), 11, false, 10, Script{{kDown}, enter},
       std::string(20, 'a'), 21, kEnter},
      {"Shift+Tab moves a line up", std::string(20, 'a'), 12, false, 10, Script{{kShiftTab}, enter},
       std::string(20, 'a'), 2, kEnter},
      {"Tab leaves as Enter", "ab", 1, false, 0, Script{{kTab}}, "ab", 1, kEnter},
      {"Shift+Tab leaves as Up", "ab", 1, false, 0, Script{{kShiftTab}}, "ab", 1, kUp},
      {"Alt+F4 leaves as Esc", "ab", 1, false, 0, Script{{FunctionKey(4), kModAlt}}, "ab", 1, kEsc},
      {"Ctrl+F4 leaves as Esc", "ab", 1, false, 0, Script{{FunctionKey(4), kCtrl}}, "ab", 1, kEsc},
      {"other keys leave unchanged", "ab", 1, false, 0, Script{{FunctionKey(5)}}, "ab", 1,
       FunctionKey(5)},
      {"typing then Esc keeps the typed text", "ab", 1, false, 0, Typed("z") + Script{{kEsc}}, "zb",
       2, kEsc},
      {"cursor forced into range", "ab", 40, false, 0, Script{enter}, "ab", 3, kEnter},
      {"cursor 0 becomes 1", "ab", 0, false, 0, Script{enter}, "ab", 1, kEnter},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    t.console.Clear();
    rt.forms.editor.insertMode = c.insert;
    const EditResult r = Edit(c.text, c.cursor, c.script, c.lineLength);
    EXPECT_EQ(r.text, c.wantText);
    EXPECT_EQ(r.cursor, c.wantCursor);
    EXPECT_EQ(r.key, c.wantKey);
    EXPECT_EQ(t.console.PendingEvents(), 0u);
    EXPECT_EQ(t.console.ExhaustedWaits(), 0);
  }
}

TEST_F(FieldEditorTest, DrawsTheTextAndTypingInOverwriteEchoes) {
  Push(Typed("XY") + Script{{kEnter}});
  Edit("abcd", 2);
  EXPECT_EQ(ScreenText(kRow, kColumn, 4), "aXYd");
  EXPECT_EQ(ScreenText(kRow, kColumn + 4, 1), " ");
}

TEST_F(FieldEditorTest, MultiLineTextIsDrawnLineByLine) {
  Push(Script{{kDelete}, {kEnter}});
  const EditResult r = Edit("abcdefghijKLMNOPQRSTuv", 1, 10);
  EXPECT_EQ(r.text, "bcdefghijKLMNOPQRSTuv ");
  EXPECT_EQ(ScreenText(kRow, kColumn, 11), "bcdefghijK ");
  EXPECT_EQ(ScreenText(kRow + 1, kColumn, 11), "LMNOPQRSTu ");
  EXPECT_EQ(ScreenText(kRow + 2, kColumn, 3), "v  ");
}

TEST_F(FieldEditorTest, CursorShapeFollowsTheTypingMode) {
  rt.forms.editor.insertMode = false;
  Push(Script{{kEnter}});
  Edit("ab", 1);
  EXPECT_EQ(t.console.CursorHeight(), 100);

  Push(Script{{kInsert}, {kEnter}});
  Edit("ab", 1);
  EXPECT_TRUE(rt.forms.editor.insertMode);
  EXPECT_EQ(t.console.CursorHeight(), 50);

  // The mode carries over to the next edit.
  Push(Script{{kEnter}});
  Edit("ab", 1);
  EXPECT_EQ(t.console.CursorHeight(), 50);
}

TEST_F(FieldEditorTest, CursorIsShownWhileReadingAndHiddenAfter) {
  // The calculator hook runs inside the read: it sees the cursor as the operator does.
  struct Seen {
    bool visible = false;
    int row = 0;
    int column = 0;
  };
  std::vector<Seen> seen;
  rt.screen.runCalculator = [&](Runtime& r) {
    seen.push_back({r.console.CursorVisible(), r.console.CursorRow(), r.console.CursorColumn()});
    return std::string();
  };
  SetKeySet(rt, "ea", "d");  // Alt+X itself is then swallowed
  Push(Script{{kAltX, kModAlt}, {kRight}, {kAltX, kModAlt}, {kDown}, {kAltX, kModAlt}, {kEnter}});
  const EditResult r = Edit(std::string(20, 'a'), 10, 10);
  EXPECT_EQ(r.key, kEnter);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_TRUE(seen[0].visible);
  EXPECT_EQ(seen[0].row, kRow);
  EXPECT_EQ(seen[0].column, kColumn + 9);
  EXPECT_EQ(seen[1].row, kRow + 1);
  EXPECT_EQ(seen[1].column, kColumn);
  // At end, on the first column of a new line: just after the previous line instead.
  EXPECT_EQ(seen[2].row, kRow + 1);
  EXPECT_EQ(seen[2].column, kColumn + 10);
  EXPECT_FALSE(t.console.CursorVisible());
  EXPECT_EQ(t.console.CursorRow(), kRow);
  EXPECT_EQ(t.console.CursorColumn(), kColumn);
}

TEST_F(FieldEditorTest, CalculatorResultArrivesAsTypedKeys) {
  rt.screen.runCalculator = [](Runtime&) { return std::string("12.5"); };
  SetKeySet(rt, "ea", "d,1b");
  Push(Script{{kAltX, kModAlt}, {kEnter}});
  const EditResult r = Edit("      ", 1);
  EXPECT_EQ(r.text, "12.5  ");
  EXPECT_EQ(r.key, kEnter);
  EXPECT_EQ(t.console.ExhaustedWaits(), 0);
}

TEST_F(FieldEditorTest, KeySetFiltersAndTranslatesLeavingKeys) {
  struct Case {
    const char* name;
    const char* list;
    Script script;
    std::int16_t wantKey;
  };
  const Case cases[] = {
      {"admitted key", "d,1b", Script{{kEnter}}, kEnter},
      {"Enter becomes End when End is admitted", "d,4f00", Script{{kEnter}}, kEnd},
      {"Tab becomes Enter and no further", "4f00,d", Script{{kTab}}, kEnter},
      {"not admitted is swallowed", "1b", Script{{FunctionKey(5)}, {kEnter}, {kEsc}}, kEsc},
      {"delivered as its translation", "3b00=1b,d", Script{{kF1}}, kEsc},
      {"Shift+Tab is filtered as Up", "4800", Script{{kShiftTab}}, kUp},
      {"Up translated is still filtered", "d", Script{{kShiftTab}, {kEnter}}, kEnter},
      {"F11 is a key, not a click", "d", Script{{kF11}, {kEnter}}, kEnter},
      {"only whole entries match", "d00,0,1b", Script{{kEnter}, {kEsc}}, kEsc},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetKeySet(rt, "ea", c.list);
    const EditResult r = Edit("ab", 1, c.script);
    EXPECT_EQ(r.key, c.wantKey);
    EXPECT_EQ(t.console.PendingEvents(), 0u);
    EXPECT_EQ(t.console.ExhaustedWaits(), 0);
  }
}

TEST_F(FieldEditorTest, SwallowedKeyRedrawsTheField) {
  // A pop-up that leaves marks over the field: the swallowed hot key redraws it.
  rt.screen.runCalendar = [](Runtime& r) {
    r.console.SetCursor(kRow, kColumn);
    r.console.Write("ZZZ");
    return std::string();
  };
  SetKeySet(rt, "ea", "d");
  Push(Script{{kAltC, kModAlt}, {kEnter}});
  const EditResult r = Edit("abc", 1);
  EXPECT_EQ(r.key, kEnter);
  EXPECT_EQ(r.text, "abc");
  EXPECT_EQ(ScreenText(kRow, kColumn, 3), "abc");
}

TEST_F(FieldEditorTest, HiddenInputShowsXAndNoEcho) {
  SetKeySet(rt, "h", "");
  Push(Typed("se") + Script{{kEnter}});
  const EditResult r = Edit("    ", 1);
  EXPECT_EQ(r.text, "se  ");
  EXPECT_EQ(ScreenText(kRow, kColumn, 5), "XXXX ");

  rt.forms.editor.insertMode = true;
  Push(Typed("c") + Script{{kEnter}});
  const EditResult inserted = Edit("ab  ", 1);
  EXPECT_EQ(inserted.text, "cab ");
  EXPECT_EQ(ScreenText(kRow, kColumn, 5), "XXXX ");
}

TEST_F(FieldEditorTest, HiddenInputIsNotCopied) {
  SetKeySet(rt, "h", "");
  rt.forms.editor.clipboard = "before";
  Push(Script{{3}, {kEnter}});
  Edit("secret", 1);
  EXPECT_EQ(rt.forms.editor.clipboard, "before");
  EXPECT_EQ(t.console.TerminalClipboard(), "");
}

TEST_F(FieldEditorTest, ClicksMoveTheCursorOrLeave) {
  struct Case {
    const char* name;
    std::string text;
    std::int16_t lineLength;
    int clickRow;
    int clickColumn;
    std::int16_t wantCursor;
    std::int16_t wantKey;
  };
  const Case cases[] = {
      {"on a character", "abcdef", 0, kRow, kColumn + 3, 4, kEnter},
      {"on the first", "abcdef", 0, kRow, kColumn, 1, kEnter},
      {"just after the text", "abcdef", 0, kRow, kColumn + 6, 7, kEnter},
      {"left of the field", "abcdef", 0, kRow, kColumn - 1, 1, -((kColumn - 1) * 100 + kRow)},
      {"past the field", "abcdef", 0, kRow, kColumn + 7, 1, -((kColumn + 7) * 100 + kRow)},
      {"row below", "abcdef", 0, kRow + 1, kColumn, 1, -(kColumn * 100 + kRow + 1)},
      {"second line of a multi-line text", std::string(20, 'a'), 10, kRow + 1, kColumn + 2, 13,
       kEnter},
      {"last column of a line", std::string(20, 'a'), 10, kRow, kColumn + 9, 10, kEnter},
      {"column after a line", std::string(20, 'a'), 10, kRow, kColumn + 10, 1,
       -((kColumn + 10) * 100 + kRow)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetKeySet(rt, "ea", "d");  // clicks outside still leave: the form hit-tests them
    t.console.PushMouseRelease(1, c.clickRow, c.clickColumn);
    if (c.wantKey == kEnter) t.console.PushKey(kEnter);
    const EditResult r = Edit(c.text, 1, c.lineLength);
    EXPECT_EQ(r.cursor, c.wantCursor);
    EXPECT_EQ(r.key, c.wantKey);
    EXPECT_EQ(t.console.PendingEvents(), 0u);
  }
}

TEST_F(FieldEditorTest, CopyPutsTheTrimmedTextOnBothClipboards) {
  Push(Script{{3}, {kEnter}});
  Edit("  ab c  ", 1);
  EXPECT_EQ(rt.forms.editor.clipboard, "ab c");
  EXPECT_EQ(t.console.TerminalClipboard(), "ab c");
}

TEST_F(FieldEditorTest, PasteWritesCleanedTextFromTheCursor) {
  struct Case {
    const char* name;
    std::string clipboard;
    std::string text;
    std::int16_t cursor;
    std::string want;
  };
  const Case cases[] = {
      {"controls and blanks removed", "  12\t34  ", "    ", 1, "1234"},
      {"from the cursor, cut at the end", "xyz", "abcd", 3, "abxy"},
      {"at end nothing fits", "xyz", "abcd", 5, "abcd"},
      {"empty clipboard", "", "abcd", 1, "abcd"},
      {"only blanks", "   ", "abcd", 1, "abcd"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    rt.forms.editor.clipboard = c.clipboard;
    Push(Script{{22}, {kEnter}});
    const EditResult r = Edit(c.text, c.cursor);
    EXPECT_EQ(r.text, c.want);
    EXPECT_EQ(r.cursor, c.cursor);  // the cursor does not move
    EXPECT_EQ(ScreenText(kRow, kColumn, static_cast<int>(c.want.size())), c.want);
  }
}

TEST_F(FieldEditorTest, TerminalPasteGoesThroughThePasteRules) {
  rt.forms.editor.clipboard = "clip";
  t.console.PushPaste("  x\ty\r\n  ");
  Push(Script{{kEnter}});
  const EditResult r = Edit("abcdef", 2);
  EXPECT_EQ(r.text, "axydef");
  EXPECT_EQ(r.key, kEnter);
  EXPECT_TRUE(rt.screen.pastedText.empty());
  EXPECT_EQ(rt.forms.editor.clipboard, "clip");  // the process clipboard is untouched

  // The next Ctrl+V takes the process clipboard again.
  Push(Script{{22}, {kEnter}});
  EXPECT_EQ(Edit("abcdef", 1).text, "clipef");
}

TEST_F(FieldEditorTest, RowAndColumnZeroTakeTheCursorPlace) {
  t.console.SetCursor(7, 30);
  Push(Typed("Q") + Script{{kEnter}});
  std::int16_t row = 0;
  std::int16_t column = 0;
  std::int16_t lineLength = 0;
  std::int16_t cursor = 1;
  std::int16_t key = 0;
  std::string text = "ab";
  EditField(rt, row, column, lineLength, text, cursor, key);
  EXPECT_EQ(row, 7);
  EXPECT_EQ(column, 30);
  EXPECT_EQ(lineLength, 3);
  EXPECT_EQ(ScreenText(7, 30, 2), "Qb");
}

TEST_F(FieldEditorTest, EmptyTextStillLeaves) {
  Push(Typed("a") + Script{{kDelete}, {kBackspace}, {22}, {kEnter}});
  rt.forms.editor.clipboard = "x";
  const EditResult r = Edit("", 1);
  EXPECT_EQ(r.text, "");
  EXPECT_EQ(r.cursor, 1);
  EXPECT_EQ(r.key, kEnter);
}

TEST_F(FieldEditorTest, WaitsForInputInsteadOfPolling) {
  // Nothing but a pointer movement: the editor must block in WaitForInput, where the
  // exhausted script hands it Esc. A polling loop would never get there.
  InputEvent move;
  move.kind = EventKind::MouseMove;
  move.row = 1;
  move.column = 1;
  t.console.PushEvent(move);
  const int flushesBefore = t.console.Flushes();
  EXPECT_EQ(Edit("ab", 1).key, kEsc);
  expectedExhaustedWaits = 1;
  EXPECT_GT(t.console.Flushes(), flushesBefore);  // drawn output goes out before the wait
}

TEST_F(FieldEditorTest, PlacesAndClicksAreRelativeToTheWindow) {
  OpenWindow(rt, 3, 5, 12, 60);
  // Row 2, column 4 of the window is screen row 5, column 9.
  t.console.PushMouseRelease(1, 5, 11);
  Push(Typed("Z") + Script{{kEnter}});
  std::int16_t row = 2;
  std::int16_t column = 4;
  std::int16_t lineLength = 0;
  std::int16_t cursor = 1;
  std::int16_t key = 0;
  std::string text = "abcd";
  EditField(rt, row, column, lineLength, text, cursor, key);
  EXPECT_EQ(text, "abZd");
  EXPECT_EQ(key, kEnter);
  EXPECT_EQ(ScreenText(5, 9, 4), "abZd");
  EXPECT_EQ(t.console.CursorRow(), 5);
  EXPECT_EQ(t.console.CursorColumn(), 9);
  CloseWindow(rt);
}

}  // namespace
}  // namespace zt::test

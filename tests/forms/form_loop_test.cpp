#include "forms/form_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/form_loader.h"
#include "platform/keycodes.h"
#include "screen/key_input.h"
#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt {
namespace {

constexpr std::int16_t kF2 = keys::FunctionKey(2);
constexpr std::int16_t kF4 = keys::FunctionKey(4);

// Keys admitted by the test forms: Enter, Esc, Up, Down, PgUp, PgDn, F2, F4.
#define KEYS "\"d,1b,4800,5000,4900,5100,3c00,3e00\""

// Form 1: four plain fields on rows 5-8, field 4 a percentage; no continuation.
const char* const kPlainForm = "1,8\r\n" KEYS
                               ",4,0,0,0,0,0\r\n"
                               "5,1,\"Nom:\",6,0,0,0,0,2,\r\n"
                               "6,1,\"Tipus:\",4,0,0,0,0,0,\r\n"
                               "7,1,\"Desc:\",4,0,0,0,0,0,\r\n"
                               "8,1,\"Tant:\",5,0,0,0,6,0,\r\n";

class FormLoopTest : public ::testing::Test {
 protected:
  FormLoopTest() {
    t.env.Set("KYBROOT", dir.Path());
    dir.Write("Vorn.ini", "[Usuari]\r\nDecCaracter=\",\"\r\nMilCaracter=\".\"\r\n");
    rt().session.RootDir = dir.Path();
    rt().session.TempDir = dir.Path();
    rt().session.ProgramName = "ZENTARIO";
    rt().session.Language = "CAT";
    rt().session.Title = " PROVA ";
  }
  Runtime& rt() { return t.rt; }
  MemoryConsole& console() { return t.console; }

  void Load(const char* text) {
    std::string error;
    ASSERT_TRUE(ParseFormDefinition(rt(), text, "T.QFM", rt().forms.definition, error)) << error;
  }
  FormField& Field(int form, int field) {
    FormField* f = FindField(rt().forms.definition, form, field);
    EXPECT_NE(f, nullptr);
    return *f;
  }
  void SetValue(int form, int field, std::string_view text) {
    AssignValue(Field(form, field), text);
  }
  std::string Value(int form, int field) { return Field(form, field).Value; }

  std::string ScreenText(int row, int column, int length) {
    std::string text;
    for (int c = column; c < column + length; ++c)
      text.push_back(static_cast<char>(console().ReadCell(row, c).ch));
    return text;
  }
  void FillScreen(char ch) {
    for (int r = 1; r <= 25; ++r)
      for (int c = 1; c <= 80; ++c)
        console().WriteCell(r, c, Cell{static_cast<std::uint8_t>(ch), 7});
  }

  // Runs form 1 (or another) and returns the leaving key; the script must be used up.
  std::int16_t Run(std::int16_t form = 1, std::int16_t leaveOnPgUp = 0,
                   std::int16_t leaveOnPgDn = 0) {
    std::int16_t key = 0;
    RunForm(rt(), form, leaveOnPgUp, leaveOnPgDn, key);
    EXPECT_EQ(console().ExhaustedWaits(), 0) << "the form did not end where the script did";
    EXPECT_EQ(console().PendingEvents(), 0u) << "the form ended before the script did";
    EXPECT_FALSE(KeySetActive(rt())) << "the run must give the key set back";
    return key;
  }
  void Keys(std::initializer_list<std::int16_t> codes) {
    for (std::int16_t code : codes) console().PushKey(code);
  }

  test::TempDir dir;
  test::TestRuntime t;
};

TEST_F(FormLoopTest, DrawFormCentresTheTitleAndDrawsHeadingsLabelsAndValues) {
  Load(kPlainForm);
  SetValue(1, 1, "IVA");
  SetValue(1, 4, "16");
  rt().session.Title = " PROVA ";  // 7 characters: 41 - 3.5 rounds to even, column 37
  DrawForm(rt(), 1);
  EXPECT_EQ(ScreenText(1, 36, 9), "  PROVA  ");
  EXPECT_EQ(ScreenText(2, 1, 42), "                    SECCI\xE0 0      SECCI\xE0 1");
  EXPECT_EQ(ScreenText(3, 21, 22), "--------      --------");
  EXPECT_EQ(ScreenText(5, 1, 12), "Nom:IVA     ");
  EXPECT_EQ(ScreenText(6, 1, 10), "Tipus:    ");
  EXPECT_EQ(ScreenText(8, 1, 12), "Tant:16,00 %");

  rt().session.Title = " IVA ";  // 5 characters: 41 - 2.5 rounds to even, column 39
  console().Clear();
  DrawForm(rt(), 1);
  EXPECT_EQ(ScreenText(1, 38, 7), "  IVA  ");
}

TEST_F(FormLoopTest, ShowFieldValueForOptionsHiddenAndMultiLineFields) {
  Load("1,8\r\n" KEYS
       ",4,0,0,0,0,0\r\n"
       "5,1,\"Si:\",1,0,3,0,0,0,\"|S,S\xA1|N,No\"\r\n"
       "6,1,\"Clau:\",6,0,0,2,0,0,\r\n"
       "7,1,\"Text:\",6,3,0,0,0,0,\r\n"
       "9,1,\"Codi:\",2,0,2,0,0,0,\"|A,Alfa|BB,Beta llarga\"\r\n");
  FillScreen('#');
  SetValue(1, 1, "S");
  SetValue(1, 2, "secret");
  SetValue(1, 3, "abcdef");
  SetValue(1, 4, "A");  // stored padded: "A " matches the code A
  for (std::int16_t j = 1; j <= 4; ++j) ShowFieldValue(rt(), 1, j);
  EXPECT_EQ(ScreenText(5, 4, 5), "S\xA1  #");  // Width + ExtraWidth columns
  EXPECT_EQ(ScreenText(6, 6, 6), "######");    // hidden: nothing written
  EXPECT_EQ(ScreenText(7, 6, 4), "abc#");
  EXPECT_EQ(ScreenText(8, 6, 4), "def#");
  EXPECT_EQ(ScreenText(9, 6, 5), "Alfa#");  // cut to 2 + 2 columns

  FillScreen('#');
  SetValue(1, 1, "X");  // no option has this code: the place stays untouched
  SetValue(1, 4, "BB");
  ShowFieldValue(rt(), 1, 1);
  ShowFieldValue(rt(), 1, 4);
  EXPECT_EQ(ScreenText(5, 4, 5), "#####");
  EXPECT_EQ(ScreenText(9, 6, 5), "Beta#");
}

TEST_F(FormLoopTest, StoreFieldValueSetsChangedAndRejectsBadPercentages) {
  Load(kPlainForm);
  SetValue(1, 1, "IVA");
  SetValue(1, 4, "16");

  EXPECT_EQ(StoreFieldValue(rt(), 1, "IVA   ", 1), 0);
  EXPECT_FALSE(rt().forms.definition.Changed) << "the same text is no change";

  EXPECT_EQ(StoreFieldValue(rt(), 1, "IGIC de les Canaries", 1), 0);
  EXPECT_TRUE(rt().forms.definition.Changed);
  EXPECT_EQ(Value(1, 1), "IGIC d");  // cut to the width
  EXPECT_EQ(ScreenText(5, 5, 6), "IGIC d");

  rt().forms.definition.Changed = false;
  for (const char* bad : {"1,5  ", "-5   ", "1.2.3", "16%  "}) {
    EXPECT_NE(StoreFieldValue(rt(), 1, bad, 4), 0) << bad;
    EXPECT_EQ(Value(1, 4), "16   ") << bad;
  }
  EXPECT_TRUE(rt().forms.definition.Changed) << "set even when the text is rejected";
  EXPECT_EQ(StoreFieldValue(rt(), 1, " 7.5 ", 4), 0);
  EXPECT_EQ(Value(1, 4), " 7.5 ");
  EXPECT_EQ(ScreenText(8, 6, 7), " 7,50 %");
}

TEST_F(FormLoopTest, TypedTextIsStoredAndEnterOnTheLastFieldLeaves) {
  Load(kPlainForm);
  SetValue(1, 1, "Joan");
  SetValue(1, 4, "16");
  console().PushText("Pere");
  Keys({keys::kEnter, keys::kEnter, keys::kEnter});
  console().PushText("21");
  Keys({keys::kEnter});
  EXPECT_EQ(Run(), keys::kEnter);
  EXPECT_EQ(Value(1, 1), "Pere  ");
  EXPECT_EQ(Value(1, 4), "21   ");
  EXPECT_EQ(ScreenText(8, 6, 7), "21,00 %");
  EXPECT_TRUE(rt().forms.definition.Changed);
}

TEST_F(FormLoopTest, EscReturnsToTheFirstFieldThenLeavesWithoutStoring) {
  Load(kPlainForm);
  SetValue(1, 2, "AB");
  Keys({keys::kEnter});
  console().PushText("zz");
  Keys({keys::kEsc, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(Value(1, 2), "AB  ");
  EXPECT_EQ(ScreenText(6, 7, 4), "AB  ") << "the stored value is shown again";
  EXPECT_FALSE(rt().forms.definition.Changed);
}

TEST_F(FormLoopTest, MovesWithUpDownPgUpPgDn) {
  Load(kPlainForm);
  // Up on the first field of a top-level form stays; Down on the last does nothing.
  Keys({keys::kUp});
  console().PushText("A");
  Keys({keys::kPgDn, keys::kDown});
  console().PushText("9");
  Keys({keys::kPgUp, keys::kPgUp, keys::kDown});
  console().PushText("B");
  Keys({keys::kUp});
  console().PushText("C");
  Keys({keys::kPgDn, keys::kUp});
  console().PushText("D");
  Keys({keys::kEsc, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(Value(1, 1), "C     ");
  EXPECT_EQ(Value(1, 2), "B   ");
  EXPECT_EQ(Value(1, 3), "    ") << "Esc discarded D";
  EXPECT_EQ(Value(1, 4), "9    ");
}

TEST_F(FormLoopTest, PgUpAndPgDnLeaveOnlyWhenAllowed) {
  Load(kPlainForm);
  Keys({keys::kPgUp});
  EXPECT_EQ(Run(1, 1, 0), keys::kPgUp);
  EXPECT_EQ(rt().forms.ResumeForm, 1);

  Keys({keys::kPgDn, keys::kPgDn});
  EXPECT_EQ(Run(1, 0, 1), keys::kPgDn);
  EXPECT_EQ(rt().forms.ResumeForm, 1);

  Keys({keys::kPgDn, keys::kEsc, keys::kEsc});
  EXPECT_EQ(Run(1, 1, 0), keys::kEsc);
  EXPECT_EQ(rt().forms.ResumeForm, 0) << "a PgDn that stays clears it";
}

TEST_F(FormLoopTest, EnterArrivesAsEndWhenTheFormAdmitsEnd) {
  Load(
      "1,8\r\n\"d,1b,4f00\",2,0,0,0,0,0\r\n"
      "5,1,\"A:\",3,0,0,0,0,0,\r\n6,1,\"B:\",3,0,0,0,0,0,\r\n");
  console().PushText("x");
  Keys({keys::kEnter});
  EXPECT_EQ(Run(), keys::kEnd);
  EXPECT_EQ(Value(1, 1), "x  ");
}

TEST_F(FormLoopTest, KeysOutsideTheKeyListAreSwallowed) {
  Load(kPlainForm);
  Keys({keys::kEnd, keys::kTab});  // End not admitted; Tab leaves the editor as Enter
  console().PushText("Q");
  Keys({keys::kEsc, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(Value(1, 2), "    ") << "Esc discarded Q on field 2";
}

TEST_F(FormLoopTest, DisplayOnlyFieldsArePassedOverAndIgnoreClicks) {
  Load("1,8\r\n" KEYS
       ",4,0,0,0,0,0\r\n"
       "5,1,\"A:\",3,0,0,0,0,0,\r\n"
       "6,1,\"B:\",3,0,0,4,0,0,\r\n"
       "7,1,\"C:\",3,0,0,4,0,0,\r\n"
       "8,1,\"D:\",3,0,0,0,0,0,\r\n");
  Keys({keys::kEnter});
  console().PushText("d");
  Keys({keys::kUp});
  console().PushText("a");
  Keys({keys::kDown});
  console().PushText("e");
  // A click ends the edit (the text is stored); on B's label it changes nothing, on A's
  // label A becomes current.
  console().PushMouseRelease(1, 6, 2);
  console().PushText("f");
  console().PushMouseRelease(1, 5, 1);
  console().PushText("b");
  Keys({keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(Value(1, 1), "a  ");
  EXPECT_EQ(Value(1, 4), "f  ");
}

}  // namespace
}  // namespace zt

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
  rt().session.Title = " PROVA ";  // 7 characters: 41 - 3.5 = 37.5 rounds to even, column 38
  DrawForm(rt(), 1);
  EXPECT_EQ(ScreenText(1, 37, 9), "  PROVA  ");
  EXPECT_EQ(ScreenText(2, 1, 42), "                    SECCI\xE0 0      SECCI\xE0 1");
  EXPECT_EQ(ScreenText(3, 21, 22), "--------      --------");
  EXPECT_EQ(ScreenText(5, 1, 12), "Nom:IVA     ");
  EXPECT_EQ(ScreenText(6, 1, 10), "Tipus:    ");
  EXPECT_EQ(ScreenText(8, 1, 12), "Tant:16,00 %");

  rt().session.Title = " IVA ";  // 5 characters: 41 - 2.5 = 38.5 rounds to even, column 38
  console().Clear();
  DrawForm(rt(), 1);
  EXPECT_EQ(ScreenText(1, 37, 7), "  IVA  ");
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

// Form 1 (two fields) continues in form 2 (two fields, further down the screen).
const char* const kChainedForms = "3,4\r\n" KEYS
                                  ",2,2,0,0,0,0\r\n"
                                  "5,1,\"A:\",3,0,0,0,0,0,\r\n6,1,\"B:\",3,0,0,0,0,0,\r\n" KEYS
                                  ",2,0,0,0,0,0\r\n"
                                  "10,1,\"C:\",3,0,0,0,0,0,\r\n11,1,\"D:\",3,0,0,0,0,0,\r\n" KEYS
                                  ",1,0,0,0,0,0\r\n"
                                  "15,1,\"E:\",3,0,0,0,0,0,\r\n";

TEST_F(FormLoopTest, EnterOnTheLastFieldRunsTheContinuationForm) {
  Load(kChainedForms);
  Keys({keys::kEnter, keys::kEnter});  // A, B, then form 2
  EXPECT_EQ(ScreenText(10, 1, 2), "  ") << "form 2 is drawn only when it runs";
  console().PushText("c");
  Keys({keys::kEnter, keys::kEnter});  // C, D: Enter on D leaves form 2 and form 1
  EXPECT_EQ(Run(), keys::kEnter);
  EXPECT_EQ(Value(2, 1), "c  ");
  EXPECT_EQ(ScreenText(10, 1, 2), "C:");
}

TEST_F(FormLoopTest, F2RunsTheContinuationAndUpOnItsFirstFieldComesBack) {
  Load(kChainedForms);
  Keys({kF2});
  console().PushText("c");
  Keys({keys::kUp});  // first field of a continuation: back to form 1 with Esc
  console().PushText("a");
  Keys({keys::kEnter, keys::kEsc, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(Value(2, 1), "c  ");
  EXPECT_EQ(Value(1, 1), "a  ") << "form 1 stayed on its field";
}

TEST_F(FormLoopTest, ContinuationLeftWithPgDnIsResumedNextTime) {
  Load(kChainedForms);
  Keys({kF2, keys::kPgDn, keys::kPgDn});  // form 2: to D, then leave with PgDn
  EXPECT_EQ(Run(1, 0, 1), keys::kPgDn);
  EXPECT_EQ(rt().forms.ResumeForm, 2);

  console().PushText("r");  // lands straight on C of form 2
  Keys({keys::kEnter, keys::kEnter});
  EXPECT_EQ(Run(1, 0, 1), keys::kEnter);
  EXPECT_EQ(Value(2, 1), "r  ");
  EXPECT_EQ(Value(1, 1), "   ");
  EXPECT_EQ(rt().forms.ResumeForm, 0);
}

TEST_F(FormLoopTest, ResumeWalkStopsOnACycleOfContinuations) {
  // Forms 1 and 2 continue each other; form 3 is outside the cycle.
  Load("3,4\r\n" KEYS ",1,2,0,0,0,0\r\n5,1,\"A:\",3,0,0,0,0,0,\r\n" KEYS
       ",1,1,0,0,0,0\r\n10,1,\"C:\",3,0,0,0,0,0,\r\n" KEYS
       ",1,0,0,0,0,0\r\n15,1,\"E:\",3,0,0,0,0,0,\r\n");
  rt().forms.ResumeForm = 3;
  console().PushText("a");
  Keys({keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(rt().forms.ResumeForm, 0);
  EXPECT_EQ(Value(2, 1), "   ");
}

TEST_F(FormLoopTest, F4RunsTheBrowseListAndMovesOnWhenARecordIsChosen) {
  Load(kPlainForm);  // field 1 opens browse list 2
  std::vector<std::int16_t> opened;
  std::string packedDuringBrowse;
  rt().forms.runBrowse = [&](Runtime& r, std::int16_t& browse, std::int16_t& cancelled) {
    opened.push_back(browse);
    packedDuringBrowse = r.forms.stringStack.Packed();
    cancelled = opened.size() == 1 ? 1 : 0;  // the first list is cancelled
  };
  Keys({kF4});  // cancelled: stays on field 1
  console().PushText("a");
  Keys({kF4});  // chosen: moves on to field 2 as with Down
  console().PushText("b");
  Keys({kF4});  // field 2 has no browse list
  Keys({keys::kEsc, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(opened, (std::vector<std::int16_t>{2, 2}));
  EXPECT_EQ(Value(1, 1), "      ") << "F4 stores nothing; the browse list's choice does";
  EXPECT_TRUE(rt().forms.stringStack.Empty());
  EXPECT_TRUE(packedDuringBrowse.empty());
}

TEST_F(FormLoopTest, F4WithoutABrowseListStaysOnTheField) {
  Load(kPlainForm);
  Keys({kF4});
  console().PushText("a");
  Keys({keys::kEnter, keys::kEsc, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(Value(1, 1), "a     ");
}

TEST_F(FormLoopTest, F4OnTheLastFieldOfTheLastFormLeavesWithEnter) {
  Load("1,4\r\n" KEYS
       ",2,0,0,0,0,0\r\n"
       "5,1,\"A:\",3,0,0,0,0,0,\r\n6,1,\"B:\",3,0,0,0,0,1,\r\n");
  rt().forms.runBrowse = [](Runtime&, std::int16_t&, std::int16_t& cancelled) { cancelled = 0; };
  Keys({keys::kEnter, kF4});
  EXPECT_EQ(Run(), keys::kEnter);
}

TEST_F(FormLoopTest, F1ShowsHelpOnlyWithAMenuName) {
  Load(kPlainForm);
  rt().session.MenuName = "TOLVIRAN  ";
  dir.Write("AJUDA/TOLVIRAN.HLP", std::string(80, 'h'));
  // The help viewer takes the first Esc; the second leaves the form.
  Keys({keys::kF1, keys::kEsc, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);

  rt().session.MenuName = "   ";
  Keys({keys::kF1, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
}

TEST_F(FormLoopTest, BlankStartAndHiddenFields) {
  Load("1,4\r\n" KEYS
       ",2,0,0,0,0,0\r\n"
       "5,1,\"A:\",4,0,0,1,0,0,\r\n"
       "6,1,\"P:\",4,0,2,2,0,0,\r\n");
  SetValue(1, 1, "keep");
  SetValue(1, 2, "pass");
  Keys({keys::kEnter});  // left blank: keeps the value, no change
  console().PushText("ab");
  Keys({keys::kUp, keys::kEsc});
  EXPECT_EQ(Run(), keys::kEsc);
  EXPECT_EQ(Value(1, 1), "keep");
  EXPECT_EQ(Value(1, 2), "ab  ");
  EXPECT_TRUE(rt().forms.definition.Changed);
  EXPECT_EQ(ScreenText(6, 3, 6), "      ") << "a hidden value is never shown";
  EXPECT_EQ(rt().screen.hiddenInputChar, 0);

  rt().forms.definition.Changed = false;
  Keys({keys::kEnter, keys::kEnter});  // both left blank
  EXPECT_EQ(Run(), keys::kEnter);
  EXPECT_EQ(Value(1, 1), "keep");
  EXPECT_EQ(Value(1, 2), "ab  ");
  EXPECT_FALSE(rt().forms.definition.Changed);
}

TEST_F(FormLoopTest, WindowedFormRestoresTheScreenAndTakesClicksInsideIt) {
  Load("1,4\r\n" KEYS
       ",2,0,5,10,12,50\r\n"
       "1,1,\"A:\",3,0,0,0,0,1,\r\n"
       "3,1,\"B:\",3,0,2,0,0,0,\r\n");
  FillScreen('.');
  std::string windowRow;
  rt().forms.runBrowse = [&](Runtime&, std::int16_t&, std::int16_t& cancelled) {
    windowRow = ScreenText(6, 10, 10);
    cancelled = 1;
  };
  Keys({kF4});
  console().PushMouseRelease(1, 5 + 3, 10 + 6);  // B's extra columns: B:___xx
  console().PushText("b");
  Keys({keys::kEnter});
  EXPECT_EQ(Run(), keys::kEnter);
  EXPECT_EQ(windowRow,
            "\xBA"
            "A:       ")
      << "framed window, label inside";
  EXPECT_EQ(Value(1, 2), "b  ");
  EXPECT_EQ(ScreenText(5, 10, 41), std::string(41, '.')) << "the screen under it is back";
  EXPECT_EQ(ScreenText(6, 10, 41), std::string(41, '.'));
}

TEST_F(FormLoopTest, FormWithoutEditableFieldsIsShownAndLeft) {
  Load("1,4\r\n" KEYS ",1,0,0,0,0,0\r\n5,1,\"A:\",3,0,0,4,0,0,\r\n");
  SetValue(1, 1, "abc");
  std::int16_t form = -1;
  std::int16_t key = 1234;
  RunForm(rt(), form, 0, 0, key);
  EXPECT_EQ(form, 1) << "a continuation number becomes positive";
  EXPECT_EQ(key, 1234);
  EXPECT_EQ(ScreenText(5, 1, 5), "A:abc");
  EXPECT_EQ(console().ExhaustedWaits(), 0);
}

TEST_F(FormLoopTest, MissingFormRunsNothing) {
  Load(kPlainForm);
  std::int16_t form = 7;
  std::int16_t key = 5;
  RunForm(rt(), form, 0, 0, key);
  EXPECT_EQ(key, 5);
  EXPECT_EQ(console().ExhaustedWaits(), 0);
}

TEST_F(FormLoopTest, RejectedPercentageBeepsAndKeepsTheTypedText) {
  Load(kPlainForm);
  SetValue(1, 4, "16");
  Keys({keys::kPgDn});
  console().PushText("1,5");
  Keys({keys::kEnter});  // rejected: the text stays "1,5  ", the cursor goes back to 1
  console().PushText("2");
  Keys({keys::kEnter});  // "2,5  ": rejected again (from the stored value it would pass)
  console().PushText("2.");
  Keys({keys::kEnter});  // "2.5  "
  EXPECT_EQ(Run(), keys::kEnter);
  EXPECT_EQ(console().Beeps(), 2);
  EXPECT_EQ(Value(1, 4), "2.5  ");
  EXPECT_EQ(ScreenText(8, 6, 7), " 2,50 %");
}

TEST_F(FormLoopTest, HiddenTextIsNotLeftOnTheScreen) {
  Load("1,4\r\n" KEYS ",1,0,0,0,0,0\r\n5,1,\"P:\",4,0,2,2,0,0,\r\n");
  console().PushText("abcd");
  Keys({keys::kEnter});
  EXPECT_EQ(Run(), keys::kEnter);
  EXPECT_EQ(Value(1, 1), "abcd");
  EXPECT_EQ(ScreenText(5, 3, 6).find_first_of("abcd"), std::string::npos);
}

TEST_F(FormLoopTest, ContinuationMissingFromTheFileIsIgnored) {
  Load("1,4\r\n" KEYS ",2,9,0,0,0,0\r\n5,1,\"A:\",3,0,0,0,0,0,\r\n6,1,\"B:\",3,0,0,0,0,0,\r\n");
  Keys({kF2, keys::kDown, keys::kDown, keys::kDown});
  console().PushText("b");
  Keys({keys::kEnter});
  EXPECT_EQ(Run(), keys::kEnter);
  EXPECT_EQ(Value(1, 2), "b  ");
}

}  // namespace
}  // namespace zt

#include <gtest/gtest.h>

#include <string>

#include "platform/keycodes.h"
#include "screen/key_input.h"
#include "tools/calculator.h"
#include "tools/calculator_state.h"
#include "tools/popup_fixture.h"

namespace zt {
namespace {

const std::string kTop = "\xDA" + std::string(24, '\xC4') + "\xBF";
const std::string kMiddle = "\xC3" + std::string(24, '\xC4') + "\xB4";
const std::string kBottom = "\xC0" + std::string(24, '\xC4') + "\xD9";

// A tape or entry line: the value right-aligned in 22 characters between the borders.
std::string Line(const std::string& value, const std::string& tail) {
  return "\xB3" + std::string(22 - value.size(), ' ') + value + tail + "\xB3";
}

class CalculatorScreen : public ::testing::Test, public test::PopupFixture {
 protected:
  // Runs the calculator over a prepared caller and checks that everything comes back.
  std::string Run(std::string_view typed, std::int16_t lastKey = 'F') {
    PrepareCaller();
    test::Screen before = console.Grab();
    test::CallerState caller = Caller();
    console.PushText(typed);
    console.PushKey(lastKey);
    std::string result = RunCalculator(rt);
    EXPECT_EQ(console.ExhaustedWaits(), 0);
    EXPECT_EQ(console.Grab(), before) << "screen under the calculator";
    EXPECT_EQ(Caller(), caller) << "caller's style, window, key set or cursor";
    return result;
  }
};

TEST_F(CalculatorScreen, WorkedExampleDrawsTheTapeAndHandsBackHundredths) {
  console.SnapshotOnKey('F');
  EXPECT_EQ(Run("200+10%="), "22000");
  ASSERT_EQ(console.Snapshots().size(), 1u);
  const test::Screen& shown = console.Snapshots()[0];
  EXPECT_EQ(test::RowText(shown, 18, 1, 26), kTop);
  EXPECT_EQ(test::RowText(shown, 19, 1, 26), Line("200", " +"));
  EXPECT_EQ(test::RowText(shown, 20, 1, 26), Line("10", " %"));
  EXPECT_EQ(test::RowText(shown, 21, 1, 26), Line("20", " ="));
  EXPECT_EQ(test::RowText(shown, 22, 1, 26), Line("220", "  "));
  EXPECT_EQ(test::RowText(shown, 23, 1, 26), kMiddle);
  EXPECT_EQ(test::RowText(shown, 24, 1, 26), Line("220", "  "));
  EXPECT_EQ(test::RowText(shown, 25, 1, 26), kBottom);
  EXPECT_EQ(test::AttrAt(shown, 24, 10), 0x07) << "normal style";
  // Above the tape and right of the window the caller's screen stays visible.
  test::PopupFixture fresh;
  fresh.PrepareCaller();
  test::Screen background = fresh.console.Grab();
  EXPECT_EQ(test::RowText(shown, 17, 1, 80), test::RowText(background, 17, 1, 80));
  EXPECT_EQ(test::RowText(shown, 20, 27, 54), test::RowText(background, 20, 27, 54));
  EXPECT_FALSE(console.SnapshotCursorVisible()[0]) << "cursor hidden while open";

  CalculatorState saved = ParseCalculatorFile(dir.Read("KYBCALC.TMP"));
  EXPECT_EQ(saved.tape[21], (TapeEntry{220, false, 0, ' '}));
  EXPECT_EQ(saved.firstShown, 19);
}

TEST_F(CalculatorScreen, EmptyTapeShowsOnlyTheEntryLine) {
  console.SnapshotOnKey('F');
  EXPECT_EQ(Run("12.5"), "1250");
  const test::Screen& shown = console.Snapshots()[0];
  EXPECT_EQ(test::RowText(shown, 23, 1, 26), kTop);
  EXPECT_EQ(test::RowText(shown, 24, 1, 26), Line("12'5", "  "));
  EXPECT_EQ(test::RowText(shown, 25, 1, 26), kBottom);
}

TEST_F(CalculatorScreen, ReopensAsItWasLeft) {
  EXPECT_EQ(Run("200+10%=", keys::kEsc), "");
  console.SnapshotOnKey('F');
  EXPECT_EQ(Run(""), "22000");
  const test::Screen& shown = console.Snapshots()[0];
  EXPECT_EQ(test::RowText(shown, 19, 1, 26), Line("200", " +"));
  EXPECT_EQ(test::RowText(shown, 24, 1, 26), Line("220", "  "));
}

TEST_F(CalculatorScreen, SecondClearEmptiesTheTapeArea) {
  console.SnapshotOnKey(keys::kEsc);
  Run("5+3=CC", keys::kEsc);
  const test::Screen& shown = console.Snapshots()[0];
  test::PopupFixture fresh;
  fresh.PrepareCaller();
  test::Screen background = fresh.console.Grab();
  for (int row = 1; row <= 22; ++row) {
    EXPECT_EQ(test::RowText(shown, row, 1, 26), test::RowText(background, row, 1, 26)) << row;
  }
  EXPECT_EQ(test::RowText(shown, 23, 1, 26), kTop);
  EXPECT_EQ(test::RowText(shown, 24, 1, 26), Line("0", "  "));
  CalculatorState saved = ParseCalculatorFile(dir.Read("KYBCALC.TMP"));
  EXPECT_EQ(saved.firstShown, kTapeHidden);
  EXPECT_EQ(saved.tape[21], (TapeEntry{8, false, 0, ' '}));  // hidden, not forgotten
}

TEST_F(CalculatorScreen, WindowWrapsAtTheScreenEdges) {
  console.SnapshotOnKey(keys::kEsc);
  console.PushKey(keys::kLeft);
  Run("", keys::kEsc);
  const test::Screen& left = console.Snapshots()[0];
  EXPECT_EQ(test::RowText(left, 25, 55, 26), kBottom);
  EXPECT_EQ(test::RowText(left, 23, 55, 26), kTop);
  EXPECT_EQ(ParseCalculatorFile(dir.Read("KYBCALC.TMP")).windowLeft, 55);

  console.PushKey(keys::kRight, kModCtrl);  // arrives as Ctrl+Right 29696
  Run("", keys::kEsc);
  const test::Screen& right = console.Snapshots()[1];
  EXPECT_EQ(test::RowText(right, 25, 1, 26), kBottom);
  EXPECT_EQ(ParseCalculatorFile(dir.Read("KYBCALC.TMP")).windowLeft, 1);
}

TEST_F(CalculatorScreen, OverflowShowsTheFormattersFieldAndClearRecovers) {
  console.SnapshotOnKey('C');
  EXPECT_EQ(Run("9/0=CC2+2="), "400");
  const test::Screen& shown = console.Snapshots()[0];
  std::string entry = test::RowText(shown, 24, 1, 26);
  EXPECT_EQ(entry.substr(0, 1), "\xB3");
  EXPECT_EQ(entry.substr(23), "  \xB3");
  EXPECT_EQ(entry.find_first_of("0123456789"), std::string::npos) << entry;
  CalculatorState saved = ParseCalculatorFile(dir.Read("KYBCALC.TMP"));
  EXPECT_EQ(saved.display, 4);
  EXPECT_GT(saved.tape[18].value, 1e308);  // the division's total, written as it reads back
}

TEST_F(CalculatorScreen, OverflowInTheFileReadsBackAsOverflow) {
  Run("9/0=", keys::kEsc);
  std::string text = dir.Read("KYBCALC.TMP");
  EXPECT_EQ(text.find("inf"), std::string::npos);
  EXPECT_EQ(text.find("nan"), std::string::npos);
  CalculatorState saved = ParseCalculatorFile(text);
  EXPECT_GT(saved.display, 1e308);
  EXPECT_EQ(Run("C2+3="), "500");
}

TEST_F(CalculatorScreen, CorruptFileOpensWithStartValues) {
  dir.Write("KYBCALC.TMP", "\x01garbage,\"\r\n,,,\r\nzz");
  console.SnapshotOnKey('F');
  EXPECT_EQ(Run("7"), "700");
  EXPECT_EQ(test::RowText(console.Snapshots()[0], 25, 1, 26), kBottom);
}

TEST_F(CalculatorScreen, UnwritableTerminalFolderStillCalculates) {
  dir.Write("notafolder", "x");
  rt.session.TerminalDir = dir.Path() + "notafolder\\";
  EXPECT_EQ(Run("2+3="), "500");
  EXPECT_EQ(Run("4"), "400");  // nothing kept between runs
  EXPECT_EQ(dir.Read("notafolder"), "x");
}

TEST_F(CalculatorScreen, HotKeyTypesTheResultIntoTheCaller) {
  rt.screen.runCalculator = RunCalculator;
  PrepareCaller();
  console.PushKey(keys::kAltX, kModAlt);
  console.PushText("2.5F");
  std::string received;
  std::int16_t key = 0;
  WaitKey(rt, key);
  EXPECT_EQ(key, keys::kAltX);
  for (int i = 0; i < 3; ++i) {
    WaitKey(rt, key);
    received += static_cast<char>(key);
  }
  EXPECT_EQ(received, "250");
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

}  // namespace
}  // namespace zt

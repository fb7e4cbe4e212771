#include "tools/calculator_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "platform/files.h"
#include "support/temp_dir.h"
#include "support/test_runtime.h"
#include "tools/adding_machine.h"

namespace zt {
namespace {

CalculatorState WorkedExample() {
  CalculatorState state;
  for (char ch : std::string("200+10%=")) ApplyCalculatorKey(state, ch);
  return state;
}

TEST(CalculatorFile, NumbersAreWrittenInTheirShortestPlainForm) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {220, "220"},
      {-47, "-47"},
      {0.5, ".5"},
      {-0.25, "-.25"},
      {1234.5678, "1234.5678"},
      {123456789012345, "123456789012345"},
      {1e15, "1E+15"},
      {-2.5e20, "-2.5E+20"},
      {1.5e-5, "1.5E-05"},
      {0.333333333333333, ".333333333333333"},
      {std::numeric_limits<double>::infinity(), "1.79769313486231E+308"},
      {-std::numeric_limits<double>::infinity(), "-1.79769313486231E+308"},
      {std::nan(""), "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFileNumber(c.value), c.text) << c.value;
}

TEST(CalculatorFile, LayoutOfTheWorkedExample) {
  std::string text = FormatCalculatorFile(WorkedExample());
  EXPECT_EQ(text.substr(0, text.find("0,0,0,\" \"")), "1,19,220,220\r\n0,0,0,0\r\n\"=\",\"\"\r\n");
  EXPECT_NE(text.find("\r\n200,0,0,\"+\"\r\n10,0,0,\"%\"\r\n20,0,0,\"=\"\r\n220,0,0,\" \"\r\n"),
            std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 25);
}

TEST(CalculatorFile, RoundTripGivesTheSameState) {
  CalculatorState state = WorkedExample();
  state.windowLeft = 55;
  state.entering = true;
  state.point = true;
  state.decimals = 3;
  state.display = -1234.567;
  state.pendingOperator = "/";
  state.tape[0] = TapeEntry{1.5e-5, true, 15, 'R'};
  state.tape[1] = TapeEntry{-2.5e20, false, 0, '*'};
  state.tape[2] = TapeEntry{0.333333333333333, true, 15, '/'};
  EXPECT_EQ(ParseCalculatorFile(FormatCalculatorFile(state)), state);
}

TEST(CalculatorFile, OverflowIsWrittenAsAValueThatReadsBack) {
  CalculatorState state;
  state.display = std::numeric_limits<double>::infinity();
  state.accumulator = std::nan("");
  state.tape[21] = TapeEntry{-std::numeric_limits<double>::infinity(), false, 0, '='};
  CalculatorState read = ParseCalculatorFile(FormatCalculatorFile(state));
  EXPECT_TRUE(std::isfinite(read.display));
  EXPECT_GT(read.display, 1e308);
  EXPECT_EQ(read.accumulator, 0);
  EXPECT_LT(read.tape[21].value, -1e308);
  // Written again, it stays the same text.
  EXPECT_EQ(FormatCalculatorFile(read), FormatCalculatorFile(state));
}

TEST(CalculatorFile, DamagedFilesLoadWhatTheyCan) {
  struct Case {
    const char* name;
    const char* text;
    std::int16_t windowLeft;
    std::int16_t firstShown;
    double display;
    std::int16_t decimals;
    const char* pending;
  } cases[] = {
      {"empty", "", 1, 23, 0, 0, ""},
      {"truncated first line", "30,2", 30, 2, 0, 0, ""},
      {"garbage", "abc,x,\"y\"\r\n\x01\x02\r\n", 1, 23, 0, 0, ""},
      {"out of range", "70,1,5,5\r\n0,0,-1,99\r\n\"\",\"x\"\r\n", 1, 23, 5, 0, ""},
      {"beyond 16 bits", "70000,-70000,1E+999,0\r\n", 1, 23, DBL_MAX, 0, ""},
      {"rounded whole numbers", "54.6,2.4,1.5,0\r\n0,-1,-1,2.4\r\n\"+\",\"-\"\r\n", 55, 2, 1.5, 2,
       "-"},
      {"unix line ends", "3,20,7,7\n0,0,0,0\n\"\",\"*\"\n", 3, 20, 7, 0, "*"},
      {"trailing text in a number", "5x,20,7q,7\r\n", 1, 20, 0, 0, ""},
  };
  for (const Case& c : cases) {
    CalculatorState state = ParseCalculatorFile(c.text);
    EXPECT_EQ(state.windowLeft, c.windowLeft) << c.name;
    EXPECT_EQ(state.firstShown, c.firstShown) << c.name;
    EXPECT_EQ(state.display, c.display) << c.name;
    EXPECT_EQ(state.decimals, c.decimals) << c.name;
    EXPECT_EQ(state.pendingOperator, c.pending) << c.name;
  }
}

TEST(CalculatorFile, TapeLinesBeyondTwentyTwoAreIgnoredAndShortOnesKeepStartValues) {
  std::string text = "1,2,0,0\r\n-1,0,0,0\r\n\"\",\"\"\r\n";
  for (int i = 1; i <= 30; ++i) text += std::to_string(i) + ",-1,1,\"+\"\r\n";
  CalculatorState state = ParseCalculatorFile(text);
  EXPECT_EQ(state.tape[0], (TapeEntry{1, true, 1, '+'}));
  EXPECT_EQ(state.tape[21], (TapeEntry{22, true, 1, '+'}));

  CalculatorState partial =
      ParseCalculatorFile("1,2,0,0\r\n-1,0,0,0\r\n\"\",\"\"\r\n4\r\n5,-1,40,\"?\"\r\n6,0,0,\"R\"");
  EXPECT_EQ(partial.tape[0], (TapeEntry{4, false, 0, ' '}));
  EXPECT_EQ(partial.tape[1], (TapeEntry{5, true, 0, ' '}));
  EXPECT_EQ(partial.tape[2], (TapeEntry{6, false, 0, 'R'}));
  EXPECT_EQ(partial.tape[3], TapeEntry{});
}

TEST(CalculatorFile, SaveAndLoadThroughTheTerminalDirectory) {
  test::TestRuntime t;
  test::TempDir dir;
  t.rt.session.TerminalDir = dir.Path() + "TERM01\\";
  dir.Write("term01/placeholder", "");
  std::string path = CalculatorFilePath(t.rt);
  EXPECT_EQ(path, dir.Path() + "term01/KYBCALC.TMP");

  EXPECT_EQ(LoadCalculatorState(path), CalculatorState{});
  EXPECT_TRUE(FileExists(path));  // created empty on first opening
  CalculatorState state = WorkedExample();
  ASSERT_TRUE(SaveCalculatorState(path, state));
  EXPECT_EQ(LoadCalculatorState(path), state);
  EXPECT_EQ(dir.Read("term01/KYBCALC.TMP"), FormatCalculatorFile(state));
  EXPECT_FALSE(FileExists(path + ".new"));
}

TEST(CalculatorFile, UnwritableDirectoryFailsQuietly) {
  test::TempDir dir;
  // A plain file where the folder should be: no user, root included, can write below it.
  dir.Write("notafolder", "x");
  std::string path = dir.Path() + "notafolder/KYBCALC.TMP";
  EXPECT_EQ(LoadCalculatorState(path), CalculatorState{});
  EXPECT_FALSE(SaveCalculatorState(path, WorkedExample()));
  EXPECT_EQ(dir.Read("notafolder"), "x");
}

}  // namespace
}  // namespace zt

#include "tools/adding_machine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "platform/keycodes.h"

namespace zt {
namespace {

// Keys as the operator types them; "<" stands for Backspace, "\r" for Enter.
KeyOutcome Type(CalculatorState& state, std::string_view keysTyped) {
  KeyOutcome last;
  for (char ch : keysTyped) {
    int key = ch == '<' ? keys::kBackspace : static_cast<unsigned char>(ch);
    last = ApplyCalculatorKey(state, key);
  }
  return last;
}

TEST(AddingMachine, WorkedExamplePrintsFourEntriesAndHandsBackHundredths) {
  CalculatorState state;
  Type(state, "200+10%=");
  EXPECT_EQ(state.tape[18], (TapeEntry{200, false, 0, '+'}));
  EXPECT_EQ(state.tape[19], (TapeEntry{10, false, 0, '%'}));
  EXPECT_EQ(state.tape[20], (TapeEntry{20, false, 0, '='}));
  EXPECT_EQ(state.tape[21], (TapeEntry{220, false, 0, ' '}));
  EXPECT_EQ(state.firstShown, 19);
  EXPECT_EQ(state.display, 220);
  EXPECT_FALSE(state.entering);
  EXPECT_EQ(state.pendingOperator, "");
  EXPECT_TRUE(Type(state, "F").finish);
  EXPECT_EQ(HandBackText(state), "22000");
}

TEST(AddingMachine, PercentOfAProductIsPlainHundredth) {
  CalculatorState state;
  Type(state, "50*10%=");
  EXPECT_DOUBLE_EQ(state.display, 5);  // 10 % = 0.1, then 50 x 0.1
}

TEST(AddingMachine, FirstClearResetsValuesSecondHidesTapeButKeepsIt) {
  CalculatorState state;
  Type(state, "5+3=");
  TapeEntry total = state.tape[21];
  EXPECT_EQ(ApplyCalculatorKey(state, 'C').tape, TapeChange::None);
  EXPECT_EQ(state.display, 0);
  EXPECT_EQ(state.accumulator, 0);
  EXPECT_TRUE(state.cleared);
  EXPECT_EQ(state.firstShown, 20);
  EXPECT_EQ(ApplyCalculatorKey(state, 'c').tape, TapeChange::Hidden);
  EXPECT_EQ(state.firstShown, kTapeHidden);
  EXPECT_EQ(state.tape[21], total);
  // New entries appear from the bottom again.
  Type(state, "2+");
  EXPECT_EQ(state.firstShown, 22);
  EXPECT_EQ(state.tape[21], (TapeEntry{2, false, 0, '+'}));
  EXPECT_EQ(state.tape[20], total);
}

TEST(AddingMachine, ClearWhileKeyingDropsTheNumberOnly) {
  CalculatorState state;
  Type(state, "5+3.7");
  Type(state, "C");
  EXPECT_FALSE(state.entering);
  EXPECT_EQ(state.display, 5);
  EXPECT_EQ(state.accumulator, 5);
  EXPECT_FALSE(state.point);
  EXPECT_FALSE(state.cleared);
  Type(state, "2=");
  EXPECT_EQ(state.display, 7);
}

TEST(AddingMachine, ClearKeepsThePendingOperator) {
  CalculatorState state;
  Type(state, "5-C5+");
  EXPECT_EQ(state.accumulator, -5);
}

TEST(AddingMachine, BackspaceOverKeyedNumberDropsDigitsThenPoint) {
  CalculatorState state;
  Type(state, "1.25");
  struct Step {
    double display;
    bool point;
    int decimals;
    bool entering;
  };
  const Step steps[] = {
      {1.2, true, 1, true}, {1, true, 0, true}, {1, false, 0, true}, {0, false, 0, false}};
  for (const Step& step : steps) {
    Type(state, "<");
    EXPECT_DOUBLE_EQ(state.display, step.display);
    EXPECT_EQ(state.point, step.point);
    EXPECT_EQ(state.decimals, step.decimals);
    EXPECT_EQ(state.entering, step.entering);
  }
}

TEST(AddingMachine, BackspaceDropsExactlyTheLastKeyedDecimal) {
  CalculatorState state;
  Type(state, "0.290<");  // 0.29 is held as 0.2899999...
  EXPECT_DOUBLE_EQ(state.display, 0.29);
  Type(state, "<");
  EXPECT_DOUBLE_EQ(state.display, 0.2);
}

TEST(AddingMachine, DigitsAfterSignChangeCombineArithmetically) {
  CalculatorState state;
  Type(state, "5T3");
  EXPECT_EQ(state.display, -47);
  EXPECT_TRUE(state.entering);
}

TEST(AddingMachine, KeyingAfterAResultStartsANewNumber) {
  CalculatorState state;
  Type(state, "2+3=");
  Type(state, "7");
  EXPECT_EQ(state.display, 7);
  Type(state, "+3=.");
  EXPECT_EQ(state.display, 0);
  EXPECT_TRUE(state.point);
  EXPECT_EQ(state.decimals, 0);
  EXPECT_TRUE(state.entering);
}

TEST(AddingMachine, EqualsOnlyWhileKeying) {
  CalculatorState state;
  Type(state, "4+");
  auto before = state;
  EXPECT_EQ(Type(state, "=").tape, TapeChange::None);
  EXPECT_EQ(Type(state, "\r").tape, TapeChange::None);
  EXPECT_EQ(state, before);

  CalculatorState withEnter;
  CalculatorState withEquals;
  Type(withEnter, "4+6\r");
  Type(withEquals, "4+6=");
  EXPECT_EQ(withEnter, withEquals);
  EXPECT_EQ(withEnter.display, 10);
}

TEST(AddingMachine, HandBackTextFollowsTheHundredthsRule) {
  struct Case {
    const char* keysTyped;
    const char* expected;
  } cases[] = {
      {"2.3+", "230"},
      {"0.5+", "50"},
      {"7T+", "700"},
      {"1.234", "123.4"},
      {"12.5", "1250"},
      {".001", ".1"},
      {"0", "0"},
      {"1.2345", "123.45"},
      {"3+4", "400"},
      {"3+4=", "700"},
      {"100/3=", "3333.33333333333"},
  };
  for (const Case& c : cases) {
    CalculatorState state;
    Type(state, c.keysTyped);
    EXPECT_EQ(HandBackText(state), c.expected) << c.keysTyped;
  }
}

TEST(AddingMachine, NormalisingKeepsFifteenSignificantDigits) {
  struct Case {
    const char* keysTyped;
    double display;
    int decimals;
  } cases[] = {
      {"1/3=", 0.333333333333333, 15},
      {"2/3=", 0.666666666666667, 15},
      {"10/4=", 2.5, 1},
      {"1000/3=", 333.333333333333, 12},
      {"1T/3=", -0.333333333333333, 15},
      {"0-1234.5678=", -1234.5678, 4},
      {"0.1+0.2=", 0.3, 1},
      {"123456789*1000000=", 123456789000000, 0},
  };
  for (const Case& c : cases) {
    CalculatorState state;
    Type(state, c.keysTyped);
    EXPECT_DOUBLE_EQ(state.display, c.display) << c.keysTyped;
    EXPECT_EQ(state.decimals, c.decimals) << c.keysTyped;
    EXPECT_EQ(state.point, c.decimals > 0) << c.keysTyped;
  }
}

TEST(AddingMachine, RoundToCentsHalvesToEvenAndCutsNegatives) {
  struct Case {
    const char* keysTyped;
    double display;
  } cases[] = {
      {"0.125R", 0.12}, {"0.375R", 0.38}, {"2.5R", 2.5}, {"1.006R", 1.01}, {"0.375TR", -0.37}};
  for (const Case& c : cases) {
    CalculatorState state;
    Type(state, c.keysTyped);
    EXPECT_DOUBLE_EQ(state.display, c.display) << c.keysTyped;
    EXPECT_DOUBLE_EQ(state.accumulator, c.display) << c.keysTyped;
    EXPECT_TRUE(state.point);
    EXPECT_EQ(state.decimals, 2);
    EXPECT_EQ(state.tape[21].op, 'R');
  }
}

TEST(AddingMachine, DivisionByZeroGivesInfinityAndClearRecovers) {
  CalculatorState state;
  Type(state, "5/0=");
  EXPECT_TRUE(std::isinf(state.display));
  EXPECT_GT(state.display, 0);
  EXPECT_EQ(HandBackText(state), "");
  Type(state, "<");  // the whole part of infinity / 10 stays infinite
  EXPECT_TRUE(std::isinf(state.display));
  Type(state, "C");
  EXPECT_EQ(state.display, 0);
  EXPECT_EQ(state.accumulator, 0);
  Type(state, "2+2=");
  EXPECT_EQ(state.display, 4);
}

TEST(AddingMachine, ZeroDividedByZeroIsNotANumberAndDoesNotHang) {
  CalculatorState state;
  Type(state, "0/0=");
  EXPECT_TRUE(std::isnan(state.display));
  Type(state, "T%R+");
  EXPECT_EQ(HandBackText(state), "");
  Type(state, "C");
  EXPECT_EQ(state.display, 0);
}

TEST(AddingMachine, KeyingTooManyDigitsOverflowsToInfinity) {
  CalculatorState state;
  Type(state, std::string(400, '9'));
  EXPECT_TRUE(std::isinf(state.display));
  Type(state, "*2=");
  EXPECT_TRUE(std::isinf(state.display));
  Type(state, "CC");
  EXPECT_EQ(state.display, 0);
}

TEST(AddingMachine, DecimalsStopAtFifteen) {
  CalculatorState state;
  Type(state, "." + std::string(20, '1'));
  EXPECT_EQ(state.decimals, kMaxDecimals);
}

TEST(AddingMachine, TapeKeepsTheNewestTwentyTwoEntries) {
  CalculatorState state;
  for (int i = 1; i <= 30; ++i) Type(state, std::to_string(i) + "+");
  EXPECT_EQ(state.firstShown, 2);
  EXPECT_EQ(state.tape[0].value, 9);
  EXPECT_EQ(state.tape[21].value, 30);
}

TEST(AddingMachine, ExtendedKeysAndIgnoredKeys) {
  CalculatorState state;
  EXPECT_EQ(ApplyCalculatorKey(state, keys::kLeft).windowMove, -1);
  EXPECT_EQ(ApplyCalculatorKey(state, 29440).windowMove, -1);
  EXPECT_EQ(ApplyCalculatorKey(state, keys::kRight).windowMove, 1);
  EXPECT_EQ(ApplyCalculatorKey(state, 29696).windowMove, 1);
  EXPECT_TRUE(ApplyCalculatorKey(state, keys::kAltF).finish);
  EXPECT_TRUE(ApplyCalculatorKey(state, 'f').finish);
  EXPECT_TRUE(ApplyCalculatorKey(state, keys::kEsc).cancel);
  auto before = state;
  for (int key : std::initializer_list<int>{2693, -2693, 'x', 'Z', -53, keys::kUp, 0}) {
    KeyOutcome outcome = ApplyCalculatorKey(state, key);
    EXPECT_EQ(outcome.tape, TapeChange::None) << key;
    EXPECT_FALSE(outcome.finish || outcome.cancel || outcome.windowMove != 0) << key;
  }
  EXPECT_EQ(state, before);
}

TEST(AddingMachine, WindowWrapsBetweenTheScreenEdges) {
  CalculatorState state;
  state.windowLeft = 55;
  MoveCalculatorWindow(state, 1);
  EXPECT_EQ(state.windowLeft, 1);
  MoveCalculatorWindow(state, -1);
  EXPECT_EQ(state.windowLeft, 55);
  MoveCalculatorWindow(state, -1);
  EXPECT_EQ(state.windowLeft, 54);
  MoveCalculatorWindow(state, 1);
  EXPECT_EQ(state.windowLeft, 55);
}

TEST(AddingMachine, MaskHasTwentyTwoCharacters) {
  EXPECT_EQ(CalculatorMask(false, 0), "-Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9");
  EXPECT_EQ(CalculatorMask(true, 2), "-ZZ,ZZZ,ZZZ,ZZZ,ZZ9.99");
  EXPECT_EQ(CalculatorMask(true, 0), "-,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9.");
  EXPECT_EQ(CalculatorMask(true, 15), "-Z,ZZ9.999999999999999");
}

}  // namespace
}  // namespace zt

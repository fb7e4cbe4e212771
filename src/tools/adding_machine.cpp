#include "tools/adding_machine.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/keycodes.h"

namespace zt {

namespace {

double PowerOfTen(int exponent) {
  return std::pow(10.0, exponent);
}

// Round to the nearest whole number, an exact half toward zero.
double RoundHalfTowardZero(double value) {
  double whole = std::trunc(value);
  double fraction = std::fabs(value - whole);
  if (fraction > 0.5) whole += value < 0 ? -1 : 1;
  return whole;
}

// Decimal digits of a finite whole number >= 0.
std::string WholeDigits(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.0f", value);
  return buffer;
}

// The quotient with the platform's floating-point result, without dividing by zero.
double Divide(double dividend, double divisor) {
  if (divisor != 0) return dividend / divisor;
  if (std::isnan(dividend) || dividend == 0) return std::nan("");
  bool negative = std::signbit(dividend) != std::signbit(divisor);
  return negative ? -HUGE_VAL : HUGE_VAL;
}

void StartNumber(CalculatorState& state) {
  state.display = 0;
  state.point = false;
  state.decimals = 0;
}

}  // namespace

void KeyDigit(CalculatorState& state, int digit) {
  if (!state.entering) StartNumber(state);
  if (state.point) {
    // Digits past the 15 the calculator keeps would be lost on the next calculation.
    if (state.decimals < kMaxDecimals) {
      state.decimals = static_cast<std::int16_t>(state.decimals + 1);
      state.display += digit / PowerOfTen(state.decimals);
    }
  } else {
    state.display = state.display * 10 + digit;
  }
  state.entering = true;
}

void KeyPoint(CalculatorState& state) {
  if (!state.entering) StartNumber(state);
  if (!state.point) {
    state.point = true;
    state.decimals = 0;
  }
  state.entering = true;
}

void KeyBackspace(CalculatorState& state) {
  if (!state.point) {
    state.display = std::trunc(state.display / 10);
  } else if (state.decimals - 1 < 0) {
    state.point = false;
    state.decimals = 0;
  } else if (std::isfinite(state.display)) {
    // Work on the keyed digits as a whole number, so that 0.29 (stored as 0.28999...) loses
    // exactly its last digit.
    double keyed = std::nearbyint(state.display * PowerOfTen(state.decimals));
    state.decimals = static_cast<std::int16_t>(state.decimals - 1);
    state.display = std::trunc(keyed / 10) / PowerOfTen(state.decimals);
  } else {
    state.decimals = static_cast<std::int16_t>(state.decimals - 1);
  }
  if (state.display == 0) state.entering = false;
}

void KeyToggleSign(CalculatorState& state) {
  state.display = -state.display;
}

void NormaliseDisplay(CalculatorState& state) {
  if (!std::isfinite(state.display)) return;
  // Whole digits count by magnitude, so a negative value also keeps 15 significant digits.
  int wholeDigits = 0;
  for (double copy = std::fabs(state.display); std::trunc(copy) > 0; copy /= 10) ++wholeDigits;
  // Scaled from the display each time rather than by repeated x 10, which piles up
  // rounding errors (2/3 would end in ...6.5 and round down).
  int decimals = 0;
  double copy = state.display;
  while (copy != std::trunc(copy) && decimals + wholeDigits < kMaxDecimals) {
    ++decimals;
    copy = state.display * PowerOfTen(decimals);
  }
  copy = RoundHalfTowardZero(copy);
  while (decimals > 0 && std::fmod(copy, 10) == 0) {
    copy /= 10;
    --decimals;
  }
  state.display = copy / PowerOfTen(decimals);
  state.decimals = static_cast<std::int16_t>(decimals);
  state.point = decimals > 0;
}

void AddTapeEntry(CalculatorState& state, char op) {
  if (state.firstShown > 2) state.firstShown = static_cast<std::int16_t>(state.firstShown - 1);
  for (int i = 0; i + 1 < kTapeSize; ++i) state.tape[i] = state.tape[i + 1];
  state.tape[kTapeSize - 1] = TapeEntry{state.display, state.point, state.decimals, op};
}

TapeChange KeyOperator(CalculatorState& state, char op) {
  switch (op) {
    case 'C':
      if (state.entering) {
        state.entering = false;
        state.display = state.accumulator;
        state.point = false;
        state.decimals = 0;
        return TapeChange::None;
      }
      if (state.cleared) {
        state.firstShown = kTapeHidden;
        return TapeChange::Hidden;
      }
      state.display = 0;
      state.accumulator = 0;
      state.point = false;
      state.decimals = 0;
      state.cleared = true;
      return TapeChange::None;

    case 'R': {
      double scaled = state.display * 100;
      double whole = std::trunc(scaled);
      double fraction = scaled - whole;
      bool odd = std::isfinite(whole) && std::fabs(std::fmod(whole, 2)) == 1;
      if (fraction > 0.5 || (fraction == 0.5 && odd)) whole += 1;
      state.display = whole / 100;
      state.accumulator = state.display;
      state.point = true;
      state.decimals = 2;
      state.lastOperator = "R";
      AddTapeEntry(state, 'R');
      return TapeChange::Printed;
    }

    case '%':
      AddTapeEntry(state, '%');
      state.lastOperator = "%";
      if (state.pendingOperator == "+" || state.pendingOperator == "-") {
        state.display = state.accumulator / 100 * state.display;
      } else {
        state.display = state.display / 100;
      }
      NormaliseDisplay(state);
      return TapeChange::Printed;

    case '+':
    case '-':
    case '*':
    case '/':
    case '=': {
      const std::string& pending = state.pendingOperator;
      if (pending == "+") {
        state.accumulator = state.display + state.accumulator;
      } else if (pending == "-") {
        state.accumulator = state.accumulator - state.display;
      } else if (pending == "*") {
        state.accumulator = state.display * state.accumulator;
      } else if (pending == "/") {
        state.accumulator = Divide(state.accumulator, state.display);
      } else {
        state.accumulator = state.display;
      }
      AddTapeEntry(state, op);
      state.lastOperator = std::string(1, op);
      state.display = state.accumulator;
      NormaliseDisplay(state);
      if (op == '=') AddTapeEntry(state, ' ');
      state.entering = false;
      state.cleared = false;
      state.pendingOperator = op == '=' ? "" : std::string(1, op);
      return TapeChange::Printed;
    }

    default:
      return TapeChange::None;
  }
}

std::string HandBackText(const CalculatorState& state) {
  int places = state.decimals < 2 ? 2 : state.decimals;
  double value = state.entering ? state.display : state.accumulator;
  double scaled = std::nearbyint(std::fabs(value) * PowerOfTen(places));
  if (!std::isfinite(scaled)) return "";
  std::string digits = WholeDigits(scaled);
  if (places == 2) return digits;
  std::size_t fractionLength = static_cast<std::size_t>(places - 2);
  if (digits.size() < fractionLength) digits.insert(0, fractionLength - digits.size(), '0');
  std::size_t split = digits.size() - fractionLength;
  return digits.substr(0, split) + "." + digits.substr(split);
}

KeyOutcome ApplyCalculatorKey(CalculatorState& state, int key) {
  constexpr int kCtrlLeft = 29440;
  constexpr int kCtrlRight = 29696;
  KeyOutcome outcome;
  if (key > 255 || key < -255) {
    if (key == keys::kLeft || key == kCtrlLeft) outcome.windowMove = -1;
    if (key == keys::kRight || key == kCtrlRight) outcome.windowMove = 1;
    if (key == keys::kAltF) outcome.finish = true;
    return outcome;
  }
  char ch = static_cast<char>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key);
  if (key < 0) ch = '\0';
  if (ch >= '0' && ch <= '9') {
    KeyDigit(state, ch - '0');
  } else if (ch == '.') {
    KeyPoint(state);
  } else if (key == keys::kBackspace) {
    KeyBackspace(state);
  } else if (std::string_view("+-*/%RC").find(ch) != std::string_view::npos && ch != '\0') {
    outcome.tape = KeyOperator(state, ch);
  } else if (ch == '=' || key == keys::kEnter) {
    if (state.entering) outcome.tape = KeyOperator(state, '=');
  } else if (ch == 'T') {
    KeyToggleSign(state);
  } else if (ch == 'F') {
    outcome.finish = true;
  } else if (key == keys::kEsc) {
    outcome.cancel = true;
  }
  return outcome;
}

void MoveCalculatorWindow(CalculatorState& state, int direction) {
  if (direction < 0) {
    state.windowLeft =
        state.windowLeft <= 1 ? kLastWindowLeft : static_cast<std::int16_t>(state.windowLeft - 1);
  } else if (direction > 0) {
    state.windowLeft = state.windowLeft >= kLastWindowLeft
                           ? std::int16_t{1}
                           : static_cast<std::int16_t>(state.windowLeft + 1);
  }
}

std::string CalculatorMask(bool point, int decimals) {
  std::string pattern = "Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9";
  if (point) pattern += ".";
  if (decimals > 0) pattern += std::string(static_cast<std::size_t>(decimals), '9');
  return "-" + pattern.substr(pattern.size() - 21);
}

}  // namespace zt

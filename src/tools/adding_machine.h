#pragma once
// The calculator's arithmetic, apart from the screen: keys change a CalculatorState the way
// an adding machine does, printing entries on the tape.
#include <string>

#include "tools/calculator_state.h"

namespace zt {

// What a key did to the tape, so the screen knows what to repaint.
enum class TapeChange {
  None,     // only the entry line changed
  Printed,  // entries were added at the bottom
  Hidden,   // a second "C": the tape area was emptied on screen
};

// "0" to "9".
void KeyDigit(CalculatorState& state, int digit);
// ".".
void KeyPoint(CalculatorState& state);
// Backspace: drops the last keyed digit, then the point.
void KeyBackspace(CalculatorState& state);
// "T": changes the sign of the display.
void KeyToggleSign(CalculatorState& state);
// "+", "-", "*", "/", "=", "%", "R" or "C".
TapeChange KeyOperator(CalculatorState& state, char op);

// Keeps at most 15 significant digits of the display and sets point and decimals to the
// digits left. An infinite or NaN display is left as it is.
void NormaliseDisplay(CalculatorState& state);

// Prints one entry at the bottom of the tape (the display with op, or a blank).
void AddTapeEntry(CalculatorState& state, char op);

// "F": the value to type into the caller's field, in hundredths, or with a point when more
// than two decimals are shown (1.234 gives 123.4); no sign. Empty when the value is not a
// finite number.
std::string HandBackText(const CalculatorState& state);

// What a key asks of the calculator beyond the arithmetic.
struct KeyOutcome {
  TapeChange tape = TapeChange::None;
  int windowMove = 0;   // -1 left, +1 right
  bool finish = false;  // "F" or Alt+F: hand the value back
  bool cancel = false;  // Esc
};

// One key code as WaitKey delivers it: codes beyond 255 (either sign) are extended keys,
// others characters, letters in either case.
KeyOutcome ApplyCalculatorKey(CalculatorState& state, int key);

// Moves the window one column (direction -1 or +1), wrapping between the screen's edges.
void MoveCalculatorWindow(CalculatorState& state, int direction);

// FormatNumber mask of the tape and entry line: "-" and the last 21 characters of
// "Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9" with the point and decimals.
std::string CalculatorMask(bool point, int decimals);

}  // namespace zt

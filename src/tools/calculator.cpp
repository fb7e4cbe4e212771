#include "tools/calculator.h"

#include <string>

#include "locale/number_format.h"
#include "screen/key_input.h"
#include "screen/styles.h"
#include "screen/windows.h"
#include "tools/adding_machine.h"
#include "tools/calculator_state.h"

namespace zt {

namespace {

constexpr int kEntryRow = 24;
constexpr int kTapeRows = 22;  // tape entry i sits on screen row i
constexpr int kValueWidth = 22;

// Code page 850 line-drawing characters.
const std::string kHorizontal(24, '\xC4');
const std::string kVertical = "\xB3";

void WriteAt(Runtime& rt, int row, int column, const std::string& text) {
  rt.console.SetCursor(row, column);
  rt.console.Write(text);
}

// The value through the calculator's mask, always exactly 22 characters so the frame stays
// whole whatever the formatter does with an overflowing value.
std::string ValueText(Runtime& rt, double value, bool point, int decimals) {
  std::string text = FormatNumber(rt, CalculatorMask(point, decimals), value);
  text.resize(kValueWidth, ' ');
  return text;
}

void DrawTape(Runtime& rt, const CalculatorState& state) {
  SetStyle(rt, "n");
  int left = state.windowLeft;
  bool anyShown = state.firstShown <= kTapeRows;
  if (anyShown) WriteAt(rt, state.firstShown - 1, left, "\xDA" + kHorizontal + "\xBF");
  for (int row = state.firstShown; row <= kTapeRows; ++row) {
    const TapeEntry& entry = state.tape[row - 1];
    WriteAt(rt, row, left,
            kVertical + ValueText(rt, entry.value, entry.point, entry.decimals) + " " +
                std::string(1, entry.op) + kVertical);
  }
  WriteAt(rt, kTapeRows + 1, left,
          anyShown ? "\xC3" + kHorizontal + "\xB4" : "\xDA" + kHorizontal + "\xBF");
  WriteAt(rt, kEntryRow + 1, left, "\xC0" + kHorizontal + "\xD9");
}

void DrawEntryLine(Runtime& rt, const CalculatorState& state) {
  WriteAt(rt, kEntryRow, state.windowLeft,
          kVertical + ValueText(rt, state.display, state.point, state.decimals) + "  " + kVertical);
}

void OpenCalculatorWindow(Runtime& rt, const CalculatorState& state) {
  OpenWindow(rt, 1, state.windowLeft, 25,
             static_cast<std::int16_t>(state.windowLeft + kCalculatorWidth - 1));
  DrawTape(rt, state);
}

}  // namespace

std::string RunCalculator(Runtime& rt) {
  SetKeySet(rt, "+e", "");
  SetStyle(rt, "+n");
  bool cursorWasVisible = rt.console.CursorVisible();
  rt.console.SetCursorVisible(false);

  std::string path = CalculatorFilePath(rt);
  CalculatorState state = LoadCalculatorState(path);
  OpenCalculatorWindow(rt, state);

  std::string result;
  while (true) {
    DrawEntryLine(rt, state);
    std::int16_t key = 0;
    WaitKey(rt, key);
    KeyOutcome outcome = ApplyCalculatorKey(state, key);
    if (outcome.finish) {
      result = HandBackText(state);
      break;
    }
    if (outcome.cancel) break;
    if (outcome.windowMove != 0 || outcome.tape == TapeChange::Hidden) {
      // Reopening repaints what was under the old window and saves what is under the new.
      CloseWindow(rt);
      MoveCalculatorWindow(state, outcome.windowMove);
      OpenCalculatorWindow(rt, state);
    } else if (outcome.tape == TapeChange::Printed) {
      DrawTape(rt, state);
    }
  }

  CloseWindow(rt);
  // A terminal folder that cannot be written only means the tape is not kept.
  SaveCalculatorState(path, state);
  rt.console.SetCursorVisible(cursorWasVisible);
  SetStyle(rt, "-");
  SetKeySet(rt, "-", "");
  return result;
}

}  // namespace zt

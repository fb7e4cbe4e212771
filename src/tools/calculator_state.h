#pragma once
// The calculator's whole state (display, running total, tape, window position) and its
// text file KYBCALC.TMP, which keeps it between runs on the same terminal.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/runtime.h"

namespace zt {

// One printed line of the tape.
struct TapeEntry {
  double value = 0;
  bool point = false;
  std::int16_t decimals = 0;
  char op = ' ';  // "+", "-", "*", "/", "=", "%", "R" or blank (a total)
  bool operator==(const TapeEntry&) const = default;
};

constexpr int kTapeSize = 22;
// The window spans 26 columns, so on an 80-column screen its left border is 1 to 55.
constexpr std::int16_t kCalculatorWidth = 26;
constexpr std::int16_t kLastWindowLeft = 55;
// firstShown of an empty tape area: one past the last entry.
constexpr std::int16_t kTapeHidden = 23;
// More decimals than the 15 significant digits the calculator keeps mean nothing.
constexpr std::int16_t kMaxDecimals = 15;

struct CalculatorState {
  std::int16_t windowLeft = 1;
  std::int16_t firstShown = kTapeHidden;  // 2..23: tape index of the oldest entry shown
  double display = 0;
  double accumulator = 0;
  bool cleared = true;
  bool entering = false;
  bool point = false;
  std::int16_t decimals = 0;
  std::string lastOperator;
  std::string pendingOperator;  // "+", "-", "*", "/" or empty
  // tape[0] is the oldest (index 1), tape[21] the newest (index 22).
  std::array<TapeEntry, kTapeSize> tape{};
  bool operator==(const CalculatorState&) const = default;
};

// The file's text: comma-separated fields, CR LF lines. Values that cannot be written as a
// number that reads back (infinities, NaN) are written as the nearest finite value.
std::string FormatCalculatorFile(const CalculatorState& state);

// Reads what it can from a file's text; every field that is missing, unreadable or out of
// range keeps its start value. Lines past the 22 tape entries are ignored.
CalculatorState ParseCalculatorFile(std::string_view text);

// Number text as the file holds it: up to 15 significant digits, no leading blank, an
// exponent only when the plain form does not fit.
std::string FormatFileNumber(double value);

// Path of KYBCALC.TMP in the terminal's directory.
std::string CalculatorFilePath(const Runtime& rt);

// Creates the file when missing (ignoring failure) and reads it. A missing or unreadable
// file gives the start values.
CalculatorState LoadCalculatorState(const std::string& path);

// Rewrites the file whole. False when it cannot be written; the old file then stays.
bool SaveCalculatorState(const std::string& path, const CalculatorState& state);

}  // namespace zt

#include "screen/window_stack_entry.h"

#include "locale/number_format.h"

namespace zt {

namespace {

constexpr std::size_t kFieldsLength = 20;
constexpr std::size_t kLengthDigits = 5;

void AppendNumber(std::string& out, int value, int width) {
  out += PadZeros(value, static_cast<std::int16_t>(width));
}

// A field of decimal digits only; nothing otherwise.
std::optional<int> DigitsValue(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool InRange(int value, int low, int high) {
  return value >= low && value <= high;
}

}  // namespace

int CoveredCells(const WindowRect& window) {
  if (window.top > window.bottom || window.left > window.right) return 0;
  return (window.bottom - window.top + 1) * (window.right - window.left + 1);
}

std::string EncodeEntry(const WindowStackEntry& entry) {
  std::string out;
  out.reserve(kFieldsLength + 2 * entry.cells.size() + kLengthDigits);
  for (int value : {entry.cursorRow, entry.cursorColumn, entry.previous.top, entry.previous.left,
                    entry.previous.bottom, entry.previous.right, entry.window.top,
                    entry.window.left, entry.window.bottom, entry.window.right}) {
    AppendNumber(out, value, 2);
  }
  for (const Cell& cell : entry.cells) {
    out += static_cast<char>(cell.ch);
    out += static_cast<char>(cell.attr);
  }
  AppendNumber(out, static_cast<int>(out.size() + kLengthDigits), 5);
  return out;
}

std::optional<int> TrailingEntryLength(std::string_view fiveDigits) {
  if (fiveDigits.size() != kLengthDigits) return std::nullopt;
  return DigitsValue(fiveDigits);
}

std::optional<WindowStackEntry> DecodeEntry(std::string_view bytes, int screenRows,
                                            int screenColumns) {
  if (bytes.size() < kFieldsLength + kLengthDigits) return std::nullopt;
  int fields[10];
  for (int i = 0; i < 10; ++i) {
    auto value = DigitsValue(bytes.substr(static_cast<std::size_t>(2 * i), 2));
    if (!value) return std::nullopt;
    fields[i] = *value;
  }
  WindowStackEntry entry;
  entry.cursorRow = static_cast<std::int16_t>(fields[0]);
  entry.cursorColumn = static_cast<std::int16_t>(fields[1]);
  entry.previous = {static_cast<std::int16_t>(fields[2]), static_cast<std::int16_t>(fields[3]),
                    static_cast<std::int16_t>(fields[4]), static_cast<std::int16_t>(fields[5])};
  entry.window = {static_cast<std::int16_t>(fields[6]), static_cast<std::int16_t>(fields[7]),
                  static_cast<std::int16_t>(fields[8]), static_cast<std::int16_t>(fields[9])};

  const WindowRect& w = entry.window;
  if (!InRange(w.top, 1, screenRows) || !InRange(w.bottom, 1, screenRows) ||
      !InRange(w.left, 1, screenColumns) || !InRange(w.right, 1, screenColumns)) {
    return std::nullopt;
  }
  const WindowRect& p = entry.previous;
  if (!InRange(p.top, 0, screenRows) || !InRange(p.bottom, 0, screenRows) ||
      !InRange(p.left, 0, screenColumns) || !InRange(p.right, 0, screenColumns)) {
    return std::nullopt;
  }
  if (!InRange(entry.cursorRow, 0, screenRows) || !InRange(entry.cursorColumn, 0, screenColumns)) {
    return std::nullopt;
  }

  std::size_t cellCount = static_cast<std::size_t>(CoveredCells(w));
  if (bytes.size() != kFieldsLength + 2 * cellCount + kLengthDigits) return std::nullopt;
  auto length = TrailingEntryLength(bytes.substr(bytes.size() - kLengthDigits));
  if (!length || static_cast<std::size_t>(*length) != bytes.size()) return std::nullopt;

  entry.cells.resize(cellCount);
  for (std::size_t i = 0; i < cellCount; ++i) {
    entry.cells[i].ch = static_cast<std::uint8_t>(bytes[kFieldsLength + 2 * i]);
    entry.cells[i].attr = static_cast<std::uint8_t>(bytes[kFieldsLength + 2 * i + 1]);
  }
  return entry;
}

}  // namespace zt

#include "platform/buffered_console.h"

#include <algorithm>

#include "platform/codepage.h"

namespace zt {

namespace {
bool OnScreen(int row, int column) {
  return row >= 1 && row <= BufferedConsole::kRows && column >= 1 &&
         column <= BufferedConsole::kColumns;
}
}  // namespace

void BufferedConsole::SetCursor(int row, int column) {
  cursorRow_ = std::clamp(row, 1, kRows);
  cursorColumn_ = std::clamp(column, 1, kColumns);
}

void BufferedConsole::PutByte(std::uint8_t byte) {
  cells_[cursorRow_ - 1][cursorColumn_ - 1] = Cell{byte, attribute_};
  if (cursorColumn_ < kColumns) {
    ++cursorColumn_;
  } else if (cursorRow_ < kRows) {
    cursorColumn_ = 1;
    ++cursorRow_;
  }
}

void BufferedConsole::Write(std::string_view text) {
  for (char c : text) PutByte(static_cast<std::uint8_t>(c));
}

void BufferedConsole::WriteCodePoint(char32_t codePoint) {
  std::uint8_t byte = UnicodeToCp850(codePoint);
  PutByte(byte != 0 ? byte : '?');
}

Cell BufferedConsole::ReadCell(int row, int column) const {
  if (!OnScreen(row, column)) return Cell{' ', attribute_};
  return cells_[row - 1][column - 1];
}

void BufferedConsole::WriteCell(int row, int column, Cell cell) {
  if (OnScreen(row, column)) cells_[row - 1][column - 1] = cell;
}

void BufferedConsole::ScrollRect(int top, int left, int bottom, int right, int lines,
                                 Cell fill) {
  top = std::max(top, 1);
  left = std::max(left, 1);
  bottom = std::min(bottom, kRows);
  right = std::min(right, kColumns);
  if (top > bottom || left > right || lines == 0) return;
  int height = bottom - top + 1;
  Grid copy = cells_;
  for (int row = top; row <= bottom; ++row) {
    int from = row + lines;
    for (int column = left; column <= right; ++column) {
      cells_[row - 1][column - 1] =
          (from >= top && from <= bottom && lines > -height && lines < height)
              ? copy[from - 1][column - 1]
              : fill;
    }
  }
}

void BufferedConsole::Clear() {
  for (auto& row : cells_) row.fill(Cell{' ', attribute_});
  cursorRow_ = 1;
  cursorColumn_ = 1;
}

std::string BufferedConsole::RowText(int row) const {
  std::string text;
  if (row < 1 || row > kRows) return text;
  for (const Cell& cell : cells_[row - 1]) text += static_cast<char>(cell.ch);
  return text;
}

}  // namespace zt

#pragma once
// The 80 x 25 cell buffer shared by every console backend: all drawing goes into cells,
// and the backend decides how and when they reach a device.
#include <array>

#include "platform/console.h"

namespace zt {

class BufferedConsole : public Console {
 public:
  static constexpr int kRows = 25;
  static constexpr int kColumns = 80;

  int Rows() const override { return kRows; }
  int Columns() const override { return kColumns; }
  void SetCursor(int row, int column) override;
  int CursorRow() const override { return cursorRow_; }
  int CursorColumn() const override { return cursorColumn_; }
  void SetCursorVisible(bool visible) override { cursorVisible_ = visible; }
  bool CursorVisible() const override { return cursorVisible_; }
  void SetCursorHeight(int percent) override { cursorHeight_ = percent >= 75 ? 100 : 50; }
  int CursorHeight() const override { return cursorHeight_; }
  void SetAttribute(Attribute attribute) override { attribute_ = attribute; }
  Attribute CurrentAttribute() const override { return attribute_; }
  void Write(std::string_view text) override;
  void WriteCodePoint(char32_t codePoint) override;
  Cell ReadCell(int row, int column) const override;
  void WriteCell(int row, int column, Cell cell) override;
  void ScrollRect(int top, int left, int bottom, int right, int lines, Cell fill) override;
  void Clear() override;

  // The text of one row (80 code page 850 bytes), for tests and diagnostics.
  std::string RowText(int row) const;

 protected:
  using Grid = std::array<std::array<Cell, kColumns>, kRows>;
  const Grid& Cells() const { return cells_; }

 private:
  void PutByte(std::uint8_t byte);

  Grid cells_{};
  int cursorRow_ = 1;
  int cursorColumn_ = 1;
  bool cursorVisible_ = true;
  int cursorHeight_ = 50;
  Attribute attribute_ = 0x07;
};

}  // namespace zt

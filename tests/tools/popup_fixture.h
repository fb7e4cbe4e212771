#pragma once
// Shared by the pop-up tests: a runtime whose console can photograph the screen at the
// moment a chosen key is read (that is, while the pop-up waits for it), a screen full of
// marked cells to see what the pop-up painted and what it gave back, and the caller's
// state that a pop-up must leave as it found it.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "app/runtime.h"
#include "platform/memory_console.h"
#include "screen/key_input.h"
#include "screen/styles.h"
#include "screen/windows.h"
#include "support/temp_dir.h"

namespace zt::test {

using Screen = std::vector<Cell>;  // 25 x 80, row by row

class SnapshotConsole : public MemoryConsole {
 public:
  // Photographs the screen each time the key is about to be handed out.
  void SnapshotOnKey(std::int16_t key) { snapshotKey_ = key; }
  const std::vector<Screen>& Snapshots() const { return snapshots_; }
  const std::vector<bool>& SnapshotCursorVisible() const { return cursorVisible_; }

  bool PollEvent(InputEvent& event) override {
    if (!MemoryConsole::PollEvent(event)) return false;
    if (snapshotKey_ && event.kind == EventKind::Key && event.key == *snapshotKey_) {
      snapshots_.push_back(Grab());
      cursorVisible_.push_back(CursorVisible());
    }
    return true;
  }

  Screen Grab() const {
    Screen cells;
    for (int row = 1; row <= 25; ++row) {
      for (int column = 1; column <= 80; ++column) cells.push_back(ReadCell(row, column));
    }
    return cells;
  }

 private:
  std::optional<std::int16_t> snapshotKey_;
  std::vector<Screen> snapshots_;
  std::vector<bool> cursorVisible_;
};

inline std::string RowText(const Screen& screen, int row, int column, int length) {
  std::string text;
  for (int c = column; c < column + length; ++c)
    text += static_cast<char>(screen[(row - 1) * 80 + c - 1].ch);
  return text;
}

inline Attribute AttrAt(const Screen& screen, int row, int column) {
  return screen[(row - 1) * 80 + column - 1].attr;
}

// The caller's side of a pop-up: style, window, key set, cursor.
struct CallerState {
  std::int16_t style;
  std::string styleStack;
  WindowRect window;
  std::int16_t windowDepth;
  std::string activeKeys;
  std::string deliveredKeys;
  std::size_t savedKeySets;
  int cursorRow;
  int cursorColumn;
  bool cursorVisible;
  Attribute attribute;
  bool operator==(const CallerState&) const = default;
};

struct PopupFixture {
  SnapshotConsole console;
  MapEnvironment env;
  Runtime rt{console, env};
  TempDir dir;

  PopupFixture() {
    rt.session.TempDir = dir.Path();
    rt.session.TerminalDir = dir.Path();
    rt.session.Language = "CAT";
    rt.session.Colours = {{{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}};
  }

  // A caller in the middle of an edit: every cell marked, a window of its own open, a style
  // and a key set in force, the cursor somewhere in a field.
  void PrepareCaller() {
    for (int row = 1; row <= 25; ++row) {
      for (int column = 1; column <= 80; ++column) {
        console.WriteCell(row, column,
                          Cell{static_cast<std::uint8_t>('A' + (row * 7 + column) % 26),
                               static_cast<Attribute>((row + column) % 7 + 0x10)});
      }
    }
    if (rt.screen.windowDepth == 0) OpenWindow(rt, 3, 5, 20, 50);
    SetStyle(rt, "r");
    SetKeySet(rt, "ea", "d,1b,4800");
    console.SetCursor(12, 40);
    console.SetCursorVisible(true);
  }

  CallerState Caller() const {
    return CallerState{
        rt.screen.currentStyle,        rt.screen.styleStack,      rt.screen.currentWindow,
        rt.screen.windowDepth,         rt.screen.activeKeys,      rt.screen.deliveredKeys,
        rt.screen.savedKeySets.size(), console.CursorRow(),       console.CursorColumn(),
        console.CursorVisible(),       console.CurrentAttribute()};
  }
};

// The six week rows of a month, 20 columns each, days Monday to Sunday at columns
// 1, 4, ... 19, built from the standard library's calendar.
inline std::vector<std::string> ReferenceMonthRows(int year, int month) {
  using namespace std::chrono;
  std::vector<std::string> rows(6, std::string(20, ' '));
  year_month ym{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)}};
  int firstIso = static_cast<int>(weekday{sys_days{ym / 1}}.iso_encoding());
  int last = static_cast<int>(static_cast<unsigned>((ym / std::chrono::last).day()));
  for (int cell = 0; cell < 42; ++cell) {
    int day = cell - firstIso + 2;
    if (day >= 1 && day <= last) {
      rows[cell / 7].replace(3 * (cell % 7), 2, (day < 10 ? " " : "") + std::to_string(day));
    }
  }
  return rows;
}

}  // namespace zt::test

#pragma once
// One window stack entry as the suite's programs write it in WinPush.tmp: two-digit
// cursor and window fields, the covered cells (character, attribute) and a five-digit
// length of the whole entry.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "screen/screen_state.h"

namespace zt {

struct WindowStackEntry {
  std::int16_t cursorRow = 0;
  std::int16_t cursorColumn = 0;
  WindowRect previous;
  WindowRect window;
  std::vector<Cell> cells;  // row by row, top to bottom, each row left to right
};

// Number of cells a rectangle covers (0 when its corners are in the wrong order).
int CoveredCells(const WindowRect& window);

std::string EncodeEntry(const WindowStackEntry& entry);

// Decodes one whole entry; nothing when it is malformed or does not fit a screen of the
// given size (a corrupt file must never paint garbage).
std::optional<WindowStackEntry> DecodeEntry(std::string_view bytes, int screenRows,
                                            int screenColumns);

// The length of an entry from its five trailing digits; nothing when they are not digits.
std::optional<int> TrailingEntryLength(std::string_view fiveDigits);

}  // namespace zt

#pragma once
// Stacked windows: OpenWindow saves the cells and the cursor under a rectangle on the
// window stack (the session's WinPush.tmp, shared with the suite's other programs) and
// CloseWindow paints them back. Coordinates are 1-based absolute screen rows/columns and
// include the border.
#include <cstdint>

namespace zt {

struct Runtime;

// Frame characters for DrawFrame.
constexpr std::int16_t kFrameBlank = 0;
constexpr std::int16_t kFrameSingle = 1;
constexpr std::int16_t kFrameDouble = 2;

// Saves the region and the cursor and makes the rectangle the current window. A
// rectangle with a corner off the screen is ignored (nothing is saved).
void OpenWindow(Runtime& rt, std::int16_t top, std::int16_t left, std::int16_t bottom,
                std::int16_t right);
// Takes the top entry off the stack, repaints its cells, restores the cursor and the
// previous current window. An empty or unreadable stack changes nothing.
void CloseWindow(Runtime& rt);
// Draws the current window's border in the attribute in force and blanks its inside.
void DrawFrame(Runtime& rt, std::int16_t style);
// Cursor to (top + row, left + column) of the current window, or (row, column) when no
// window is open; row 1, column 1 is the first cell inside the border.
void LocateInWindow(Runtime& rt, std::int16_t row, std::int16_t column);

std::int16_t ScreenRows(Runtime& rt);
std::int16_t ScreenColumns(Runtime& rt);
// First usable row/column inside the current window (1 without a window).
std::int16_t WindowFirstRow(Runtime& rt);
std::int16_t WindowFirstColumn(Runtime& rt);
// Last usable column inside the current window (ScreenColumns without a window).
std::int16_t WindowLastColumn(Runtime& rt);

// Scrolls rows a+1..c+1, columns b+1..d+1: up by lines when lines > 0, else down by
// -lines (1 when lines is 0). Uncovered rows are blanked in the attribute in force.
void ScrollRegion(Runtime& rt, std::int16_t a, std::int16_t b, std::int16_t c, std::int16_t d,
                  std::int16_t lines);

}  // namespace zt

#pragma once
// The text console every part of the program draws on and reads input from. Coordinates
// are 1-based rows and columns; text is code page 850 bytes. Backends: MemoryConsole for
// tests, TerminalConsole for real terminals.
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

// Console colour attribute: foreground + 16 x background, colours 0-15 in the console's
// order (1 blue, 2 green, 4 red, 7 grey, 8 dark grey, 15 bright white).
using Attribute = std::uint8_t;

struct Cell {
  std::uint8_t ch = ' ';  // code page 850 byte
  Attribute attr = 0x07;
  bool operator==(const Cell&) const = default;
};

// Modifier keys held with a key or a click.
enum KeyModifier : std::uint8_t {
  kModShift = 1,
  kModAlt = 2,
  kModCtrl = 4,
};

enum class EventKind : std::uint8_t {
  Key,           // key: character code 1-255 or scan code x 256 (see keycodes.h)
  MousePress,    // button pressed at row/column
  MouseRelease,  // button released at row/column
  MouseMove,     // pointer moved to row/column
  Paste,         // text pasted from the terminal (bracketed paste), code page 850
  Resize,        // the terminal's size changed
};

struct InputEvent {
  EventKind kind = EventKind::Key;
  std::int16_t key = 0;         // Key: the unmodified key's code; modifiers say what was held
  std::uint8_t modifiers = 0;   // KeyModifier bits
  int button = 0;               // mouse: 1 left, 2 right, 3 middle
  int row = 0;                  // mouse: 1-based screen position
  int column = 0;
  std::string text;             // Paste
  bool operator==(const InputEvent&) const = default;
};

class Console {
 public:
  virtual ~Console() = default;

  // Visible size, asked each time (the logical screen is 80 x 25).
  virtual int Rows() const = 0;
  virtual int Columns() const = 0;

  virtual void SetCursor(int row, int column) = 0;
  virtual int CursorRow() const = 0;
  virtual int CursorColumn() const = 0;
  virtual void SetCursorVisible(bool visible) = 0;
  virtual bool CursorVisible() const = 0;
  // Cursor height in percent of the cell: 50 (half block) or 100 (full block).
  virtual void SetCursorHeight(int percent) = 0;
  virtual int CursorHeight() const = 0;

  // Attribute for text written from now on.
  virtual void SetAttribute(Attribute attribute) = 0;
  virtual Attribute CurrentAttribute() const = 0;

  // Writes text at the cursor in the current attribute; the cursor advances, wrapping to
  // the next row. Writing past the bottom-right cell leaves the cursor there (no scroll).
  virtual void Write(std::string_view text) = 0;
  // Writes one Unicode character (the markers U+25C4 and U+25BA) as its console byte.
  virtual void WriteCodePoint(char32_t codePoint) = 0;
  // Cell access without moving the cursor. Out-of-screen reads give a blank cell;
  // out-of-screen writes are ignored.
  virtual Cell ReadCell(int row, int column) const = 0;
  virtual void WriteCell(int row, int column, Cell cell) = 0;
  // Scrolls the rectangle up by lines (down when negative); uncovered cells get fill.
  virtual void ScrollRect(int top, int left, int bottom, int right, int lines, Cell fill) = 0;
  // Fills the screen with blanks in the current attribute; the cursor goes to 1,1.
  virtual void Clear() = 0;

  // Takes the next input event without waiting. False when none is waiting.
  virtual bool PollEvent(InputEvent& event) = 0;
  // Flushes output and blocks until input may be waiting or timeoutMs passes (-1: no
  // limit). Callers poll again afterwards. Returns false on timeout.
  virtual bool WaitForInput(int timeoutMs) = 0;
  // Sends what was drawn to the device (a no-op where drawing is immediate).
  virtual void Flush() = 0;

  virtual void SetMouseReporting(bool on) = 0;
  virtual int MouseButtons() const = 0;
  virtual void Beep() = 0;
  // Offers text to the terminal's own clipboard (where the terminal allows it).
  virtual void CopyToClipboard(std::string_view cp850Text) = 0;
};

}  // namespace zt

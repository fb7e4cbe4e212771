#include "screen/windows.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>

#include "app/runtime.h"
#include "platform/files.h"
#include "screen/window_stack_entry.h"

namespace zt {

namespace {

// Header value of an empty stack: entries start at position 5 (1-based), after the header.
constexpr std::int64_t kEmptyHeader = 5;
constexpr std::int64_t kMinimumEntry = 25;

std::string StackPath(Runtime& rt) {
  return ResolvePath(rt.session.TempDir + "WinPush.tmp");
}

std::int64_t FileSize(std::fstream& file) {
  file.seekg(0, std::ios::end);
  std::streamoff size = file.tellg();
  return size < 0 ? 0 : static_cast<std::int64_t>(size);
}

std::int64_t ReadHeader(std::fstream& file) {
  std::array<char, 4> bytes{};
  file.seekg(0);
  file.read(bytes.data(), 4);
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[i]);
  return static_cast<std::int32_t>(value);
}

void WriteHeader(std::fstream& file, std::int64_t header) {
  auto value = static_cast<std::uint32_t>(header);
  std::array<char, 4> bytes{};
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  file.seekp(0);
  file.write(bytes.data(), 4);
}

// Appends one entry above whatever the stack file holds. False when the file cannot be
// created or written; the caller then keeps the entry in memory.
bool PushToFile(const std::string& path, const std::string& entry) {
  bool created = false;
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) {
    // A file that is there but cannot be read and written belongs to someone else: leave
    // it alone.
    if (FileExists(path)) return false;
    std::ofstream create(path, std::ios::binary | std::ios::app);
    if (!create.is_open()) return false;
    create.close();
    created = true;
    file.open(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file.is_open()) {
      std::remove(path.c_str());
      return false;
    }
  }
  std::int64_t size = FileSize(file);
  std::int64_t writePosition = kEmptyHeader;
  if (size > 3) {
    std::int64_t header = ReadHeader(file);
    // A header before the entries or past the end of the file cannot be trusted: the
    // stack is taken as empty and the entry overwrites from the start.
    if (header >= kEmptyHeader && header - 1 <= size) writePosition = header;
  }
  std::int64_t newHeader = writePosition + static_cast<std::int64_t>(entry.size());
  if (newHeader > std::numeric_limits<std::int32_t>::max()) return false;
  file.clear();
  file.seekp(writePosition - 1);
  file.write(entry.data(), static_cast<std::streamsize>(entry.size()));
  file.flush();
  if (file.good()) {
    WriteHeader(file, newHeader);
    file.flush();
  }
  bool ok = file.good();
  file.close();
  if (!ok && created) std::remove(path.c_str());
  return ok;
}

// Takes the top entry off the stack file. Nothing when the stack is empty, missing or
// unreadable; an empty or unreadable file is deleted.
std::optional<WindowStackEntry> PopFromFile(const std::string& path, int screenRows,
                                            int screenColumns) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) return std::nullopt;
  auto discard = [&]() {
    file.close();
    std::remove(path.c_str());
    return std::nullopt;
  };
  std::int64_t size = FileSize(file);
  if (size <= 3) return discard();
  std::int64_t header = ReadHeader(file);
  if (header < kEmptyHeader + kMinimumEntry || header - 1 > size) return discard();

  std::string lengthText(5, '\0');
  file.clear();
  file.seekg(header - 6);
  file.read(lengthText.data(), 5);
  auto length = TrailingEntryLength(lengthText);
  if (!file.good() || !length || *length < kMinimumEntry || header - *length < kEmptyHeader) {
    return discard();
  }
  std::int64_t start = header - *length;
  std::string bytes(static_cast<std::size_t>(*length), '\0');
  file.seekg(start - 1);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file.good()) return discard();
  auto entry = DecodeEntry(bytes, screenRows, screenColumns);
  if (!entry) return discard();

  WriteHeader(file, start);
  file.close();
  if (start < kEmptyHeader + 1) std::remove(path.c_str());
  return entry;
}

bool OnScreen(int value, int limit) {
  return value >= 1 && value <= limit;
}

}  // namespace

void OpenWindow(Runtime& rt, std::int16_t top, std::int16_t left, std::int16_t bottom,
                std::int16_t right) {
  Console& console = rt.console;
  int rows = console.Rows();
  int columns = console.Columns();
  if (!OnScreen(top, rows) || !OnScreen(bottom, rows) || !OnScreen(left, columns) ||
      !OnScreen(right, columns)) {
    return;
  }
  ScreenState& state = rt.screen;
  WindowStackEntry entry;
  entry.cursorRow = static_cast<std::int16_t>(console.CursorRow());
  entry.cursorColumn = static_cast<std::int16_t>(console.CursorColumn());
  entry.previous = state.currentWindow;
  entry.window = {top, left, bottom, right};
  entry.cells.reserve(static_cast<std::size_t>(CoveredCells(entry.window)));
  for (int row = top; row <= bottom; ++row) {
    for (int column = left; column <= right; ++column) {
      entry.cells.push_back(console.ReadCell(row, column));
    }
  }
  std::string bytes = EncodeEntry(entry);
  // Once an entry had to stay in memory, later ones follow it there so the order holds.
  if (!state.memoryWindowStack.empty() || !PushToFile(StackPath(rt), bytes)) {
    state.memoryWindowStack.push_back(std::move(bytes));
  }
  state.currentWindow = entry.window;
  if (state.windowDepth < std::numeric_limits<std::int16_t>::max()) ++state.windowDepth;
}

void CloseWindow(Runtime& rt) {
  ScreenState& state = rt.screen;
  Console& console = rt.console;
  std::optional<WindowStackEntry> entry;
  if (!state.memoryWindowStack.empty()) {
    entry = DecodeEntry(state.memoryWindowStack.back(), console.Rows(), console.Columns());
    state.memoryWindowStack.pop_back();
  } else {
    entry = PopFromFile(StackPath(rt), console.Rows(), console.Columns());
  }
  if (!entry) return;

  if (state.windowDepth > std::numeric_limits<std::int16_t>::min()) --state.windowDepth;
  state.currentWindow = entry->previous;
  const WindowRect& window = entry->window;
  std::size_t index = 0;
  for (int row = window.top; row <= window.bottom; ++row) {
    for (int column = window.left; column <= window.right; ++column) {
      console.WriteCell(row, column, entry->cells[index++]);
    }
  }
  // The colours in force are those of the last cell painted, as when each cell is
  // written with its own colours.
  if (!entry->cells.empty()) console.SetAttribute(entry->cells.back().attr);
  console.SetCursor(entry->cursorRow, entry->cursorColumn);
}

void DrawFrame(Runtime& rt, std::int16_t style) {
  const ScreenState& state = rt.screen;
  if (state.windowDepth == 0) return;
  struct Frame {
    std::uint8_t topLeft, topRight, bottomLeft, bottomRight, horizontal, vertical;
  };
  Frame frame{0, 0, 0, 0, 0, 0};
  if (style == kFrameBlank) frame = {32, 32, 32, 32, 32, 32};
  if (style == kFrameSingle) frame = {218, 191, 192, 217, 196, 179};
  if (style == kFrameDouble) frame = {201, 187, 200, 188, 205, 186};

  const WindowRect& w = state.currentWindow;
  Attribute attribute = rt.console.CurrentAttribute();
  // Only cells inside the rectangle are drawn, also for windows too narrow for a frame.
  auto put = [&](int row, int column, std::uint8_t ch) {
    if (row >= w.top && row <= w.bottom && column >= w.left && column <= w.right) {
      rt.console.WriteCell(row, column, Cell{ch, attribute});
    }
  };
  auto drawRow = [&](int row, std::uint8_t first, std::uint8_t middle, std::uint8_t last) {
    put(row, w.left, first);
    for (int column = w.left + 1; column < w.right; ++column) put(row, column, middle);
    put(row, w.right, last);
  };
  drawRow(w.top, frame.topLeft, frame.horizontal, frame.topRight);
  for (int row = w.top + 1; row < w.bottom; ++row) {
    drawRow(row, frame.vertical, ' ', frame.vertical);
  }
  drawRow(w.bottom, frame.bottomLeft, frame.horizontal, frame.bottomRight);
}

void LocateInWindow(Runtime& rt, std::int16_t row, std::int16_t column) {
  const ScreenState& state = rt.screen;
  if (state.windowDepth != 0) {
    rt.console.SetCursor(state.currentWindow.top + row, state.currentWindow.left + column);
  } else {
    rt.console.SetCursor(row, column);
  }
}

std::int16_t ScreenRows(Runtime& rt) {
  return static_cast<std::int16_t>(rt.console.Rows());
}

std::int16_t ScreenColumns(Runtime& rt) {
  return static_cast<std::int16_t>(rt.console.Columns());
}

std::int16_t WindowFirstRow(Runtime& rt) {
  return rt.screen.windowDepth != 0 ? static_cast<std::int16_t>(rt.screen.currentWindow.top + 1)
                                    : std::int16_t{1};
}

std::int16_t WindowFirstColumn(Runtime& rt) {
  return rt.screen.windowDepth != 0 ? static_cast<std::int16_t>(rt.screen.currentWindow.left + 1)
                                    : std::int16_t{1};
}

std::int16_t WindowLastColumn(Runtime& rt) {
  return rt.screen.windowDepth != 0 ? static_cast<std::int16_t>(rt.screen.currentWindow.right - 1)
                                    : ScreenColumns(rt);
}

void ScrollRegion(Runtime& rt, std::int16_t a, std::int16_t b, std::int16_t c, std::int16_t d,
                  std::int16_t lines) {
  int up = lines == 0 ? -1 : lines;
  rt.console.ScrollRect(a + 1, b + 1, c + 1, d + 1, up, Cell{' ', rt.console.CurrentAttribute()});
}

}  // namespace zt

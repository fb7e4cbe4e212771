#include "screen/message_box.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "app/runtime.h"
#include "screen/styles.h"
#include "screen/windows.h"

namespace zt {

namespace {

// The text seen through 1-based positions; a position off either end reads as -1.
class Chars {
 public:
  explicit Chars(const std::string& text) : text_(text) {}
  int At(long position) const {
    if (position < 1 || position > static_cast<long>(text_.size())) return -1;
    return static_cast<unsigned char>(text_[static_cast<std::size_t>(position - 1)]);
  }
  bool Control(long position) const {
    int c = At(position);
    return c >= 0 && c < 32;
  }
  bool Visible(long position) const { return At(position) > 32; }
  bool Blank(long position) const { return At(position) == 32; }
  bool PastEnd(long position) const { return position > static_cast<long>(text_.size()); }

 private:
  const std::string& text_;
};

// 1-based position of the first blank at or after from in line, or 0.
long FindBlank(const std::string& line, long from) {
  if (from < 1) from = 1;
  if (from > static_cast<long>(line.size())) return 0;
  std::size_t found = line.find(' ', static_cast<std::size_t>(from - 1));
  return found == std::string::npos ? 0 : static_cast<long>(found) + 1;
}

void Justify(std::string& line, long room, long firstColumn) {
  if (FindBlank(line, firstColumn) == 0) return;
  long k = firstColumn;
  long step = 2;
  while (static_cast<long>(line.size()) < room) {
    long next = FindBlank(line, k + step);
    k = next != 0 ? next : FindBlank(line, firstColumn);
    line.insert(static_cast<std::size_t>(k - 1), 1, ' ');
    step = 2;
    while (k + step <= static_cast<long>(line.size()) &&
           line[static_cast<std::size_t>(k + step - 1)] == ' ') {
      ++step;
    }
  }
}

void Align(std::string& line, long room, char alignment, long pos, long cut, long textLength,
           int indent) {
  long missing = std::max(0L, room - static_cast<long>(line.size()));
  switch (alignment) {
    case 'E':
    case 'L':
    case 'I':
      line.append(static_cast<std::size_t>(missing), ' ');
      break;
    case 'N':
      line.append(static_cast<std::size_t>(missing), '-');
      break;
    case 'D':
    case 'R':
      line.insert(0, static_cast<std::size_t>(missing), ' ');
      break;
    case 'C':
      line.insert(0, static_cast<std::size_t>(missing / 2), ' ');
      line.append(static_cast<std::size_t>((missing + 1) / 2), ' ');
      break;
    case 'A':
    case 'B':
      // The last line of the text stays as it is.
      if (textLength - (pos + cut - 1) > 1) Justify(line, room, 1 + std::abs(indent));
      break;
    default:
      break;
  }
}

}  // namespace

void FormatParagraph(std::string& text, std::int16_t indent, std::int16_t width,
                     std::string_view alignment) {
  char align = 0;
  if (alignment.size() == 1) {
    align = static_cast<char>(std::toupper(static_cast<unsigned char>(alignment[0])));
  }
  const Chars chars(text);
  const long length = static_cast<long>(text.size());
  std::string result;
  long pad = indent > 0 ? indent : 0;
  long pos = 1;
  while (pos <= length) {
    // A width not above the indent still takes one character per line, so the layout
    // always moves on.
    long room = std::max(1L, static_cast<long>(width) - pad);
    long n = 0;
    while (n != room && !chars.PastEnd(pos + n)) {
      if (chars.Control(pos + n)) ++room;
      ++n;
    }
    if (chars.Visible(pos + n - 1)) {
      while (chars.Control(pos + n)) {
        ++room;
        ++n;
      }
    }
    long cut = room;
    while (chars.Visible(pos + cut) && cut > 0) {
      if (chars.Control(pos + cut - 1)) --room;
      --cut;
    }
    if ((chars.Control(pos + cut) || chars.PastEnd(pos + cut)) && cut > 0) {
      while (chars.Blank(pos + cut - 1) && cut > 0) --cut;
    }
    if (cut < 1) cut = std::max(1L, room);

    std::string line(static_cast<std::size_t>(pad), ' ');
    long available = std::min(cut, length - pos + 1);
    line.append(text, static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(available));
    room += pad;
    Align(line, room, align, pos, cut, length, indent);
    result += line;

    pos += cut;
    while (chars.Blank(pos)) ++pos;
    pad = indent < 0 ? -static_cast<long>(indent) : 0;
  }
  text = std::move(result);
}

void ShowMessage(Runtime& rt, std::int16_t row, std::string& text) {
  constexpr int kLineWidth = 76;
  SetStyle(rt, "+rh");
  FormatParagraph(text, 0, kLineWidth, "i");
  int lines = static_cast<int>(text.size()) / kLineWidth;
  int top = std::max(1, row - (lines + 1) / 2 - 2);
  int bottom = top + lines + 1;
  int screenRows = ScreenRows(rt);
  if (bottom > screenRows) {
    bottom = screenRows;
    top = bottom - lines - 1;
  }
  if (top < 1) {
    SetStyle(rt, "-");
    return;
  }

  auto lineText = [&](int i) {
    std::string line = text.substr(static_cast<std::size_t>(i * kLineWidth), kLineWidth);
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
  };
  int left = 0;
  int right = 0;
  for (int i = 0; i < lines; ++i) {
    int g = static_cast<int>(lineText(i).size());
    if (right - left < g + 4) {
      left = 41 - (g + 1) / 2 - 2;
      right = g / 2 + 42;
    }
  }
  std::int16_t depthBefore = rt.screen.windowDepth;
  OpenWindow(rt, static_cast<std::int16_t>(top), static_cast<std::int16_t>(left),
             static_cast<std::int16_t>(bottom), static_cast<std::int16_t>(right));
  // Without a window of its own (a blank message) the box must not draw over the
  // caller's window.
  if (rt.screen.windowDepth != depthBefore) {
    DrawFrame(rt, kFrameSingle);
    for (int i = 0; i < lines; ++i) {
      LocateInWindow(rt, static_cast<std::int16_t>(i + 1), 2);
      rt.console.Write(lineText(i));
    }
  }
  SetStyle(rt, "-");
}

}  // namespace zt

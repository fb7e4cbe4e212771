#pragma once
// The line rules shared by the INI reader and writer, so the two stay in step.
#include <string>
#include <string_view>

namespace zt::ini {

// Splits data into lines: a line ends at CR, and an LF right after the CR belongs to that
// line end; a lone LF stays in the line. Byte 26 ends the data. Calls fn(line, begin, end)
// where [begin, end) is the line's byte range including its line end.
template <typename Fn>
void ForEachLine(std::string_view data, Fn&& fn) {
  std::size_t eof = data.find('\x1a');
  if (eof != std::string_view::npos) data = data.substr(0, eof);
  std::size_t pos = 0;
  while (pos < data.size()) {
    std::size_t cr = data.find('\r', pos);
    std::size_t lineEnd = cr == std::string_view::npos ? data.size() : cr;
    std::size_t next = lineEnd;
    if (cr != std::string_view::npos) {
      next = cr + 1;
      if (next < data.size() && data[next] == '\n') ++next;
    }
    if (!fn(data.substr(pos, lineEnd - pos), pos, next)) return;
    pos = next;
  }
}

// The line cut at its first ";" with its leading blanks dropped.
std::string_view StripCommentAndIndent(std::string_view line);

bool IsAllBlanks(std::string_view text);

// Removes blanks (spaces only) at both ends.
std::string_view TrimBlanks(std::string_view text);

// Compares two names ignoring the case of A-Z and blanks at both ends.
bool NamesEqual(std::string_view a, std::string_view b);

// For a cleaned line starting with "[": the section name (up to "]" or the end, trimmed).
std::string_view SectionName(std::string_view cleanLine);

}  // namespace zt::ini

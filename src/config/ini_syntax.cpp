#include "config/ini_syntax.h"

namespace zt::ini {

std::string_view StripCommentAndIndent(std::string_view line) {
  std::size_t semicolon = line.find(';');
  if (semicolon != std::string_view::npos) line = line.substr(0, semicolon);
  std::size_t first = line.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : line.substr(first);
}

bool IsAllBlanks(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

namespace {
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
  a = TrimBlanks(a);
  b = TrimBlanks(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::string_view SectionName(std::string_view cleanLine) {
  std::string_view inner = cleanLine.substr(1);
  std::size_t close = inner.find(']');
  if (close != std::string_view::npos) inner = inner.substr(0, close);
  return TrimBlanks(inner);
}

}  // namespace zt::ini

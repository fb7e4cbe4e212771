#include "forms/edit_text_ops.h"

#include <algorithm>

namespace zt::edit {

namespace {

bool IsSeparator(char ch) {
  constexpr std::string_view kSeparators = " ,.;:";
  return kSeparators.find(ch) != std::string_view::npos;
}

}  // namespace

bool InsertChar(std::string& text, int position, char ch) {
  const int length = static_cast<int>(text.size());
  if (length == 0 || text.back() != ' ' || position < 1 || position > length) return false;
  text.pop_back();
  text.insert(text.begin() + (position - 1), ch);
  return true;
}

bool DeleteChar(std::string& text, int position) {
  const int length = static_cast<int>(text.size());
  if (position < 1 || position > length) return false;
  text.erase(text.begin() + (position - 1));
  text.push_back(' ');
  return true;
}

int WordLeft(std::string_view text, int cursor) {
  const int length = static_cast<int>(text.size());
  bool passedWord = false;
  for (int i = std::min(cursor - 1, length); i >= 1; --i) {
    if (IsSeparator(text[i - 1])) {
      if (passedWord) return i + 1;
    } else {
      passedWord = true;
    }
  }
  return 1;
}

int WordRight(std::string_view text, int cursor) {
  const int length = static_cast<int>(text.size());
  bool passedSeparator = false;
  for (int i = std::max(cursor, 1); i <= length; ++i) {
    if (IsSeparator(text[i - 1])) {
      passedSeparator = true;
    } else if (passedSeparator) {
      return i;
    }
  }
  return length + 1;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string CleanPastedText(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (char ch : text) {
    const auto code = static_cast<unsigned char>(ch);
    if (code < 32 || code == 127 || code == 255) continue;
    kept.push_back(ch);
  }
  return std::string(TrimBlanks(kept));
}

void WriteOver(std::string& text, int position, std::string_view pasted) {
  const int length = static_cast<int>(text.size());
  for (std::size_t i = 0; i < pasted.size(); ++i) {
    const int at = position + static_cast<int>(i);
    if (at < 1) continue;
    if (at > length) break;
    text[at - 1] = pasted[i];
  }
}

}  // namespace zt::edit

// The input mode the field editor obeys: the ActiveKeySet with its saved sets, and hidden
// input.
#include <cctype>

#include "app/runtime.h"
#include "screen/key_input.h"

namespace zt {

namespace {

struct KeyItem {
  std::uint16_t admitted = 0;
  std::uint16_t delivered = 0;
};

// Hexadecimal digits at the start of text (leading blanks skipped); 0 when there are
// none. Only the low 16 bits count, so "8500" is the code of F11.
std::uint16_t HexValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    int c = std::tolower(static_cast<unsigned char>(text[i]));
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) break;
    value = ((value << 4) | static_cast<std::uint32_t>(digit)) & 0xFFFF;
  }
  return static_cast<std::uint16_t>(value);
}

std::vector<KeyItem> ParseList(std::string_view list) {
  std::vector<KeyItem> items;
  if (list.empty()) return items;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = list.find(',', start);
    std::string_view item = list.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    KeyItem parsed;
    std::size_t equals = item.find('=');
    parsed.admitted = HexValue(item.substr(0, equals));
    parsed.delivered =
        equals == std::string_view::npos ? parsed.admitted : HexValue(item.substr(equals + 1));
    items.push_back(parsed);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return items;
}

void AppendCode(std::string& text, std::uint16_t code) {
  text += static_cast<char>(code & 0xFF);
  text += static_cast<char>(code >> 8);
}

std::uint16_t CodeAt(const std::string& text, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(text[offset]) |
                                    (static_cast<std::uint8_t>(text[offset + 1]) << 8));
}

// Offset of the first whole entry holding code, or npos.
std::size_t FindCode(const std::string& text, std::uint16_t code) {
  for (std::size_t offset = 0; offset + 1 < text.size(); offset += 2) {
    if (CodeAt(text, offset) == code) return offset;
  }
  return std::string::npos;
}

}  // namespace

void SetKeySet(Runtime& rt, std::string_view commands, std::string_view list) {
  ScreenState& state = rt.screen;
  for (char command : commands) {
    switch (std::toupper(static_cast<unsigned char>(command))) {
      case '+':
        state.savedKeySets.emplace_back(state.activeKeys, state.deliveredKeys);
        break;
      case '-':
        if (!state.savedKeySets.empty()) {
          state.activeKeys = std::move(state.savedKeySets.back().first);
          state.deliveredKeys = std::move(state.savedKeySets.back().second);
          state.savedKeySets.pop_back();
        }
        break;
      case 'E':
        state.activeKeys.clear();
        state.deliveredKeys.clear();
        break;
      case 'A':
        for (const KeyItem& item : ParseList(list)) {
          AppendCode(state.activeKeys, item.admitted);
          AppendCode(state.deliveredKeys, item.delivered);
        }
        break;
      case 'D':
        for (const KeyItem& item : ParseList(list)) {
          std::size_t offset = FindCode(state.activeKeys, item.admitted);
          if (offset == std::string::npos) continue;
          state.activeKeys.erase(offset, 2);
          if (offset + 1 < state.deliveredKeys.size()) state.deliveredKeys.erase(offset, 2);
        }
        break;
      case 'H':
        state.hiddenInputChar = 88;
        break;
      case 'V':
        state.hiddenInputChar = 0;
        break;
      default:
        break;
    }
  }
}

bool KeySetActive(Runtime& rt) {
  return !rt.screen.activeKeys.empty();
}

bool LookUpKeySet(Runtime& rt, std::int16_t key, std::int16_t& delivered) {
  const ScreenState& state = rt.screen;
  std::size_t offset = FindCode(state.activeKeys, static_cast<std::uint16_t>(key));
  if (offset == std::string::npos || offset + 1 >= state.deliveredKeys.size()) return false;
  delivered = static_cast<std::int16_t>(CodeAt(state.deliveredKeys, offset));
  return true;
}

}  // namespace zt

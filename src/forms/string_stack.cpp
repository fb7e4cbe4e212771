#include "forms/string_stack.h"

namespace zt {

bool StringStack::Push(std::string_view text) {
  if (text.size() > kMaxEntry) return false;
  packed_.append(text);
  packed_.append(Int16Text(static_cast<std::int16_t>(text.size())));
  return true;
}

std::string StringStack::Pop() {
  if (packed_.size() < 2) {
    packed_.clear();
    return {};
  }
  const std::int16_t length = Int16FromText(std::string_view(packed_).substr(packed_.size() - 2));
  const std::size_t rest = packed_.size() - 2;
  if (length < 0 || static_cast<std::size_t>(length) > rest) {
    packed_.clear();
    return {};
  }
  const std::size_t start = rest - static_cast<std::size_t>(length);
  std::string entry = packed_.substr(start, static_cast<std::size_t>(length));
  packed_.resize(start);
  return entry;
}

std::string Int16Text(std::int16_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  std::string text(2, '\0');
  text[0] = static_cast<char>(bits & 0xFF);
  text[1] = static_cast<char>(bits >> 8);
  return text;
}

std::int16_t Int16FromText(std::string_view text) {
  if (text.size() < 2) return 0;
  const auto low = static_cast<unsigned char>(text[0]);
  const auto high = static_cast<unsigned char>(text[1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

}  // namespace zt

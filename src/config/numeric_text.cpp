#include "config/numeric_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace zt {

std::size_t DecimalPrefixLength(std::string_view text) {
  std::size_t i = 0;
  auto isDigit = [&](std::size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (isDigit(i)) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (isDigit(i)) ++i, ++digits;
  }
  return digits == 0 ? 0 : i;
}

double NumericValue(std::string_view text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return 0.0;
  std::size_t length = DecimalPrefixLength(text.substr(start));
  if (length == 0) return 0.0;
  std::size_t i = start + length;
  auto isDigit = [&](std::size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
  std::size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t k = i + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
    if (isDigit(k)) {
      while (isDigit(k)) ++k;
      end = k;
    }
  }
  std::string number(text.substr(start, end - start));
  double value = std::strtod(number.c_str(), nullptr);
  if (std::isinf(value)) {
    value = std::copysign(std::numeric_limits<double>::max(), value);
  }
  return value;
}

namespace {
template <typename Int>
Int RoundToInt(double value) {
  if (std::isnan(value)) return 0;
  double rounded = std::nearbyint(value);  // default rounding mode: halves to even
  if (rounded <= static_cast<double>(std::numeric_limits<Int>::min())) {
    return std::numeric_limits<Int>::min();
  }
  if (rounded >= static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::numeric_limits<Int>::max();
  }
  return static_cast<Int>(rounded);
}
}  // namespace

std::int16_t ToInt16(double value) {
  return RoundToInt<std::int16_t>(value);
}
std::int32_t ToInt32(double value) {
  return RoundToInt<std::int32_t>(value);
}

}  // namespace zt

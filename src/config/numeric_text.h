#pragma once
// Numbers read from text, files and arithmetic, with defined results for every input.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zt {

// The decimal number at the start of text: leading blanks skipped, an optional sign,
// digits with an optional "." and fraction, an optional exponent; reading stops at the
// first character that cannot continue the number. No number gives 0. Never infinite:
// an exponent too large saturates to the largest finite value.
double NumericValue(std::string_view text);

// The length of the decimal number that text starts with: an optional sign, then digits
// with an optional "." and fraction (at least one digit in all). 0 when there is none.
std::size_t DecimalPrefixLength(std::string_view text);

// Rounds to the nearest integer (halves to even) and saturates to the 16-bit range;
// NaN gives 0.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

// NumericValue followed by ToInt16.
inline std::int16_t Int16Value(std::string_view text) {
  return ToInt16(NumericValue(text));
}

}  // namespace zt

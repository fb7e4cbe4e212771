#include "locale/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>

#include "locale/user_settings.h"

namespace zt {

namespace {

using Pos = std::ptrdiff_t;

// Enough for the integer digits of the largest double (309) with room to spare.
constexpr std::size_t kMaxDigits = 330;

constexpr bool IsDigitPlace(char c) {
  return c == '9' || c == 'Z' || c == 'z' || c == '*';
}

double PowerOfTen(Pos exponent) {
  // Exact for the usual few decimals; beyond the table pow() is as close as a double gets.
  static constexpr std::array<double, 23> kTable = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (exponent < static_cast<Pos>(kTable.size())) return kTable[static_cast<std::size_t>(exponent)];
  return std::pow(10.0, static_cast<double>(exponent));
}

// Rounds a finite, non-negative x to a whole number, halves to the even neighbour.
double RoundHalfEven(double x) {
  double whole = std::floor(x);
  double fraction = x - whole;  // exact for doubles
  if (fraction > 0.5) return whole + 1.0;
  // A fraction of exactly one half only exists below 2^52, where the cast is exact.
  if (fraction == 0.5 && (static_cast<std::uint64_t>(whole) & 1U) != 0) return whole + 1.0;
  return whole;
}

// The decimal digits of a finite whole number >= 0, without leading zeros (none for 0).
struct DigitText {
  std::array<char, kMaxDigits> text;
  Pos length = 0;
  Pos lastNonZero = 0;  // 1-based position of the last digit other than "0"; 0 when none

  explicit DigitText(double whole) {
    if (whole < 1e19) {
      std::uint64_t n = static_cast<std::uint64_t>(whole);
      char reversed[20];
      Pos count = 0;
      while (n != 0) {
        reversed[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
      }
      for (Pos j = 0; j < count; ++j) text[static_cast<std::size_t>(j)] = reversed[count - 1 - j];
      length = count;
    } else {
      auto result =
          std::to_chars(text.data(), text.data() + text.size(), whole, std::chars_format::fixed, 0);
      length = result.ptr - text.data();
    }
    for (Pos j = length; j >= 1; --j) {
      if (At(j) != '0') {
        lastNonZero = j;
        break;
      }
    }
  }
  // The k-th digit (1-based), or '\0' outside the text.
  char At(Pos k) const {
    return k >= 1 && k <= length ? text[static_cast<std::size_t>(k - 1)] : '\0';
  }
};

void LoadNumberSettings(Runtime& rt) {
  LocaleState& state = rt.locale;
  if (state.numberSettingsLoaded) return;
  state.decimalChar = UserSettingChar(rt, "DecCaracter", '\'');
  state.thousandsChar = UserSettingChar(rt, "MilCaracter", '.');
  state.numberSettingsLoaded = true;
}

// The plain form used when the number does not fit its mask: "-", the integer digits, the
// decimal character and the decimals, right-aligned and cut to the field; "!" in every
// position when not even the integer digits and the sign fit.
std::string PlainForm(Pos fieldLength, const DigitText& digits, Pos decimals, bool negative,
                      char decimalChar) {
  Pos integerDigits = digits.length > decimals ? digits.length - decimals : 0;
  if (fieldLength < integerDigits + (negative ? 1 : 0)) {
    return std::string(static_cast<std::size_t>(fieldLength), '!');
  }
  std::string plain;
  if (negative) plain += '-';
  plain.append(digits.text.data(), static_cast<std::size_t>(integerDigits));
  if (decimals >= 1) {
    plain += decimalChar;
    // Too few digits (a value below one) are zero-filled so the decimals keep their places.
    for (Pos j = digits.length - decimals + 1; j <= digits.length; ++j) {
      char d = digits.At(j);
      plain += d != '\0' ? d : '0';
    }
  }
  if (static_cast<Pos>(plain.size()) >= fieldLength) {
    plain.resize(static_cast<std::size_t>(fieldLength));
    return plain;
  }
  return std::string(static_cast<std::size_t>(fieldLength) - plain.size(), ' ') + plain;
}

std::string FormatWith(std::string_view mask, double value, char decimalChar, char thousandsChar) {
  const Pos length = static_cast<Pos>(mask.size());
  const bool isSigned = mask.find_first_of("-+") != std::string_view::npos;

  // A: digit and sign places after the first point; D: digit places right after it.
  Pos afterPoint = 0;
  Pos decimals = 0;
  const std::size_t point = mask.find('.');
  if (point != std::string_view::npos) {
    for (std::size_t j = point + 1; j < mask.size(); ++j) {
      char c = mask[j];
      if (IsDigitPlace(c) || c == '-' || c == '+') ++afterPoint;
    }
    if (afterPoint > 0) {
      for (std::size_t j = point + 1; j < mask.size() && IsDigitPlace(mask[j]); ++j) ++decimals;
    }
  }

  // Infinities, NaN and values whose scaled form is not a finite double cannot be shown.
  if (!std::isfinite(value)) return std::string(mask.size(), '!');
  const double scaled = std::fabs(value) * PowerOfTen(decimals);
  if (!std::isfinite(scaled)) return std::string(mask.size(), '!');
  const DigitText digits(RoundHalfEven(scaled));
  bool negative = value < 0.0;

  std::string out(mask);
  auto put = [&out](Pos i, char c) { out[static_cast<std::size_t>(i - 1)] = c; };
  char fill = '\0';  // fill mark: '\0' none, ' ' blank, '*' star
  bool suppressed = false;

  // First pass, from the right, while digits remain.
  Pos i = length;
  Pos k = afterPoint + digits.length - decimals;
  while (i >= 1 && k >= 1) {
    const char c = mask[static_cast<std::size_t>(i - 1)];
    const char d = digits.At(k);
    switch (c) {
      case '9':
        put(i, d != '\0' ? d : '0');
        fill = '\0';
        suppressed = false;
        --k;
        break;
      case 'Z':
      case 'z':
        fill = ' ';
        if (i < length - afterPoint) {
          put(i, d != '\0' ? d : ' ');
          suppressed = d == '\0';
        } else if (afterPoint == 0 || digits.lastNonZero >= k) {
          put(i, d != '\0' ? d : '0');
          suppressed = d == '\0';
        } else {
          // Trailing zero decimals under "Z" are blanked.
          put(i, ' ');
          suppressed = true;
        }
        --k;
        break;
      case '*':
        put(i, d != '\0' ? d : '*');
        fill = '*';
        suppressed = d == '\0';
        --k;
        break;
      case '.':
        put(i, suppressed ? fill : decimalChar);
        afterPoint = 0;
        break;
      case ',':
        put(i, thousandsChar);
        break;
      case '-':
        if (!negative) put(i, ' ');
        if (afterPoint > 0) --k;
        break;
      case '+':
        put(i, negative ? '-' : '+');
        if (afterPoint > 0) --k;
        break;
      default:
        break;
    }
    --i;
  }

  if (k > 0 || (negative && !isSigned && i == 0)) {
    return PlainForm(length, digits, decimals, negative, decimalChar);
  }

  // Second pass: the places left of the digits, where an unsigned mask floats the minus.
  bool minusPending = negative && !isSigned;
  auto placeMinus = [&](Pos at) {
    put(at, '-');
    minusPending = false;
    negative = false;
  };
  for (; i >= 1; --i) {
    const char c = mask[static_cast<std::size_t>(i - 1)];
    const bool integerSide = i < length - afterPoint;
    switch (c) {
      case '9':
        if (minusPending && integerSide) {
          placeMinus(i);
        } else {
          put(i, '0');
        }
        fill = '\0';
        suppressed = false;
        break;
      case 'Z':
      case 'z':
        if (minusPending) {
          placeMinus(i);
        } else if (integerSide || value == 0.0) {
          put(i, ' ');
          fill = ' ';
          suppressed = true;
        } else {
          put(i, '0');
          fill = ' ';
          suppressed = false;
        }
        break;
      case '*':
        if (minusPending) {
          placeMinus(i);
        } else {
          put(i, integerSide ? '*' : '0');
          fill = '*';
          suppressed = false;
        }
        break;
      case ',':
        if (minusPending) {
          placeMinus(i);
        } else {
          put(i, fill != '\0' ? fill : thousandsChar);
        }
        break;
      case '.':
        put(i, suppressed ? fill : decimalChar);
        break;
      case '-':
        if (!negative) put(i, ' ');
        break;
      case '+':
        put(i, negative ? '-' : '+');
        break;
      default:
        break;
    }
  }
  // A minus with no place left to float into would show a negative value as positive.
  if (minusPending) return PlainForm(length, digits, decimals, true, decimalChar);
  return out;
}

}  // namespace

char DecimalCharacter(Runtime& rt) {
  LoadNumberSettings(rt);
  return rt.locale.decimalChar;
}

char ThousandsCharacter(Runtime& rt) {
  LoadNumberSettings(rt);
  return rt.locale.thousandsChar;
}

std::string FormatNumber(Runtime& rt, std::string_view mask, double value) {
  LoadNumberSettings(rt);
  return FormatWith(mask, value, rt.locale.decimalChar, rt.locale.thousandsChar);
}

std::string PadZeros(double value, std::int16_t width) {
  if (width <= 0) return {};
  const std::size_t w = static_cast<std::size_t>(width);
  char buffer[kMaxDigits];
  std::size_t count = 0;
  double magnitude = std::fabs(value);
  if (!std::isfinite(magnitude)) {
    magnitude = 0.0;  // no digits to show: all zeros
  }
  if (magnitude == std::floor(magnitude)) {
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 0);
    count = static_cast<std::size_t>(result.ptr - buffer);
  } else {
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::general, 15);
    count = static_cast<std::size_t>(result.ptr - buffer);
  }
  if (count >= w) return std::string(buffer + (count - w), w);
  std::string text(w - count, '0');
  text.append(buffer, count);
  return text;
}

}  // namespace zt

#include "locale/calendar_math.h"

#include <algorithm>
#include <cstring>

namespace zt {

namespace {

// Year, month and day of a packed date. Only the first four bytes count, so the numbers stay
// within four, two and two digits whatever the text holds.
struct DateParts {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
};

std::int32_t ByteNumber(char byte) {
  return (static_cast<unsigned char>(byte) & 127) % 100;
}

DateParts SplitDate(std::string_view packed) {
  // The digit text read as one number N: year = N div 10000, month = (N div 100) mod 100,
  // day = N mod 100. Fewer than four bytes shift the digits to the right, as a number does.
  std::int32_t n = 0;
  const std::size_t bytes = std::min<std::size_t>(packed.size(), 4);
  for (std::size_t j = 0; j < bytes; ++j) n = n * 100 + ByteNumber(packed[j]);
  return {n / 10000, (n / 100) % 100, n % 100};
}

// Byte order, with bytes compared as unsigned values.
bool ComesBefore(std::string_view a, std::string_view b) {
  std::size_t common = std::min(a.size(), b.size());
  int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  return order < 0 || (order == 0 && a.size() < b.size());
}

bool IsLeapYear(std::int32_t year) {
  if (year < 1582) return year % 4 == 0;
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Works for any month number (13 or 0 included), as the arithmetic takes dates unchecked.
std::int32_t MonthLength(std::int32_t month, std::int32_t year) {
  std::int32_t days = 30 + ((1 + ((month + 1) % 9)) % 2);
  if (month == 2) days -= IsLeapYear(year) ? 1 : 2;
  return days;
}

std::int32_t DaysBetween(const DateParts& early, const DateParts& late) {
  std::int32_t total = 0;
  for (std::int32_t y = early.year + 1; y < late.year; ++y) total += IsLeapYear(y) ? 366 : 365;
  const std::int32_t lastMonth = early.year == late.year ? late.month - 1 : 12;
  for (std::int32_t m = early.month; m <= lastMonth; ++m) total += MonthLength(m, early.year);
  if (early.year < late.year) {
    for (std::int32_t m = 1; m < late.month; ++m) total += MonthLength(m, late.year);
  }
  return total + late.day - early.day;
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::int32_t PositiveMod7(std::int32_t n) {
  return ((n % 7) + 7) % 7;
}

}  // namespace

std::string UnpackDigits(std::string_view packed) {
  std::string digits;
  digits.reserve(packed.size() * 2);
  for (char byte : packed) {
    std::int32_t n = ByteNumber(byte);
    digits += static_cast<char>('0' + n / 10);
    digits += static_cast<char>('0' + n % 10);
  }
  return digits;
}

std::int32_t DateDiff(std::string_view first, std::string_view second, std::string_view unit) {
  if (unit.size() != 1) return 0;
  const bool swap = ComesBefore(second, first);
  const DateParts early = SplitDate(swap ? second : first);
  const DateParts late = SplitDate(swap ? first : second);
  std::int32_t result = 0;
  switch (Upper(unit[0])) {
    case 'D':
      result = DaysBetween(early, late);
      break;
    case 'M':
      result = (late.year - early.year) * 12 + late.month - early.month;
      break;
    case 'A':
      result = late.year - early.year;
      if (early.month > late.month || (early.month == late.month && early.day > late.day)) {
        --result;
      }
      break;
    default:
      return 0;
  }
  // Only digits that are no real date (a day 99, a month 0) can make the count negative.
  return std::max<std::int32_t>(result, 0);
}

std::int16_t Weekday(std::string_view date) {
  const DateParts parts = SplitDate(date);
  // 1 January of the same year: the century and year bytes, then month 01 and day 01.
  char january[4];
  const std::size_t head = std::min<std::size_t>(date.size(), 2);
  for (std::size_t j = 0; j < head; ++j) january[j] = date[j];
  january[head] = january[head + 1] = static_cast<char>(0x81);
  const std::int32_t s = DateDiff(date, std::string_view(january, head + 2), "D") - 1;
  const std::int32_t p = parts.year - 1;
  static constexpr char kReform[] = "\x8F\xD2\x8A\x85";  // 1582-10-05
  std::int32_t weekday;
  if (ComesBefore(date, std::string_view(kReform, 4))) {
    weekday = PositiveMod7(PositiveMod7(p + p / 4) + 6 + s) + 1;
  } else {
    weekday = PositiveMod7(PositiveMod7(p + p / 4 - p / 100 + p / 400) + 1 + s) + 1;
  }
  return static_cast<std::int16_t>(weekday);
}

}  // namespace zt

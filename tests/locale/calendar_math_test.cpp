#include "locale/calendar_math.h"

#include <gtest/gtest.h>

#include <string>

#include "app/session.h"

namespace zt {
namespace {

std::string Packed(int year, int month, int day) {
  std::string date(4, '\0');
  date[0] = static_cast<char>(128 + year / 100);
  date[1] = static_cast<char>(128 + year % 100);
  date[2] = static_cast<char>(128 + month);
  date[3] = static_cast<char>(128 + day);
  return date;
}

// Days since 1970-01-01 in the proleptic Gregorian calendar (era arithmetic, no tables).
long DaysFromCivil(long y, long m, long d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Julian day number of a date in the Julian calendar.
long JulianDayOfJulianDate(long y, long m, long d) {
  const long a = (14 - m) / 12;
  const long yy = y + 4800 - a;
  const long mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - 32083;
}

bool GregorianLeap(int y) {
  return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}
int DaysInMonth(int y, int m, bool julian) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = julian ? y % 4 == 0 : GregorianLeap(y);
  return m == 2 && leap ? 29 : kDays[m - 1];
}

TEST(UnpackDigits, BytesBecomeTwoDigits) {
  EXPECT_EQ(UnpackDigits(PackDigits("15821005")), "15821005");
  EXPECT_EQ(UnpackDigits(""), "");
  EXPECT_EQ(UnpackDigits(std::string("\x80\xE3\xFF", 3)), "009927");
  // Bytes below 128 give the last two digits of their code.
  EXPECT_EQ(UnpackDigits(std::string("\x00\x05\x41\x7F", 4)), "00056527");
}

TEST(DateDiff, WorkedCases) {
  struct Case {
    std::string first;
    std::string second;
    const char* unit;
    std::int32_t expected;
  };
  const Case cases[] = {
      {Packed(2024, 2, 28), Packed(2024, 3, 1), "D", 2},
      {Packed(2023, 2, 28), Packed(2023, 3, 1), "D", 1},
      {Packed(1900, 2, 28), Packed(1900, 3, 1), "D", 1},
      {Packed(1500, 2, 28), Packed(1500, 3, 1), "D", 2},
      {Packed(1582, 10, 4), Packed(1582, 10, 15), "D", 11},
      {Packed(2023, 12, 31), Packed(2024, 1, 1), "d", 1},
      {Packed(2000, 1, 1), Packed(2024, 1, 1), "D", 8766},
      {Packed(2000, 5, 10), Packed(2024, 5, 9), "A", 23},
      {Packed(2000, 5, 10), Packed(2024, 5, 10), "a", 24},
      {Packed(2000, 5, 10), Packed(2024, 4, 30), "A", 23},
      {Packed(2000, 5, 31), Packed(2024, 6, 1), "M", 289},
      {Packed(2000, 5, 31), Packed(2024, 6, 1), "m", 289},
      {Packed(2000, 5, 31), Packed(2024, 6, 1), "X", 0},
      {Packed(2000, 5, 31), Packed(2024, 6, 1), "", 0},
      {Packed(2000, 5, 31), Packed(2024, 6, 1), "DD", 0},
      // Digits that are no real date go into the arithmetic unchanged.
      {Packed(2024, 13, 1), Packed(2025, 1, 1), "D", 0},  // months 13 and up are never summed
      {Packed(2024, 13, 1), Packed(2024, 13, 5), "D", 4},
      {Packed(2024, 12, 99), Packed(2025, 1, 1), "D", 0},  // would be negative
      {Packed(2024, 99, 1), Packed(2025, 1, 1), "M", 0},
      {"", "", "D", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DateDiff(c.first, c.second, c.unit), c.expected)
        << UnpackDigits(c.first) << " " << UnpackDigits(c.second) << " " << c.unit;
    EXPECT_EQ(DateDiff(c.second, c.first, c.unit), c.expected) << "swapped";
  }
}

TEST(DateDiff, SameDateIsZeroInEveryUnit) {
  for (const char* unit : {"D", "M", "A"}) {
    EXPECT_EQ(DateDiff(Packed(2024, 2, 29), Packed(2024, 2, 29), unit), 0) << unit;
  }
}

TEST(DateDiff, DayCountsMatchCivilArithmetic) {
  // Across the whole Gregorian range, against an independent day count.
  const int years[] = {1583, 1600, 1700, 1899, 1900, 1999, 2000, 2024, 2100, 2400, 9999};
  for (int y1 : years) {
    for (int y2 : years) {
      if (y2 < y1) continue;
      for (int m1 : {1, 2, 3, 12}) {
        for (int m2 : {1, 2, 3, 12}) {
          const long expected = DaysFromCivil(y2, m2, 28) - DaysFromCivil(y1, m1, 1);
          if (expected < 0) continue;
          EXPECT_EQ(DateDiff(Packed(y1, m1, 1), Packed(y2, m2, 28), "D"), expected)
              << y1 << "-" << m1 << " " << y2 << "-" << m2;
        }
      }
    }
  }
}

TEST(Weekday, WorkedChecks) {
  EXPECT_EQ(Weekday(Packed(1582, 10, 4)), 4);
  EXPECT_EQ(Weekday(Packed(1582, 10, 15)), 5);
  EXPECT_EQ(Weekday(Packed(2024, 1, 15)), 1);
  EXPECT_EQ(Weekday(Packed(2001, 1, 1)), 1);
  // Skipped days of the reform are reckoned as Gregorian dates.
  EXPECT_EQ(Weekday(Packed(1582, 10, 5)), 2);  // proleptic Gregorian Tuesday
  EXPECT_EQ(Weekday(Packed(1582, 10, 14)), 4);
}

TEST(Weekday, EqualsIsoWeekdayFrom1583To9999) {
  int mismatches = 0;
  for (int y = 1583; y <= 9999; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1, last = DaysInMonth(y, m, false); d <= last; ++d) {
        // 1970-01-01 was a Thursday (ISO 4).
        const long days = DaysFromCivil(y, m, d);
        const int iso = static_cast<int>(((days % 7 + 7) % 7 + 3) % 7) + 1;
        if (Weekday(Packed(y, m, d)) != iso && ++mismatches <= 5) {
          ADD_FAILURE() << y << "-" << m << "-" << d << " expected " << iso;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Weekday, JulianDatesBeforeTheReform) {
  int mismatches = 0;
  for (int y = 1; y <= 1582; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1, last = DaysInMonth(y, m, true); d <= last; ++d) {
        if (y == 1582 && (m > 10 || (m == 10 && d > 4))) break;
        // Julian day numbers: JD mod 7 is 0 on a Monday.
        const int iso = static_cast<int>(JulianDayOfJulianDate(y, m, d) % 7) + 1;
        if (Weekday(Packed(y, m, d)) != iso && ++mismatches <= 5) {
          ADD_FAILURE() << y << "-" << m << "-" << d << " expected " << iso;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Weekday, OddInputStaysInRange) {
  const std::string odd[] = {"",
                             std::string("\x00\x00\x00\x00", 4),
                             Packed(2024, 13, 1),
                             Packed(2024, 0, 0),
                             Packed(0, 1, 1),
                             std::string("\xFF\xFF"),
                             std::string("\x95\x98\x81\x8F\x99\x99", 6)};
  for (const std::string& date : odd) {
    std::int16_t w = Weekday(date);
    EXPECT_GE(w, 1) << UnpackDigits(date);
    EXPECT_LE(w, 7) << UnpackDigits(date);
  }
  // A month 13 continues the year: 2024-13-01 is 2025-01-01, a Wednesday.
  EXPECT_EQ(Weekday(Packed(2024, 13, 1)), 3);
}

}  // namespace
}  // namespace zt

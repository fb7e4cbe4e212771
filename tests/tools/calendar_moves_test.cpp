#include "tools/calendar_moves.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "tools/popup_fixture.h"

namespace zt {
namespace {

CalendarDate D(int year, int month, int day) {
  return CalendarDate{static_cast<std::int16_t>(year), static_cast<std::int16_t>(month),
                      static_cast<std::int16_t>(day)};
}

std::string Packed(int year, int month, int day) {
  std::string packed;
  for (int n : {year / 100, year % 100, month, day}) packed += static_cast<char>(128 + n);
  return packed;
}

TEST(CalendarMoves, MonthLengthsFollowTheGregorianRule) {
  const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(MonthLength(2023, m), lengths[m - 1]) << m;
  EXPECT_EQ(MonthLength(2024, 2), 29);
  EXPECT_EQ(MonthLength(1900, 2), 28);
  EXPECT_EQ(MonthLength(2000, 2), 29);
  EXPECT_EQ(MonthLength(1500, 2), 28);  // also before the reform
}

TEST(CalendarMoves, StartsAtTheWorkDateOrToday) {
  LocalDate today{2026, 12, 11};
  EXPECT_EQ(StartDate(Packed(2024, 1, 15), today), D(2024, 1, 15));
  EXPECT_EQ(StartDate("", today), D(2026, 12, 11));
  EXPECT_EQ(StartDate(Packed(2024, 13, 1), today), D(2026, 12, 11));
  EXPECT_EQ(StartDate(Packed(2024, 0, 1), today), D(2026, 12, 11));
  EXPECT_EQ(StartDate(Packed(2024, 2, 0), today), D(2026, 12, 11));
  EXPECT_EQ(StartDate(Packed(2023, 2, 29), today), D(2026, 12, 11));
  EXPECT_EQ(StartDate(Packed(0, 5, 5), today), D(2026, 12, 11));
  EXPECT_EQ(StartDate("abc", today), D(2026, 12, 11));
}

TEST(CalendarMoves, CursorMovesNormaliseAcrossMonthsAndYears) {
  struct Case {
    CalendarDate from;
    int days;
    CalendarDate to;
    bool redraw;
  } cases[] = {
      {D(2024, 1, 1), -1, D(2023, 12, 31), true}, {D(2023, 12, 31), 1, D(2024, 1, 1), true},
      {D(2024, 2, 25), 7, D(2024, 3, 3), false},  {D(2024, 3, 3), -7, D(2024, 2, 25), false},
      {D(2023, 2, 25), 7, D(2023, 3, 4), false},  {D(2024, 3, 31), 1, D(2024, 4, 1), true},
      {D(2024, 4, 1), -1, D(2024, 3, 31), true},  {D(2024, 4, 3), -7, D(2024, 3, 27), true},
      {D(2024, 6, 28), 7, D(2024, 7, 5), true},   {D(2024, 5, 15), 1, D(2024, 5, 16), false},
      {D(2024, 5, 1), -1, D(2024, 4, 30), false}, {D(2024, 12, 28), 7, D(2025, 1, 4), true},
      {D(2024, 1, 3), -7, D(2023, 12, 27), true},
  };
  for (const Case& c : cases) {
    CalendarDate date = c.from;
    EXPECT_EQ(MoveDays(date, c.days, QuarterFirstMonth(c.from.month)), c.redraw)
        << c.from.year << "-" << c.from.month << "-" << c.from.day << " " << c.days;
    EXPECT_EQ(date, c.to) << c.from.year << "-" << c.from.month << "-" << c.from.day;
  }
}

TEST(CalendarMoves, MovesStopAtTheEdgesOfTheYearRange) {
  CalendarDate date = D(1, 1, 1);
  EXPECT_FALSE(MoveDays(date, -1, 1));
  EXPECT_EQ(date, D(1, 1, 1));
  date = D(9999, 12, 31);
  EXPECT_FALSE(MoveDays(date, 7, 10));
  EXPECT_EQ(date, D(9999, 12, 31));
  date = D(9999, 11, 5);
  EXPECT_FALSE(JumpQuarter(date, 3));
  EXPECT_EQ(date, D(9999, 11, 5));
}

TEST(CalendarMoves, QuarterJumpsClampTheDay) {
  struct Case {
    CalendarDate from;
    int months;
    CalendarDate to;
  } cases[] = {
      {D(2023, 11, 30), 3, D(2024, 2, 29)}, {D(2024, 11, 30), 3, D(2025, 2, 28)},
      {D(2024, 5, 31), -3, D(2024, 2, 29)}, {D(2024, 2, 15), -3, D(2023, 11, 15)},
      {D(2024, 8, 31), 3, D(2024, 11, 30)}, {D(2024, 10, 31), 3, D(2025, 1, 31)},
  };
  for (const Case& c : cases) {
    CalendarDate date = c.from;
    EXPECT_TRUE(JumpQuarter(date, c.months));
    EXPECT_EQ(date, c.to) << c.from.year << "-" << c.from.month << "-" << c.from.day;
  }
}

TEST(CalendarMoves, HomeAndEndKeepTheDay) {
  CalendarDate date = D(2024, 10, 31);
  EXPECT_TRUE(JumpToMonth(date, 1, 10));
  EXPECT_EQ(date, D(2024, 1, 31));
  date = D(2024, 2, 20);
  EXPECT_FALSE(JumpToMonth(date, 1, 1));
  EXPECT_EQ(date, D(2024, 1, 20));
  EXPECT_TRUE(JumpToMonth(date, 12, 1));
  EXPECT_EQ(date, D(2024, 12, 20));
  date = D(2024, 11, 30);
  EXPECT_FALSE(JumpToMonth(date, 12, 10));
  EXPECT_EQ(date, D(2024, 12, 30));
}

TEST(CalendarMoves, WeekdayHeaderPerLanguage) {
  EXPECT_EQ(WeekdayHeader("SPA"), " L  M  X  J  V  S  D");
  EXPECT_EQ(WeekdayHeader("GLG"), " L  M  X  J  V  S  D");
  EXPECT_EQ(WeekdayHeader("OCI"), "DL DT DC DJ DD DS DG");
  EXPECT_EQ(WeekdayHeader("CAT"), "DL DT DC DJ DV DS DG");
  EXPECT_EQ(WeekdayHeader("EN "), "DL DT DC DJ DV DS DG");
  EXPECT_EQ(WeekdayHeader(""), "DL DT DC DJ DV DS DG");
}

TEST(CalendarMoves, GridMatchesAnIndependentMonthLayout) {
  using namespace std::chrono;
  const std::pair<int, int> months[] = {{2024, 1}, {2024, 2},  {2023, 2}, {2024, 9},  {2021, 2},
                                        {2015, 2}, {2000, 2},  {1900, 2}, {2026, 12}, {1999, 8},
                                        {2010, 5}, {2032, 10}, {1600, 3}, {2024, 6}};
  for (auto [year, month] : months) {
    MonthWeekdays weekdays{};
    for (int d = 1; d <= 31; ++d) {
      // Days past the month's end run on into the next month.
      sys_days day =
          sys_days{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} / 1} +
          days{d - 1};
      weekdays[d - 1] = static_cast<std::int16_t>(weekday{day}.iso_encoding());
    }
    int titleRow = 9;
    std::vector<GridCell> cells = MonthGrid(titleRow, weekdays, MonthLength(year, month));
    ASSERT_EQ(cells.size(), 42u) << year << "-" << month;
    std::vector<std::string> rows(6, std::string(20, ' '));
    std::map<std::pair<int, int>, int> painted;
    for (const GridCell& cell : cells) {
      ASSERT_GE(cell.row, titleRow + 1);
      ASSERT_LE(cell.row, titleRow + 6);
      ASSERT_GE(cell.column, 1);
      ASSERT_LE(cell.column, 19);
      rows[cell.row - titleRow - 1].replace(cell.column - 1, 2, cell.text);
      ++painted[{cell.row, cell.column}];
    }
    EXPECT_EQ(painted.size(), 42u) << "every cell painted once: " << year << "-" << month;
    EXPECT_EQ(rows, test::ReferenceMonthRows(year, month)) << year << "-" << month;
  }
}

TEST(CalendarMoves, TitleRowsOfTheQuarter) {
  EXPECT_EQ(MonthTitleRow(4, 4), 2);
  EXPECT_EQ(MonthTitleRow(5, 4), 9);
  EXPECT_EQ(MonthTitleRow(6, 4), 16);
}

}  // namespace
}  // namespace zt

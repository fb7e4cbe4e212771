#pragma once
// The calendar pop-up's date arithmetic, apart from the screen: the cursor date, its moves
// across months, quarters and years, and where each day sits in a month's grid.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace zt {

struct CalendarDate {
  std::int16_t year = 0;
  std::int16_t month = 0;
  std::int16_t day = 0;
  bool operator==(const CalendarDate&) const = default;
};

// Gregorian rule for every year.
bool IsLeapYear(int year);
// Days of month 1-12 of year.
std::int16_t MonthLength(int year, int month);
// First month of the quarter holding month: 1, 4, 7 or 10.
std::int16_t QuarterFirstMonth(int month);

// The cursor's starting date: the packed work date (century, year, month, day bytes), or
// today when the work date is empty or not a valid date of the years 1 to 9999.
CalendarDate StartDate(std::string_view packedWorkDate, const LocalDate& today);

// A move of the cursor by days (-7, -1, 1, 7) while the quarter starting at shownFirst is
// on screen. Returns true when the cursor left that quarter (the screen must be redrawn).
// A move that would leave the years 1 to 9999 is refused and changes nothing.
bool MoveDays(CalendarDate& date, int days, int shownFirst);
// PgDn/PgUp: months +3 or -3, the day clamped to the new month's length. Returns true
// (redraw) unless the move was refused for leaving the years 1 to 9999.
bool JumpQuarter(CalendarDate& date, int months);
// Home/End: month 1 or 12, the day kept. True when the month is outside the shown quarter.
bool JumpToMonth(CalendarDate& date, int month, int shownFirst);

// One two-character cell of a month's six week rows, in window coordinates.
struct GridCell {
  std::int16_t row = 0;
  std::int16_t column = 0;
  std::string text;  // the day right-aligned in two characters, or two blanks
  bool operator==(const GridCell&) const = default;
};

// Weekday (1 Monday .. 7 Sunday) of days 1 to 31 of one month.
using MonthWeekdays = std::array<std::int16_t, 31>;

// Window row and column of day d of a month whose title is on titleRow.
GridCell DayCell(int titleRow, const MonthWeekdays& weekdays, int day);
// All 42 cells of a month under titleRow, in drawing order: the blanks before day 1, the
// days, the blanks after the last day.
std::vector<GridCell> MonthGrid(int titleRow, const MonthWeekdays& weekdays, int length);

// Title row of the shown quarter's month m (2, 9 or 16).
std::int16_t MonthTitleRow(int month, int shownFirst);

// The packed date (four bytes, each 128 + century, year, month, day) of a calendar date.
std::string PackedCalendarDate(const CalendarDate& date);
std::string PackedCalendarDate(int year, int month, int day);

// Weekday initials for the session language (its first three characters).
std::string WeekdayHeader(std::string_view language);

}  // namespace zt

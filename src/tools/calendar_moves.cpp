#include "tools/calendar_moves.h"

namespace zt {

namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

bool YearInRange(int year) {
  return year >= kFirstYear && year <= kLastYear;
}

std::string TwoDigits(int day) {
  std::string text = std::to_string(day);
  return text.size() < 2 ? " " + text : text;
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

std::int16_t MonthLength(int year, int month) {
  int length = 30 + ((1 + ((month + 1) % 9)) % 2);
  if (month == 2) length -= IsLeapYear(year) ? 1 : 2;
  return static_cast<std::int16_t>(length);
}

std::int16_t QuarterFirstMonth(int month) {
  return static_cast<std::int16_t>(((month - 1) / 3) * 3 + 1);
}

CalendarDate StartDate(std::string_view packedWorkDate, const LocalDate& today) {
  if (packedWorkDate.size() == 4) {
    auto number = [&](std::size_t i) {
      return (static_cast<unsigned char>(packedWorkDate[i]) & 127) % 100;
    };
    int year = number(0) * 100 + number(1);
    int month = number(2);
    int day = number(3);
    if (YearInRange(year) && month >= 1 && month <= 12 && day >= 1 &&
        day <= MonthLength(year, month)) {
      return CalendarDate{static_cast<std::int16_t>(year), static_cast<std::int16_t>(month),
                          static_cast<std::int16_t>(day)};
    }
  }
  return CalendarDate{static_cast<std::int16_t>(today.year), static_cast<std::int16_t>(today.month),
                      static_cast<std::int16_t>(today.day)};
}

bool MoveDays(CalendarDate& date, int days, int shownFirst) {
  int year = date.year;
  int month = date.month;
  int day = date.day + days;
  bool redraw = false;
  if (day < 1) --month;
  if (month < shownFirst) {
    if (month < 1) {
      month += 12;
      --year;
    }
    redraw = true;
  }
  if (day < 1) day += MonthLength(year, month);
  if (day > MonthLength(year, month)) {
    day -= MonthLength(year, month);
    ++month;
  }
  if (month > shownFirst + 2) {
    if (month > 12) {
      month -= 12;
      ++year;
    }
    redraw = true;
  }
  if (!YearInRange(year)) return false;
  date = CalendarDate{static_cast<std::int16_t>(year), static_cast<std::int16_t>(month),
                      static_cast<std::int16_t>(day)};
  return redraw;
}

bool JumpQuarter(CalendarDate& date, int months) {
  int year = date.year;
  int month = date.month + months;
  if (month < 1) {
    month += 12;
    --year;
  } else if (month > 12) {
    month -= 12;
    ++year;
  }
  if (!YearInRange(year)) return false;
  int day = date.day;
  if (day > MonthLength(year, month)) day = MonthLength(year, month);
  date = CalendarDate{static_cast<std::int16_t>(year), static_cast<std::int16_t>(month),
                      static_cast<std::int16_t>(day)};
  return true;
}

bool JumpToMonth(CalendarDate& date, int month, int shownFirst) {
  date.month = static_cast<std::int16_t>(month);
  return month < shownFirst || month > shownFirst + 2;
}

GridCell DayCell(int titleRow, const MonthWeekdays& weekdays, int day) {
  int first = weekdays[0];
  return GridCell{static_cast<std::int16_t>(titleRow + 1 + (first + day - 2) / 7),
                  static_cast<std::int16_t>(3 * weekdays[day - 1] - 2), TwoDigits(day)};
}

std::vector<GridCell> MonthGrid(int titleRow, const MonthWeekdays& weekdays, int length) {
  std::vector<GridCell> cells;
  int first = weekdays[0];
  auto row = [&](int d) { return static_cast<std::int16_t>(titleRow + 1 + (first + d - 2) / 7); };
  for (int d = 2 - first; d <= 0; ++d) {
    cells.push_back(GridCell{static_cast<std::int16_t>(titleRow + 1),
                             static_cast<std::int16_t>(3 * (first + d - 1) - 2), "  "});
  }
  for (int d = 1; d <= length; ++d) cells.push_back(DayCell(titleRow, weekdays, d));
  for (int d = length + 1; d <= 43 - first; ++d) {
    cells.push_back(
        GridCell{row(d), static_cast<std::int16_t>(3 * (((first + d - 2) % 7) + 1) - 2), "  "});
  }
  return cells;
}

std::int16_t MonthTitleRow(int month, int shownFirst) {
  return static_cast<std::int16_t>(2 + 7 * (month - shownFirst));
}

std::string PackedCalendarDate(int year, int month, int day) {
  std::string packed;
  for (int number : {year / 100 % 100, year % 100, month % 100, day % 100}) {
    packed += static_cast<char>(128 + number);
  }
  return packed;
}

std::string PackedCalendarDate(const CalendarDate& date) {
  return PackedCalendarDate(date.year, date.month, date.day);
}

std::string WeekdayHeader(std::string_view language) {
  std::string_view code = language.substr(0, 3);
  if (code == "SPA" || code == "GLG") return " L  M  X  J  V  S  D";
  if (code == "OCI") return "DL DT DC DJ DD DS DG";
  return "DL DT DC DJ DV DS DG";
}

}  // namespace zt

#include "tools/calendar.h"

#include <array>
#include <string>

#include "locale/calendar_math.h"
#include "locale/date_format.h"
#include "locale/folding.h"
#include "platform/clock.h"
#include "platform/keycodes.h"
#include "screen/key_input.h"
#include "screen/styles.h"
#include "screen/windows.h"
#include "tools/calendar_moves.h"

namespace zt {

namespace {

// What is on screen: the cursor date and the quarter drawn at the last redraw, with the
// weekdays of the shown year.
struct CalendarView {
  CalendarDate cursor;
  std::int16_t shownFirst = 1;
  std::array<MonthWeekdays, 12> weekdays{};
};

void WriteInWindow(Runtime& rt, int row, int column, const std::string& text) {
  LocateInWindow(rt, static_cast<std::int16_t>(row), static_cast<std::int16_t>(column));
  rt.console.Write(text);
}

std::string YearText(int year) {
  std::string digits = std::to_string(year);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), ' ');
  return " " + digits + " ";
}

void BuildWeekdays(CalendarView& view) {
  for (int m = 1; m <= 12; ++m) {
    for (int d = 1; d <= 31; ++d) {
      std::int16_t weekday = Weekday(PackedCalendarDate(view.cursor.year, m, d));
      // Keeps a cell inside the grid whatever the arithmetic gives.
      view.weekdays[m - 1][d - 1] = weekday >= 1 && weekday <= 7 ? weekday : std::int16_t{1};
    }
  }
}

GridCell CursorCell(const CalendarView& view) {
  return DayCell(MonthTitleRow(view.cursor.month, view.shownFirst),
                 view.weekdays[view.cursor.month - 1], view.cursor.day);
}

void Draw(Runtime& rt, CalendarView& view) {
  int firstColumn = WindowFirstColumn(rt);
  int lastColumn = WindowLastColumn(rt);
  SetStyle(rt, "n");
  WriteInWindow(rt, 0, (lastColumn - firstColumn - 5) / 2 + 1, YearText(view.cursor.year));
  WriteInWindow(rt, 1, 1, WeekdayHeader(rt.session.Language));
  BuildWeekdays(view);
  view.shownFirst = QuarterFirstMonth(view.cursor.month);
  for (int m = view.shownFirst; m <= view.shownFirst + 2; ++m) {
    int titleRow = MonthTitleRow(m, view.shownFirst);
    SetStyle(rt, "n");
    WriteInWindow(rt, titleRow, 1, std::string(lastColumn - firstColumn + 1, ' '));
    std::string name =
        FoldText(FormatDate(rt, PackedCalendarDate(view.cursor.year, m, 1), 2, "m"), false);
    int length = static_cast<int>(name.size());
    WriteInWindow(rt, titleRow, ((lastColumn - firstColumn) - length + 1) / 2 + 1, name);
    SetStyle(rt, "h");
    for (const GridCell& cell :
         MonthGrid(titleRow, view.weekdays[m - 1], MonthLength(view.cursor.year, m))) {
      WriteInWindow(rt, cell.row, cell.column, cell.text);
    }
  }
}

void WriteCursorDay(Runtime& rt, const CalendarView& view) {
  GridCell cell = CursorCell(view);
  WriteInWindow(rt, cell.row, cell.column, cell.text);
}

}  // namespace

std::string RunCalendar(Runtime& rt) {
  SetKeySet(rt, "+ea", "4d00,4b00,5000,4800,5100,4900,4700,4f00,2100,1b");
  SetStyle(rt, "+n");
  bool cursorWasVisible = rt.console.CursorVisible();
  rt.console.SetCursorVisible(false);
  OpenWindow(rt, 1, 59, 24, 80);
  DrawFrame(rt, kFrameSingle);

  CalendarView view;
  view.cursor = StartDate(rt.session.WorkDate, Today());
  Draw(rt, view);

  std::string result;
  while (true) {
    SetStyle(rt, "+u");
    WriteCursorDay(rt, view);
    std::int16_t key = 0;
    WaitKey(rt, key);
    SetStyle(rt, "-");
    WriteCursorDay(rt, view);

    bool redraw = false;
    bool accepted = false;
    switch (key) {
      case keys::kRight:
        redraw = MoveDays(view.cursor, 1, view.shownFirst);
        break;
      case keys::kLeft:
        redraw = MoveDays(view.cursor, -1, view.shownFirst);
        break;
      case keys::kDown:
        redraw = MoveDays(view.cursor, 7, view.shownFirst);
        break;
      case keys::kUp:
        redraw = MoveDays(view.cursor, -7, view.shownFirst);
        break;
      case keys::kPgDn:
        redraw = JumpQuarter(view.cursor, 3);
        break;
      case keys::kPgUp:
        redraw = JumpQuarter(view.cursor, -3);
        break;
      case keys::kHome:
        redraw = JumpToMonth(view.cursor, 1, view.shownFirst);
        break;
      case keys::kEnd:
        redraw = JumpToMonth(view.cursor, 12, view.shownFirst);
        break;
      case 'F':
      case 'f':
      case keys::kAltF:
        result = FormatDate(rt, PackedCalendarDate(view.cursor), 0, "dma");
        accepted = true;
        break;
      default:
        break;
    }
    if (accepted || key == keys::kEsc) break;
    if (redraw) Draw(rt, view);
  }

  CloseWindow(rt);
  rt.console.SetCursorVisible(cursorWasVisible);
  SetStyle(rt, "-");
  SetKeySet(rt, "-", "");
  return result;
}

}  // namespace zt

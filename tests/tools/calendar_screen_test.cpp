#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/keycodes.h"
#include "screen/key_input.h"
#include "tools/calendar.h"
#include "tools/calendar_moves.h"
#include "tools/popup_fixture.h"

namespace zt {
namespace {

// Screen position of a window position of the calendar (rows 1-24, columns 59-80).
constexpr int kTop = 1;
constexpr int kLeft = 59;

struct KeyPress {
  std::int16_t key;
  std::uint8_t modifiers = 0;
};

class CalendarScreen : public ::testing::Test, public test::PopupFixture {
 protected:
  // Runs the calendar at the work date with keys and checks that everything comes back.
  std::string Run(int year, int month, int day, std::initializer_list<KeyPress> keysPressed) {
    rt.session.WorkDate = PackedCalendarDate(year, month, day);
    return RunAtWorkDate(keysPressed);
  }

  std::string RunAtWorkDate(std::initializer_list<KeyPress> keysPressed) {
    PrepareCaller();
    test::Screen before = console.Grab();
    test::CallerState caller = Caller();
    for (const KeyPress& press : keysPressed) console.PushKey(press.key, press.modifiers);
    std::string result = RunCalendar(rt);
    EXPECT_EQ(console.ExhaustedWaits(), 0);
    EXPECT_EQ(console.Grab(), before) << "screen under the calendar";
    EXPECT_EQ(Caller(), caller) << "caller's style, window, key set or cursor";
    return result;
  }

  // Inside row of the window (20 columns) as shown in a snapshot.
  static std::string Inside(const test::Screen& shown, int windowRow) {
    return test::RowText(shown, kTop + windowRow, kLeft + 1, 20);
  }
  static std::string Centred(const std::string& title) {
    std::string row(20, ' ');
    row.replace((19 - title.size() + 1) / 2, title.size(), title);
    return row;
  }
  // The three months of the quarter on screen compared with an independent layout.
  static void ExpectQuarter(const test::Screen& shown, int year, int firstMonth) {
    for (int i = 0; i < 3; ++i) {
      std::vector<std::string> reference = test::ReferenceMonthRows(year, firstMonth + i);
      for (int week = 0; week < 6; ++week) {
        EXPECT_EQ(Inside(shown, 3 + 7 * i + week), reference[week])
            << year << "-" << firstMonth + i << " week " << week + 1;
      }
    }
  }
};

TEST_F(CalendarScreen, QuarterAtTheWorkDate) {
  console.SnapshotOnKey('f');
  EXPECT_EQ(Run(2024, 1, 15, {{'f'}}), "15/1/2024 ");
  const test::Screen& shown = console.Snapshots()[0];
  EXPECT_FALSE(console.SnapshotCursorVisible()[0]);
  EXPECT_EQ(test::RowText(shown, 1, 59, 22),
            "\xDA" + std::string(7, '\xC4') + " 2024 " + std::string(7, '\xC4') + "\xBF");
  EXPECT_EQ(Inside(shown, 1), "DL DT DC DJ DV DS DG");
  EXPECT_EQ(Inside(shown, 2), Centred("GENER"));
  EXPECT_EQ(Inside(shown, 9), Centred("FEBRER"));
  EXPECT_EQ(Inside(shown, 16), Centred("MAR\x80"));
  EXPECT_EQ(test::RowText(shown, 24, 59, 22), "\xC0" + std::string(20, '\xC4') + "\xD9");
  ExpectQuarter(shown, 2024, 1);
  // 15 January 2024 is a Monday in the third week: the cursor's cell is underlined.
  EXPECT_EQ(test::RowText(shown, kTop + 5, kLeft + 1, 2), "15");
  EXPECT_EQ(test::AttrAt(shown, kTop + 5, kLeft + 1), 0x70);
  EXPECT_EQ(test::AttrAt(shown, kTop + 5, kLeft + 4), 0x0F) << "other days highlighted";
  EXPECT_EQ(test::AttrAt(shown, kTop + 2, kLeft + 8), 0x07) << "titles in the normal style";
  // The screen left of the window is the caller's.
  test::PopupFixture fresh;
  fresh.PrepareCaller();
  EXPECT_EQ(test::RowText(shown, 10, 1, 58), test::RowText(fresh.console.Grab(), 10, 1, 58));
}

TEST_F(CalendarScreen, GridMatchesAnIndependentLayoutAcrossYears) {
  const std::pair<int, int> quarters[] = {{1600, 1},  {1900, 1}, {1999, 10}, {2000, 1},
                                          {2023, 10}, {2024, 4}, {2025, 7},  {2100, 1},
                                          {2026, 10}, {2032, 4}, {1970, 1},  {2400, 1}};
  for (auto [year, month] : quarters) {
    test::PopupFixture fixture;
    fixture.console.SnapshotOnKey(keys::kEsc);
    fixture.rt.session.WorkDate = PackedCalendarDate(year, month + 1, 1);
    fixture.console.PushKey(keys::kEsc);
    EXPECT_EQ(RunCalendar(fixture.rt), "");
    ASSERT_EQ(fixture.console.Snapshots().size(), 1u);
    ExpectQuarter(fixture.console.Snapshots()[0], year, month);
  }
}

TEST_F(CalendarScreen, MovesAndAccept) {
  struct Case {
    int year, month, day;
    std::vector<KeyPress> keysPressed;
    const char* result;
  } cases[] = {
      {2024, 1, 1, {{keys::kLeft}, {'f'}}, "31/12/2023"},
      {2023, 12, 31, {{keys::kRight}, {'F'}}, "1/1/2024  "},
      {2024, 2, 25, {{keys::kDown}, {'f'}}, "3/3/2024  "},
      {2024, 3, 3, {{keys::kUp}, {'f'}}, "25/2/2024 "},
      {2023, 11, 30, {{keys::kPgDn}, {'f'}}, "29/2/2024 "},
      {2024, 11, 30, {{keys::kPgDn}, {'f'}}, "28/2/2025 "},
      {2024, 5, 31, {{keys::kPgUp}, {'f'}}, "29/2/2024 "},
      {2024, 10, 31, {{keys::kHome}, {'f'}}, "31/1/2024 "},
      {2024, 2, 15, {{keys::kEnd}, {'f'}}, "15/12/2024"},
      {2024, 1, 15, {{keys::kAltF, kModAlt}}, "15/1/2024 "},
      {2024, 1, 15, {{'x'}, {keys::kEnter}, {keys::kDelete}, {'f'}}, "15/1/2024 "},
      {2024, 1, 15, {{keys::kRight}, {keys::kEsc}}, ""},
  };
  for (const Case& c : cases) {
    test::PopupFixture fixture;
    fixture.rt.session.WorkDate = PackedCalendarDate(c.year, c.month, c.day);
    for (const KeyPress& press : c.keysPressed) fixture.console.PushKey(press.key, press.modifiers);
    EXPECT_EQ(RunCalendar(fixture.rt), c.result) << c.year << "-" << c.month << "-" << c.day;
    EXPECT_EQ(fixture.console.ExhaustedWaits(), 0);
  }
}

TEST_F(CalendarScreen, LeftOnNewYearsDayShowsTheLastQuarterBefore) {
  console.SnapshotOnKey('f');
  EXPECT_EQ(Run(2024, 1, 1, {{keys::kLeft}, {'f'}}), "31/12/2023");
  const test::Screen& shown = console.Snapshots()[0];
  EXPECT_EQ(test::RowText(shown, 1, 67, 6), " 2023 ");
  EXPECT_EQ(Inside(shown, 2), Centred("OCTUBRE"));
  EXPECT_EQ(Inside(shown, 16), Centred("DESEMBRE"));
  ExpectQuarter(shown, 2023, 10);
  // Sunday 31 December 2023, in the fifth week of December.
  EXPECT_EQ(test::RowText(shown, kTop + 21, kLeft + 19, 2), "31");
  EXPECT_EQ(test::AttrAt(shown, kTop + 21, kLeft + 19), 0x70);
  // The first of January is no longer on screen, so nothing else is underlined.
  int underlined = 0;
  for (const Cell& cell : shown) underlined += cell.attr == 0x70 ? 1 : 0;
  EXPECT_EQ(underlined, 2);
}

TEST_F(CalendarScreen, HeadersAndTitlesFollowTheLanguage) {
  struct Case {
    const char* language;
    const char* header;
    const char* firstMonth;
  } cases[] = {
      {"OCI", "DL DT DC DJ DD DS DG", "G\xD4R"},
      {"SPA", " L  M  X  J  V  S  D", "ENERO"},
      {"GLG", " L  M  X  J  V  S  D", "JANEIRO"},
      {"CAT", "DL DT DC DJ DV DS DG", "GENER"},
  };
  for (const Case& c : cases) {
    test::PopupFixture fixture;
    fixture.rt.session.Language = c.language;
    fixture.rt.session.WorkDate = PackedCalendarDate(2024, 1, 15);
    fixture.console.SnapshotOnKey(keys::kEsc);
    fixture.console.PushKey(keys::kEsc);
    RunCalendar(fixture.rt);
    const test::Screen& shown = fixture.console.Snapshots()[0];
    EXPECT_EQ(Inside(shown, 1), c.header) << c.language;
    EXPECT_EQ(Inside(shown, 2), Centred(c.firstMonth)) << c.language;
  }
}

TEST_F(CalendarScreen, MissingOrInvalidWorkDateOpensAtToday) {
  LocalDate today = Today();
  std::string expected = std::to_string(today.day) + "/" + std::to_string(today.month) + "/" +
                         std::to_string(today.year);
  expected.resize(10, ' ');
  rt.session.WorkDate = "";
  EXPECT_EQ(RunAtWorkDate({{'f'}}), expected);
  rt.session.WorkDate = PackedCalendarDate(2024, 13, 1);
  EXPECT_EQ(RunAtWorkDate({{'f'}}), expected);
  rt.session.WorkDate = PackedCalendarDate(2024, 4, 31);
  EXPECT_EQ(RunAtWorkDate({{'f'}}), expected);
}

TEST_F(CalendarScreen, RestoresTheCallerAfterRedraws) {
  EXPECT_EQ(
      Run(2024, 1, 1, {{keys::kPgDn}, {keys::kPgDn}, {keys::kLeft}, {keys::kHome}, {keys::kEsc}}),
      "");
}

TEST_F(CalendarScreen, HotKeyTypesTheDateIntoTheCaller) {
  rt.screen.runCalendar = RunCalendar;
  rt.session.WorkDate = PackedCalendarDate(2024, 1, 15);
  PrepareCaller();
  console.PushKey(keys::kAltC, kModAlt);
  console.PushKey(keys::kRight);
  console.PushKey('f');
  std::int16_t key = 0;
  WaitKey(rt, key);
  EXPECT_EQ(key, keys::kAltC);
  std::string received;
  for (int i = 0; i < 10; ++i) {
    WaitKey(rt, key);
    received += static_cast<char>(key);
  }
  EXPECT_EQ(received, "16/1/2024 ");
  EXPECT_TRUE(rt.screen.pendingKeys.empty());
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

}  // namespace
}  // namespace zt

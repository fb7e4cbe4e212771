#include "screen/help.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "platform/keycodes.h"
#include "screen/styles.h"
#include "screen/windows.h"
#include "screen_fixture.h"

namespace zt {
namespace {

// Notes which help records the viewer's page shows each time it reads a key.
class RecordingConsole : public MemoryConsole {
 public:
  bool PollEvent(InputEvent& event) override {
    if (PendingEvents() > 0) {
      pages.push_back(PageRecords());
      depths.push_back(depth ? *depth : 0);
      if (onKey) onKey();
    }
    return MemoryConsole::PollEvent(event);
  }

  // Record number shown on each page line (screen rows 5-21, from column 3), 0 for blank.
  std::vector<int> PageRecords() const {
    std::vector<int> records;
    for (int row = 5; row <= 21; ++row) {
      int number = 0;
      std::sscanf(RowText(row).substr(2, 10).c_str(), "LINE %d", &number);
      records.push_back(number);
    }
    return records;
  }

  std::vector<std::vector<int>> pages;
  std::vector<int> depths;
  const std::int16_t* depth = nullptr;
  std::function<void()> onKey;
};

std::vector<int> Range(int first, int last) {
  std::vector<int> out;
  for (int i = first; i <= last; ++i) out.push_back(i);
  while (out.size() < 17) out.push_back(0);
  return out;
}

std::string HelpFile(int lines, const char* prefix = "LINE ") {
  std::string file;
  for (int i = 1; i <= lines; ++i) {
    std::string record = prefix + std::to_string(i);
    record.resize(80, ' ');
    file += record;
  }
  return file;
}

class HelpTest : public ::testing::Test {
 protected:
  HelpTest() {
    rt.session.TempDir = dir.Path();
    rt.session.RootDir = dir.Path();
    rt.session.Platform = "DOS";
    rt.session.Colours = {{{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}};
    console.depth = &rt.screen.windowDepth;
  }

  // Runs the viewer over keys (Esc is added) and returns the page seen before each key.
  std::vector<std::vector<int>> Browse(std::string_view name,
                                       std::initializer_list<std::int16_t> keys) {
    for (std::int16_t key : keys) console.PushKey(key);
    console.PushKey(keys::kEsc);
    ShowHelp(rt, name);
    EXPECT_EQ(console.ExhaustedWaits(), 0);
    return console.pages;
  }

  test::TempDir dir;
  RecordingConsole console;
  MapEnvironment env;
  Runtime rt{console, env};
};

TEST_F(HelpTest, PagesThroughAFortyLineFile) {
  dir.Write("ajuda/alta.hlp", HelpFile(40));
  auto pages =
      Browse("ALTA", {keys::kEnd, keys::kHome, keys::kPgDn, keys::kPgDn, keys::kDown, keys::kPgUp,
                      keys::kPgUp, keys::kPgUp, keys::kUp, keys::kDown, keys::kUp});
  std::vector<std::vector<int>> expected = {
      Range(1, 17),   // first page
      Range(24, 40),  // End
      Range(1, 17),   // Home
      Range(18, 34),  // PgDn
      Range(24, 40),  // PgDn
      Range(24, 40),  // Down on the last line does nothing
      Range(8, 24),   // PgUp goes back one line less than a page
      Range(1, 17),   // PgUp
      Range(1, 17),   // PgUp at the top does nothing
      Range(1, 17),   // Up at the top does nothing
      Range(2, 18),   // Down
      Range(1, 17),   // Up
  };
  EXPECT_EQ(pages, expected);
}

TEST_F(HelpTest, CombinationsAreNotNavigationKeys) {
  dir.Write("AJUDA/ALTA.HLP", HelpFile(40));
  console.PushKey(keys::kPgDn, kModCtrl);
  console.PushKey(keys::kEnd, kModShift);
  console.PushKey(keys::kF1, kModAlt);
  console.PushKey(keys::kDown);
  auto pages = Browse("ALTA", {});
  ASSERT_EQ(pages.size(), 5u);
  EXPECT_EQ(pages[3], Range(1, 17));
  EXPECT_EQ(console.depths[3], 1);
  EXPECT_EQ(pages[4], Range(2, 18));
}

TEST_F(HelpTest, PageUpFromTheSecondPage) {
  dir.Write("AJUDA/ALTA.HLP", HelpFile(40));
  auto pages = Browse("ALTA", {keys::kPgDn, keys::kPgUp, keys::kPgUp});
  EXPECT_EQ(pages[2], Range(2, 18));
  EXPECT_EQ(pages[3], Range(1, 17));
}

TEST_F(HelpTest, ShortOrMissingFileIgnoresNavigation) {
  dir.Write("AJUDA/CURT.HLP", HelpFile(5));
  auto pages = Browse("CURT", {keys::kPgDn, keys::kEnd, keys::kDown});
  for (const auto& page : pages) EXPECT_EQ(page, Range(1, 5));
  console.pages.clear();
  pages = Browse("NOHIHA", {keys::kPgDn, keys::kDown});
  for (const auto& page : pages) EXPECT_EQ(page, Range(1, 0));
}

TEST_F(HelpTest, ViewerRestoresTheScreenAndTheStyle) {
  dir.Write("AJUDA/ALTA.HLP", HelpFile(40));
  console.WriteCell(10, 10, Cell{'Q', 0x1E});
  console.SetCursor(23, 4);
  SetStyle(rt, "u");
  std::vector<Cell> before;
  for (int row = 1; row <= 25; ++row) {
    for (int column = 1; column <= 80; ++column) before.push_back(console.ReadCell(row, column));
  }
  Browse("ALTA", {keys::kPgDn, keys::kUp});
  EXPECT_EQ(console.depths.front(), 1);
  std::vector<Cell> after;
  for (int row = 1; row <= 25; ++row) {
    for (int column = 1; column <= 80; ++column) after.push_back(console.ReadCell(row, column));
  }
  EXPECT_EQ(after, before);
  EXPECT_EQ(console.CursorRow(), 23);
  EXPECT_EQ(rt.screen.currentStyle, 4);
  EXPECT_TRUE(rt.screen.styleStack.empty());
  EXPECT_EQ(rt.screen.windowDepth, 0);
}

TEST_F(HelpTest, WindowFrameAndMarkers) {
  std::string record =
      "ab \x1E"
      "word\x1E \x1F"
      "und\x1F \x10"
      "rev\x10 \x1F\x1E"
      "u\x1F";
  record.resize(80, ' ');
  dir.Write("AJUDA/MARK.HLP", record + std::string(80, 'W'));
  std::vector<std::string> rows;
  std::vector<Cell> line1;
  console.onKey = [&]() {
    for (int row = 1; row <= 25; ++row) rows.push_back(console.RowText(row));
    for (int column = 1; column <= 80; ++column) line1.push_back(console.ReadCell(5, column));
  };
  Browse("MARK", {});
  ASSERT_EQ(rows.size(), 25u);
  EXPECT_EQ(rows[3], "\xC9" + std::string(78, '\xCD') + "\xBB");
  EXPECT_EQ(rows[21], "\xC8" + std::string(78, '\xCD') + "\xBC");
  EXPECT_EQ(rows[4].substr(0, 22), "\xBA ab word und rev u   ");
  // A record without markers shows its first 76 characters only.
  EXPECT_EQ(rows[5], "\xBA " + std::string(76, 'W') + " \xBA");
  const Attribute normal = 0x07, high = 0x0F, reverse = 0x70;
  auto attr = [&](int column) { return line1[static_cast<std::size_t>(column - 1)].attr; };
  EXPECT_EQ(attr(3), normal);    // a
  EXPECT_EQ(attr(6), high);      // word
  EXPECT_EQ(attr(10), normal);   // blank after the highlight
  EXPECT_EQ(attr(11), reverse);  // und: underline style (black on grey)
  EXPECT_EQ(attr(15), reverse);  // rev
  EXPECT_EQ(attr(18), normal);
  EXPECT_EQ(attr(19), reverse);  // highlight marker ignored while underline is on
}

TEST_F(HelpTest, F1OpensTheMenuHelpOnceOnly) {
  dir.Write("AJUDA/ALTA.HLP", HelpFile(40));
  dir.Write("AJUDA/TOLVIRAN.HLP", HelpFile(3, "LINE 10"));
  auto pages = Browse("ALTA", {keys::kPgDn, keys::kF1, keys::kF1, keys::kEsc, keys::kDown});
  ASSERT_EQ(pages.size(), 6u);
  EXPECT_EQ(pages[1], Range(18, 34));
  EXPECT_EQ(pages[2], (std::vector<int>{101, 102, 103, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(console.depths[2], 2);
  EXPECT_EQ(console.depths[3], 2);  // F1 in the menu's own help opens nothing
  EXPECT_EQ(pages[4], Range(18, 34));
  EXPECT_EQ(console.depths[4], 1);
  EXPECT_EQ(pages[5], Range(19, 35));
}

TEST_F(HelpTest, WindowsPlatformRunsTheDocumentLauncher) {
  rt.session.Platform = "WIN";
  env.Set("COMSPEC", "C:\\WINDOWS\\SYSTEM32\\CMD.EXE");
  std::vector<std::string> commands;
  rt.screen.runCommand = [&](Runtime&, const std::string& line) {
    commands.push_back(line);
    return 0;
  };
  ShowHelp(rt, "ALTA");
  EXPECT_EQ(commands,
            (std::vector<std::string>{"C:\\WINDOWS\\SYSTEM32\\CMD.EXE /C PELVAN AJUDA\\ALTA.HTM"}));
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_EQ(console.RowText(4), std::string(80, ' '));
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

}  // namespace
}  // namespace zt

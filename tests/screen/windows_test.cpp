#include "screen/windows.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "screen/styles.h"
#include "screen_fixture.h"

namespace zt {
namespace {

using WindowsTest = test::ScreenTest;

TEST_F(WindowsTest, NestedWindowsRestoreEveryCellAndTheCursor) {
  FillPattern();
  console.SetCursor(24, 70);
  const auto before = Snapshot();

  OpenWindow(rt, 3, 5, 12, 40);
  SetStyle(rt, "r");
  DrawFrame(rt, kFrameDouble);
  LocateInWindow(rt, 1, 1);
  console.Write("outer");
  const auto withOuter = Snapshot();

  OpenWindow(rt, 8, 30, 20, 79);
  DrawFrame(rt, kFrameSingle);
  LocateInWindow(rt, 2, 3);
  EXPECT_EQ(console.CursorRow(), 10);
  EXPECT_EQ(console.CursorColumn(), 33);
  console.Write("inner");
  EXPECT_EQ(rt.screen.windowDepth, 2);

  CloseWindow(rt);
  EXPECT_EQ(Snapshot(), withOuter);
  EXPECT_EQ(rt.screen.windowDepth, 1);
  EXPECT_EQ(rt.screen.currentWindow, (WindowRect{3, 5, 12, 40}));
  LocateInWindow(rt, 1, 1);
  EXPECT_EQ(console.CursorRow(), 4);
  EXPECT_EQ(console.CursorColumn(), 6);

  CloseWindow(rt);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(console.CursorRow(), 24);
  EXPECT_EQ(console.CursorColumn(), 70);
  EXPECT_EQ(rt.screen.windowDepth, 0);
  // The colours in force are the last repainted cell's.
  EXPECT_EQ(console.CurrentAttribute(), before[11 * 80 + 39].attr);
  LocateInWindow(rt, 1, 1);
  EXPECT_EQ(console.CursorRow(), 1);
  EXPECT_EQ(console.CursorColumn(), 1);
  EXPECT_FALSE(FileExists(dir.Path() + "WinPush.tmp"));
}

TEST_F(WindowsTest, StackFileHoldsTheEntryLayout) {
  console.WriteCell(2, 3, Cell{'A', 0x1E});
  console.WriteCell(2, 4, Cell{'B', 0x70});
  console.WriteCell(3, 3, Cell{'C', 0x07});
  console.WriteCell(3, 4, Cell{0xB3, 0x4F});
  console.SetCursor(5, 7);
  OpenWindow(rt, 2, 3, 3, 4);

  std::string expected("\x26\x00\x00\x00", 4);  // header: 5 + 33
  expected +=
      "0507"
      "00000000"
      "02030304";
  expected += std::string(
      "A\x1E"
      "B\x70"
      "C\x07"
      "\xB3\x4F",
      8);
  expected += "00033";
  EXPECT_EQ(dir.Read("WinPush.tmp"), expected);

  // A second window records the first as the one it covers.
  OpenWindow(rt, 1, 1, 1, 1);
  std::string file = dir.Read("WinPush.tmp");
  ASSERT_EQ(file.size(), 4u + 33u + 27u);
  EXPECT_EQ(file.substr(37, 20), "05070203030401010101");
  EXPECT_EQ(static_cast<unsigned char>(file[0]), 38 + 27);
}

TEST_F(WindowsTest, FullScreenWindowSavesEveryCell) {
  OpenWindow(rt, 1, 1, 25, 80);
  std::string file = dir.Read("WinPush.tmp");
  ASSERT_EQ(file.size(), 4u + 4025u);
  EXPECT_EQ(file.substr(file.size() - 5), "04025");
  EXPECT_EQ(static_cast<unsigned char>(file[0]) + 256 * static_cast<unsigned char>(file[1]),
            5 + 4025);
}

TEST_F(WindowsTest, RectangleOffTheScreenIsIgnored) {
  OpenWindow(rt, 2, 2, 5, 5);
  const std::string fileBefore = dir.Read("WinPush.tmp");
  struct Rect {
    std::int16_t top, left, bottom, right;
  };
  for (Rect r : {Rect{0, 1, 5, 5}, Rect{1, 0, 5, 5}, Rect{1, 1, 26, 5}, Rect{1, 1, 5, 81},
                 Rect{-3, 1, 5, 5}}) {
    OpenWindow(rt, r.top, r.left, r.bottom, r.right);
    EXPECT_EQ(rt.screen.windowDepth, 1);
    EXPECT_EQ(rt.screen.currentWindow, (WindowRect{2, 2, 5, 5}));
  }
  EXPECT_EQ(dir.Read("WinPush.tmp"), fileBefore);
  CloseWindow(rt);
  OpenWindow(rt, 0, 0, 0, 0);
  EXPECT_FALSE(FileExists(dir.Path() + "WinPush.tmp"));
}

TEST_F(WindowsTest, InvertedRectangleHasNoCells) {
  FillPattern();
  const auto before = Snapshot();
  OpenWindow(rt, 10, 10, 5, 20);
  EXPECT_EQ(dir.Read("WinPush.tmp").size(), 4u + 25u);
  EXPECT_EQ(rt.screen.currentWindow, (WindowRect{10, 10, 5, 20}));
  DrawFrame(rt, kFrameSingle);  // nothing lies inside it
  CloseWindow(rt);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(rt.screen.windowDepth, 0);
}

TEST_F(WindowsTest, PreExistingEntrySurvivesOurWindows) {
  // Another program of the session left a window on the stack.
  test::TestRuntime other;
  other.rt.session.TempDir = dir.Path();
  other.console.WriteCell(1, 1, Cell{'Z', 0x2A});
  other.console.SetCursor(3, 3);
  OpenWindow(other.rt, 1, 1, 2, 2);
  const std::string foreign = dir.Read("WinPush.tmp");

  FillPattern();
  const auto before = Snapshot();
  OpenWindow(rt, 5, 5, 9, 30);
  OpenWindow(rt, 6, 6, 7, 7);
  CloseWindow(rt);
  CloseWindow(rt);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(dir.Read("WinPush.tmp").substr(0, foreign.size()), foreign);

  // An unmatched close takes the other program's entry off and paints it back.
  CloseWindow(rt);
  EXPECT_EQ(console.ReadCell(1, 1), (Cell{'Z', 0x2A}));
  EXPECT_EQ(console.CursorRow(), 3);
  EXPECT_EQ(rt.screen.windowDepth, -1);
  EXPECT_FALSE(FileExists(dir.Path() + "WinPush.tmp"));
}

TEST_F(WindowsTest, UnwritableStackFileKeepsTheStackInMemory) {
  rt.session.TempDir = dir.Path() + "missing/folder/";
  FillPattern();
  console.SetCursor(20, 20);
  const auto before = Snapshot();
  OpenWindow(rt, 2, 2, 10, 40);
  DrawFrame(rt, kFrameDouble);
  OpenWindow(rt, 5, 5, 6, 6);
  DrawFrame(rt, kFrameSingle);
  EXPECT_EQ(rt.screen.memoryWindowStack.size(), 2u);
  CloseWindow(rt);
  EXPECT_EQ(rt.screen.currentWindow, (WindowRect{2, 2, 10, 40}));
  CloseWindow(rt);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(console.CursorRow(), 20);
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_FALSE(FileExists(rt.session.TempDir + "WinPush.tmp"));
}

TEST_F(WindowsTest, StackPathThatIsAFolderKeepsTheStackInMemory) {
  std::filesystem::create_directory(dir.Path() + "WinPush.tmp");
  FillPattern();
  const auto before = Snapshot();
  OpenWindow(rt, 1, 1, 25, 80);
  DrawFrame(rt, kFrameSingle);
  EXPECT_EQ(rt.screen.memoryWindowStack.size(), 1u);
  CloseWindow(rt);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "WinPush.tmp"));
}

TEST_F(WindowsTest, WindowsOpenedAfterTheFileFailedStayInMemoryToo) {
  FillPattern();
  const auto before = Snapshot();
  OpenWindow(rt, 2, 2, 10, 40);  // in the file
  rt.session.TempDir = dir.Path() + "gone/";
  OpenWindow(rt, 3, 3, 4, 4);  // in memory
  rt.session.TempDir = dir.Path();
  OpenWindow(rt, 5, 5, 6, 6);  // memory again, above the previous one
  EXPECT_EQ(rt.screen.memoryWindowStack.size(), 2u);
  CloseWindow(rt);
  CloseWindow(rt);
  EXPECT_TRUE(FileExists(dir.Path() + "WinPush.tmp"));
  CloseWindow(rt);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(FileExists(dir.Path() + "WinPush.tmp"));
}

std::string Header(std::uint32_t value) {
  std::string h(4, '\0');
  for (int i = 0; i < 4; ++i) h[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return h;
}

TEST_F(WindowsTest, CorruptStackFileReadsAsEmpty) {
  std::string goodEntry =
      "0101"
      "00000000"
      "01010101"
      "X\x07"
      "00027";
  struct Case {
    const char* name;
    std::string contents;
  };
  const Case cases[] = {
      {"header past the end", Header(5000) + goodEntry},
      {"header before the entries", Header(2) + goodEntry},
      {"negative header", Header(0xFFFFFFF0u) + goodEntry},
      {"length not a number", Header(32) + goodEntry.substr(0, 22) + "00a27"},
      {"length longer than the stack", Header(32) + goodEntry.substr(0, 22) + "09999"},
      {"window off the screen", Header(32) + "0101"
                                             "00000000"
                                             "30010101"
                                             "X\x07"
                                             "00027"},
      {"fields not digits", Header(32) + "0101"
                                         "0000 000"
                                         "01010101"
                                         "X\x07"
                                         "00027"},
      {"length disagrees with the cells", Header(32) + "0101"
                                                       "00000000"
                                                       "01010102"
                                                       "X\x07"
                                                       "00027"},
      {"short file", std::string("\x01\x02", 2)},
  };
  for (const Case& c : cases) {
    dir.Write("WinPush.tmp", c.contents);
    FillPattern();
    console.SetCursor(9, 9);
    const auto before = Snapshot();
    CloseWindow(rt);
    EXPECT_EQ(Snapshot(), before) << c.name;
    EXPECT_EQ(console.CursorRow(), 9) << c.name;
    EXPECT_EQ(rt.screen.windowDepth, 0) << c.name;
    EXPECT_FALSE(FileExists(dir.Path() + "WinPush.tmp")) << c.name;
  }
  // The well-formed entry itself is read back.
  dir.Write("WinPush.tmp", Header(32) + goodEntry);
  CloseWindow(rt);
  EXPECT_EQ(console.ReadCell(1, 1), (Cell{'X', 0x07}));
}

TEST_F(WindowsTest, OpeningOverACorruptHeaderStartsAFreshStack) {
  dir.Write("WinPush.tmp", Header(99999) + "garbage");
  OpenWindow(rt, 1, 1, 1, 2);
  std::string file = dir.Read("WinPush.tmp");
  EXPECT_EQ(file.substr(0, 4), Header(5 + 29));
  EXPECT_EQ(file.substr(4 + 20 + 4, 5), "00029");
  CloseWindow(rt);
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_FALSE(FileExists(dir.Path() + "WinPush.tmp"));
}

TEST_F(WindowsTest, DrawFrameStylesAndNarrowWindows) {
  console.SetAttribute(0x1F);
  DrawFrame(rt, kFrameSingle);  // no window: nothing drawn
  EXPECT_EQ(console.ReadCell(1, 1), (Cell{' ', 0x07}));

  OpenWindow(rt, 2, 2, 5, 6);
  DrawFrame(rt, kFrameSingle);
  EXPECT_EQ(console.RowText(2).substr(1, 5), "\xDA\xC4\xC4\xC4\xBF");
  EXPECT_EQ(console.RowText(3).substr(1, 5), "\xB3   \xB3");
  EXPECT_EQ(console.RowText(5).substr(1, 5), "\xC0\xC4\xC4\xC4\xD9");
  EXPECT_EQ(console.ReadCell(3, 3).attr, 0x1F);
  EXPECT_EQ(console.RowText(2)[6], ' ');  // nothing outside, no shadow
  DrawFrame(rt, kFrameDouble);
  EXPECT_EQ(console.RowText(2).substr(1, 5), "\xC9\xCD\xCD\xCD\xBB");
  EXPECT_EQ(console.RowText(4).substr(1, 5), "\xBA   \xBA");
  EXPECT_EQ(console.RowText(5).substr(1, 5), "\xC8\xCD\xCD\xCD\xBC");
  DrawFrame(rt, kFrameBlank);
  EXPECT_EQ(console.RowText(2).substr(1, 5), "     ");
  DrawFrame(rt, 7);
  EXPECT_EQ(console.RowText(2).substr(1, 5), std::string(5, '\0'));
  EXPECT_EQ(console.RowText(3).substr(1, 5), std::string("\0   \0", 5));

  OpenWindow(rt, 10, 10, 13, 11);  // two columns wide
  DrawFrame(rt, kFrameSingle);
  EXPECT_EQ(console.RowText(10).substr(8, 4), " \xDA\xBF ");
  EXPECT_EQ(console.RowText(11).substr(8, 4), " \xB3\xB3 ");
  EXPECT_EQ(console.RowText(13).substr(8, 4), " \xC0\xD9 ");

  OpenWindow(rt, 15, 20, 16, 20);  // one column: only cells inside are drawn
  DrawFrame(rt, kFrameSingle);
  for (int row : {15, 16}) {
    EXPECT_EQ(console.RowText(row)[18], ' ');
    EXPECT_NE(console.RowText(row)[19], ' ');
    EXPECT_EQ(console.RowText(row)[20], ' ');
  }
}

TEST_F(WindowsTest, QueriesFollowTheInnermostWindow) {
  EXPECT_EQ(ScreenRows(rt), 25);
  EXPECT_EQ(ScreenColumns(rt), 80);
  EXPECT_EQ(WindowFirstRow(rt), 1);
  EXPECT_EQ(WindowFirstColumn(rt), 1);
  EXPECT_EQ(WindowLastColumn(rt), 80);
  OpenWindow(rt, 4, 10, 20, 70);
  EXPECT_EQ(WindowFirstRow(rt), 5);
  EXPECT_EQ(WindowFirstColumn(rt), 11);
  EXPECT_EQ(WindowLastColumn(rt), 69);
  CloseWindow(rt);
  EXPECT_EQ(WindowLastColumn(rt), 80);
}

TEST_F(WindowsTest, ScrollRegionMovesTheInsideOnly) {
  FillPattern();
  const auto before = Snapshot();
  auto at = [&](const std::vector<Cell>& cells, int row, int column) {
    return cells[static_cast<std::size_t>((row - 1) * 80 + column - 1)];
  };
  console.SetAttribute(0x4E);
  ScrollRegion(rt, 4, 1, 20, 78, 1);
  for (int row = 1; row <= 25; ++row) {
    for (int column = 1; column <= 80; ++column) {
      Cell expected = at(before, row, column);
      if (row >= 5 && row <= 21 && column >= 2 && column <= 79) {
        expected = row == 21 ? Cell{' ', 0x4E} : at(before, row + 1, column);
      }
      ASSERT_EQ(console.ReadCell(row, column), expected) << row << "," << column;
    }
  }
  for (std::int16_t lines : {std::int16_t{-1}, std::int16_t{0}}) {
    FillPattern();
    ScrollRegion(rt, 4, 1, 20, 78, lines);
    EXPECT_EQ(console.ReadCell(5, 2), (Cell{' ', 0x4E}));
    EXPECT_EQ(console.ReadCell(6, 2), at(before, 5, 2));
    EXPECT_EQ(console.ReadCell(21, 79), at(before, 20, 79));
    EXPECT_EQ(console.ReadCell(22, 79), at(before, 22, 79));
    EXPECT_EQ(console.ReadCell(5, 1), at(before, 5, 1));
  }
}

}  // namespace
}  // namespace zt

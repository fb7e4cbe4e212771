#pragma once
// A fresh runtime with the default colour table and a scratch session directory.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt::test {

class ScreenTest : public ::testing::Test {
 protected:
  ScreenTest() {
    rt.session.TempDir = dir.Path();
    rt.session.RootDir = dir.Path();
    rt.session.Platform = "DOS";
    // "15000700000700070007": bright white on black, grey on black, black on grey x 3.
    rt.session.Colours = {{{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}};
  }

  // Fills the screen with a pattern of characters and attributes that differ cell by cell.
  void FillPattern() {
    for (int row = 1; row <= 25; ++row) {
      for (int column = 1; column <= 80; ++column) {
        console.WriteCell(row, column,
                          Cell{static_cast<std::uint8_t>(33 + (row * 80 + column) % 90),
                               static_cast<Attribute>((row * 7 + column) % 256)});
      }
    }
  }

  std::vector<Cell> Snapshot() const {
    std::vector<Cell> cells;
    for (int row = 1; row <= 25; ++row) {
      for (int column = 1; column <= 80; ++column) cells.push_back(console.ReadCell(row, column));
    }
    return cells;
  }

  TempDir dir;
  TestRuntime test;
  MemoryConsole& console = test.console;
  MapEnvironment& env = test.env;
  Runtime& rt = test.rt;
};

}  // namespace zt::test

#include "screen/key_input.h"

#include <gtest/gtest.h>

#include "platform/keycodes.h"
#include "screen_fixture.h"

namespace zt {
namespace {

using KeyInputTest = test::ScreenTest;

struct Read {
  std::int16_t key = 0, button = 0, row = 0, column = 0;
};

Read ReadOnce(Runtime& rt) {
  Read r;
  ReadKey(rt, r.key, r.button, r.row, r.column);
  return r;
}

TEST_F(KeyInputTest, ModifiedKeyCodes) {
  struct Case {
    std::int16_t key;
    std::uint8_t modifiers;
    std::int16_t expected;
  };
  const Case cases[] = {
      {keys::kF1, kModCtrl, 24064},
      {keys::kF10, kModCtrl, 26368},
      {keys::kF11, kModCtrl, -30464},
      {keys::kF12, kModCtrl, -30208},
      {keys::kF1, kModAlt, 26624},
      {keys::kF10, kModAlt, 28928},
      {keys::kF11, kModAlt, -29952},
      {keys::kF12, kModAlt, -29696},
      {keys::kF1, kModShift, 21504},
      {keys::kF10, kModShift, 23808},
      {keys::kF11, kModShift, -30976},
      {keys::kF12, kModShift, -30720},
      {keys::kHome, kModCtrl, 30464},
      {keys::kRight, kModCtrl, 29696},
      {keys::kLeft, kModCtrl, 29440},
      {keys::kEnd, kModCtrl, keys::kEnd},
      {keys::kHome, kModShift, keys::kHome},
      {keys::kF1, kModAlt | kModCtrl | kModShift, 26624},  // Alt wins
      {keys::kF1, kModCtrl | kModShift, 24064},            // then Ctrl
      {keys::FunctionKey(5), 0, 16128},
      {keys::kAltE, kModAlt, 213},
      {keys::kAltF, kModAlt, 8448},
      {'a', 0, 'a'},
      {22, kModCtrl, 22},
  };
  for (const Case& c : cases) {
    console.PushKey(c.key, c.modifiers);
    EXPECT_EQ(ReadOnce(rt).key, c.expected) << c.key << " mods " << int(c.modifiers);
  }
}

TEST_F(KeyInputTest, RightClickReachesWaitKeyAsColumnButtonRow) {
  console.PushEvent(InputEvent{EventKind::MouseMove, 0, 0, 0, 3, 3, {}});
  console.PushMouseRelease(2, 5, 10);
  std::int16_t key = 0;
  WaitKey(rt, key);
  EXPECT_EQ(key, 2693);
  console.PushMouseRelease(1, 25, 80);
  WaitKey(rt, key);
  EXPECT_EQ(key, static_cast<std::int16_t>(80 * 256 + 64 + 25));
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

TEST_F(KeyInputTest, WaitKeySwallowsMovesAndMiddleClicks) {
  console.PushEvent(InputEvent{EventKind::MouseMove, 0, 0, 0, 3, 3, {}});
  console.PushMouseRelease(3, 4, 4);
  console.PushEvent(InputEvent{EventKind::MousePress, 0, 0, 1, 4, 4, {}});
  console.PushKey('q');
  std::int16_t key = 0;
  WaitKey(rt, key);
  EXPECT_EQ(key, 'q');
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

TEST_F(KeyInputTest, WaitKeyBlocksOnTheConsoleWhenNothingIsWaiting) {
  std::int16_t key = 0;
  WaitKey(rt, key);
  // The memory console answers a blocking wait on an empty script with Esc.
  EXPECT_EQ(key, keys::kEsc);
  EXPECT_EQ(console.ExhaustedWaits(), 1);
}

TEST_F(KeyInputTest, ReadKeyNeverBlocks) {
  Read r = ReadOnce(rt);
  EXPECT_EQ(r.key, 0);
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

TEST_F(KeyInputTest, AltKeypadComposesCharacters) {
  struct Case {
    std::vector<std::int16_t> keypad;
    std::int16_t expected;
  };
  const Case cases[] = {
      {{keys::kEnd, keys::kPgDn, keys::kInsert}, 130},
      {{keys::kPgDn, keys::kInsert, keys::kInsert}, 44},
      {{keys::kHome, keys::kKeypadCentre}, 75},
      {{keys::kDown, keys::kLeft, keys::kRight, keys::kUp, keys::kPgUp}, 24689 % 256},
  };
  for (const Case& c : cases) {
    for (std::int16_t k : c.keypad) console.PushKey(k, kModAlt);
    EXPECT_EQ(ReadOnce(rt).key, c.expected);
    EXPECT_EQ(console.PendingEvents(), 0u);
  }
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

TEST_F(KeyInputTest, KeyAfterAltKeypadDigitsIsDeliveredNext) {
  console.PushKey(keys::kEnd, kModAlt);
  console.PushKey(keys::kPgDn, kModAlt);
  console.PushKey(keys::kInsert, kModAlt);
  console.PushKey(keys::kF1, kModAlt);
  console.PushKey('z');
  EXPECT_EQ(ReadOnce(rt).key, 130);
  EXPECT_EQ(ReadOnce(rt).key, 26624);
  EXPECT_EQ(ReadOnce(rt).key, 'z');
  std::int16_t key = 0;
  console.PushKey(keys::kPgDn, kModAlt);
  console.PushMouseRelease(1, 2, 3);
  WaitKey(rt, key);
  EXPECT_EQ(key, 3);
  WaitKey(rt, key);
  EXPECT_EQ(key, 3 * 256 + 64 + 2);
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

TEST_F(KeyInputTest, ComposedZeroGivesWayToTheNextKey) {
  console.PushKey(keys::kInsert, kModAlt);
  console.PushKey('k');
  EXPECT_EQ(ReadOnce(rt).key, 'k');
  EXPECT_FALSE(rt.screen.heldEvent.has_value());
}

TEST_F(KeyInputTest, CalculatorResultArrivesAsTypedKeys) {
  int runs = 0;
  rt.screen.runCalculator = [&](Runtime& inner) {
    ++runs;
    EXPECT_TRUE(inner.screen.calculatorOpen);
    // Alt+X inside the calculator is an ordinary key; Alt+C still opens the calendar.
    console.PushKey(keys::kAltX, kModAlt);
    console.PushKey(keys::kAltC, kModAlt);
    std::int16_t key = 0;
    WaitKey(inner, key);
    EXPECT_EQ(key, keys::kAltX);
    WaitKey(inner, key);
    EXPECT_EQ(key, keys::kAltC);
    WaitKey(inner, key);
    EXPECT_EQ(key, '7');  // the calendar's result, typed into the calculator
    return std::string("12");
  };
  rt.screen.runCalendar = [](Runtime&) { return std::string("7"); };
  console.PushKey(keys::kAltX, kModAlt);
  EXPECT_EQ(ReadOnce(rt).key, 11520);
  console.PushKey('x');
  EXPECT_EQ(ReadOnce(rt).key, '1');
  EXPECT_EQ(ReadOnce(rt).key, '2');
  EXPECT_EQ(ReadOnce(rt).key, 'x');
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(rt.screen.calculatorOpen);
  EXPECT_EQ(console.ExhaustedWaits(), 0);
}

TEST_F(KeyInputTest, HotKeysWithoutPopUpsOrWithEscDeliverNothingMore) {
  console.PushKey(keys::kAltC, kModAlt);
  console.PushKey('y');
  EXPECT_EQ(ReadOnce(rt).key, 11776);
  EXPECT_EQ(ReadOnce(rt).key, 'y');
  rt.screen.runCalendar = [](Runtime&) { return std::string(); };
  console.PushKey(keys::kAltC, kModAlt);
  EXPECT_EQ(ReadOnce(rt).key, 11776);
  EXPECT_EQ(ReadOnce(rt).key, 0);
}

TEST_F(KeyInputTest, PendingKeysComeBeforeTheConsole) {
  rt.screen.pendingKeys = std::string("\x82") + "b";
  console.PushKey('c');
  std::int16_t key = 0, button = 1, row = 5, column = 6;
  ReadKey(rt, key, button, row, column);
  EXPECT_EQ(key, 0x82);
  EXPECT_EQ(button, 0);
  EXPECT_EQ(console.PendingEvents(), 1u);
  EXPECT_EQ(ReadOnce(rt).key, 'b');
  EXPECT_EQ(ReadOnce(rt).key, 'c');
}

TEST_F(KeyInputTest, PasteArrivesAsCtrlVWithItsText) {
  console.PushPaste("12,5");
  EXPECT_EQ(ReadOnce(rt).key, 22);
  EXPECT_EQ(rt.screen.pastedText, "12,5");
}

TEST_F(KeyInputTest, MouseReportingIsOnOnlyWhileWaiting) {
  Read r = ReadOnce(rt);
  EXPECT_EQ(rt.screen.mouseMode, 1);
  EXPECT_TRUE(console.MouseReporting());
  console.PushEvent(InputEvent{EventKind::MouseMove, 0, 0, 0, 7, 9, {}});
  r = ReadOnce(rt);
  EXPECT_EQ(r.key, 0);
  EXPECT_EQ(r.row, 7);
  EXPECT_EQ(r.column, 9);
  EXPECT_TRUE(console.MouseReporting());
  console.PushKey('a');
  r = ReadOnce(rt);
  EXPECT_EQ(r.row, 7);  // the latest mouse position
  EXPECT_EQ(rt.screen.mouseMode, 2);
  EXPECT_FALSE(console.MouseReporting());
  console.PushMouseRelease(1, 3, 4);
  r = ReadOnce(rt);
  EXPECT_EQ(r.button, 1);
  EXPECT_EQ(r.row, 3);
  EXPECT_EQ(r.column, 4);
  EXPECT_FALSE(console.MouseReporting());
}

TEST_F(KeyInputTest, WithoutAMouseClicksReportNothing) {
  console.SetMouseButtons(0);
  console.PushMouseRelease(2, 5, 10);
  Read r = ReadOnce(rt);
  EXPECT_EQ(rt.screen.mouseMode, 3);
  EXPECT_FALSE(console.MouseReporting());
  EXPECT_EQ(r.button, 0);
  EXPECT_EQ(r.row, 0);
  EXPECT_EQ(r.column, 0);
}

}  // namespace
}  // namespace zt

#include "screen/key_input.h"

#include "app/runtime.h"
#include "platform/keycodes.h"

namespace zt {

namespace {

// How long a composed Alt+keypad character waits for a further digit: a terminal reports
// no Alt release, so a pause ends the composition.
constexpr int kAltKeypadPauseMs = 1000;

// The digit an Alt+keypad key stands for, or -1.
int KeypadDigit(std::int16_t key) {
  switch (key) {
    case keys::kInsert:
      return 0;
    case keys::kEnd:
      return 1;
    case keys::kDown:
      return 2;
    case keys::kPgDn:
      return 3;
    case keys::kLeft:
      return 4;
    case keys::kKeypadCentre:
      return 5;
    case keys::kRight:
      return 6;
    case keys::kHome:
      return 7;
    case keys::kUp:
      return 8;
    case keys::kPgUp:
      return 9;
    default:
      return -1;
  }
}

bool IsAltKeypad(const InputEvent& event) {
  return event.kind == EventKind::Key && (event.modifiers & kModAlt) != 0 &&
         KeypadDigit(event.key) >= 0;
}

bool NextEvent(Runtime& rt, InputEvent& event) {
  if (rt.screen.heldEvent) {
    event = *rt.screen.heldEvent;
    rt.screen.heldEvent.reset();
    return true;
  }
  return rt.console.PollEvent(event);
}

// Collects Alt+keypad digits starting with event and replaces event by the composed
// character (the number mod 256). The key that ends the composition is kept for the next
// ReadKey.
void ComposeAltKeypad(Runtime& rt, InputEvent& event) {
  int value = 0;
  for (;;) {
    value = (value * 10 + KeypadDigit(event.key)) % 256;
    InputEvent next;
    bool found = NextEvent(rt, next);
    if (!found && rt.console.WaitForInput(kAltKeypadPauseMs)) found = NextEvent(rt, next);
    if (!found) break;
    if (!IsAltKeypad(next)) {
      rt.screen.heldEvent = next;
      break;
    }
    event = next;
  }
  event = InputEvent{};
  event.kind = EventKind::Key;
  event.key = static_cast<std::int16_t>(value);
}

bool InRange(int key, int low, int high) {
  return key >= low && key <= high;
}

// The codes of the Ctrl/Alt/Shift combinations.
std::int16_t ModifiedKey(std::int16_t key, std::uint8_t modifiers) {
  int code = key;
  if (code == keys::kAltE) code = 213;
  bool functionKey = InRange(code, keys::kF1, keys::kF10);
  bool f11f12 = InRange(code, keys::kF11, keys::kF12);
  if (modifiers & kModAlt) {
    if (functionKey) code += 11520;
    if (f11f12) code += 1536;
  } else if (modifiers & kModCtrl) {
    if (functionKey) code += 8960;
    if (f11f12) code += 1024;
    if (code == keys::kHome) code = 30464;
    if (code == keys::kRight) code = 29696;
    if (code == keys::kLeft) code = 29440;
  } else if (modifiers & kModShift) {
    if (functionKey) code += 6400;
    if (f11f12) code += 512;
  }
  return static_cast<std::int16_t>(code);
}

std::string RunHook(Runtime& rt, const std::function<std::string(Runtime&)>& hook) {
  return hook ? hook(rt) : std::string();
}

}  // namespace

void ReadKey(Runtime& rt, std::int16_t& key, std::int16_t& button, std::int16_t& row,
             std::int16_t& column) {
  ScreenState& state = rt.screen;
  if (!state.pendingKeys.empty()) {
    key = static_cast<std::uint8_t>(state.pendingKeys.front());
    state.pendingKeys.erase(0, 1);
    // A typed-in character is no click: clear what a caller may still hold from before.
    button = 0;
    row = 0;
    column = 0;
    state.lastReadFoundEvent = true;
    return;
  }

  if (state.mouseMode == 0) state.mouseMode = rt.console.MouseButtons() >= 1 ? 2 : 3;
  if (state.mouseMode == 2) {
    rt.console.SetMouseReporting(true);
    state.mouseMode = 1;
  }

  key = 0;
  button = 0;
  row = 0;
  column = 0;
  InputEvent event;
  state.lastReadFoundEvent = NextEvent(rt, event);
  if (!state.lastReadFoundEvent) return;

  if (IsAltKeypad(event)) {
    ComposeAltKeypad(rt, event);
    // A composed code 0 is no key: go on with the event that ended the composition, which
    // callers could not wait for on the console.
    if (event.key == 0 && state.heldEvent) NextEvent(rt, event);
  }

  switch (event.kind) {
    case EventKind::Key:
      if (event.key != 0) key = ModifiedKey(event.key, event.modifiers);
      break;
    case EventKind::Paste:
      state.pastedText = event.text;
      key = 22;
      break;
    case EventKind::MousePress:
    case EventKind::MouseRelease:
    case EventKind::MouseMove:
      state.mouseRow = static_cast<std::int16_t>(event.row);
      state.mouseColumn = static_cast<std::int16_t>(event.column);
      break;
    case EventKind::Resize:
      break;
  }

  if (state.mouseMode == 1) {
    if (event.kind == EventKind::MouseRelease && (event.button == 1 || event.button == 2)) {
      button = static_cast<std::int16_t>(event.button);
    }
    row = state.mouseRow;
    column = state.mouseColumn;
  }

  if (key == keys::kAltX && !state.calculatorOpen) {
    state.calculatorOpen = true;
    state.pendingKeys = RunHook(rt, state.runCalculator);
    state.calculatorOpen = false;
  } else if (key == keys::kAltC && !state.calendarOpen) {
    state.calendarOpen = true;
    state.pendingKeys = RunHook(rt, state.runCalendar);
    state.calendarOpen = false;
  }

  // Mouse reporting stays on only while the program waits for input.
  if (state.mouseMode == 1 && (key > 0 || button > 0)) {
    rt.console.SetMouseReporting(false);
    state.mouseMode = 2;
  }
}

void WaitKey(Runtime& rt, std::int16_t& key) {
  key = 0;
  while (key == 0) {
    std::int16_t button = 0;
    std::int16_t row = 0;
    std::int16_t column = 0;
    ReadKey(rt, key, button, row, column);
    if (button != 0) key = static_cast<std::int16_t>(column * 256 + button * 64 + row);
    if (key == 0 && !rt.screen.lastReadFoundEvent) rt.console.WaitForInput(-1);
  }
}

}  // namespace zt

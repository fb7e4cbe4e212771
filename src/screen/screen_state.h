#pragma once
// Process-wide state of the screen toolkit (owned by src/screen/): colour styles, windows,
// key input. Other folders may read it (the field editor reads hiddenInputChar and takes
// pastedText) but change it only through the screen functions; the hooks are set by the
// application.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/console.h"

namespace zt {

struct Runtime;

// A window rectangle in absolute screen rows and columns, border included.
struct WindowRect {
  std::int16_t top = 0;
  std::int16_t left = 0;
  std::int16_t bottom = 0;
  std::int16_t right = 0;
  bool operator==(const WindowRect&) const = default;
};

struct ScreenState {
  // Colour styles: the style applied last (0-4) and the saved styles, most recent last.
  std::int16_t currentStyle = 0;
  std::string styleStack;

  // Windows: the innermost open window and how many this process has open.
  WindowRect currentWindow;
  std::int16_t windowDepth = 0;
  // Window stack entries kept here (same bytes as in WinPush.tmp) while the stack file
  // cannot be written; once in use, later windows stack here too until it empties.
  std::vector<std::string> memoryWindowStack;

  // Key input.
  std::string pendingKeys;      // typed-in result of a pop-up, handed out one per ReadKey
  bool calculatorOpen = false;  // hot key guards
  bool calendarOpen = false;
  std::int16_t mouseMode = 0;  // 0 not set up, 1 reporting on, 2 mouse but off, 3 none
  std::int16_t mouseRow = 0;   // position of the latest mouse event
  std::int16_t mouseColumn = 0;
  // ActiveKeySet: admitted and delivered codes, 2 bytes each, low byte first. Empty: no
  // set is active. Change only through SetKeySet.
  std::string activeKeys;
  std::string deliveredKeys;
  std::vector<std::pair<std::string, std::string>> savedKeySets;
  std::int16_t hiddenInputChar = 0;  // 88 ("X") while hidden input is on
  // Text of the latest terminal paste (ReadKey returns Ctrl+V for it); the field editor
  // takes it and clears it.
  std::string pastedText;
  // An event read while composing an Alt+keypad character, handed out by the next ReadKey.
  std::optional<InputEvent> heldEvent;
  // Whether the latest ReadKey found any input event (WaitKey waits only when not).
  bool lastReadFoundEvent = false;

  // Pop-ups opened by hot keys from inside ReadKey; set by the application so the screen
  // toolkit does not depend on the tools. Each returns the text to hand out as typed keys.
  std::function<std::string(Runtime&)> runCalculator;
  std::function<std::string(Runtime&)> runCalendar;
  // Starts a command line (interpreter, " /C ", command) and waits for it. Unset: the
  // platform's RunCommandLine. Tests set it to see the command line.
  std::function<int(Runtime&, const std::string& commandLine)> runCommand;
};

}  // namespace zt

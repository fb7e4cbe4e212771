#pragma once
// Process-wide state of the screen toolkit (owned by src/screen/): colour styles, windows,
// key input. Filled in by the screen toolkit.
#include <functional>
#include <string>

namespace zt {

struct Runtime;

struct ScreenState {
  // Pop-ups opened by hot keys from inside ReadKey; set by the application so the screen
  // toolkit does not depend on the tools. Each returns the text to hand out as typed keys.
  std::function<std::string(Runtime&)> runCalculator;
  std::function<std::string(Runtime&)> runCalendar;
};

}  // namespace zt

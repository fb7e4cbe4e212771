#pragma once
// The pop-up quarter calendar date picker, opened by the Alt+C hot key.
#include <string>

#include "app/runtime.h"

namespace zt {

// Shows three months at the right edge of the screen, starting at the session's work date,
// and runs until the operator accepts a day ("F", Alt+F) or cancels (Esc). Returns the
// chosen date in the short numeric style (for example "15/1/2024 "), or the empty text.
std::string RunCalendar(Runtime& rt);

}  // namespace zt

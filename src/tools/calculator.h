#pragma once
// The pop-up desk calculator with its paper tape, opened by the Alt+X hot key.
#include <string>

#include "app/runtime.h"

namespace zt {

// Shows the calculator over the screen and runs it until the operator finishes. Returns
// the value to type into the caller's field ("F"), or the empty text (Esc). The tape and
// the whole state persist in KYBCALC.TMP in the terminal's directory.
std::string RunCalculator(Runtime& rt);

}  // namespace zt

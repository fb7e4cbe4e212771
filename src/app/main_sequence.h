#pragma once
#include <string>

#include "app/runtime.h"

namespace zt {

// The program's fixed sequence: session, suite root, form definition, settings editor.
// Returns the process exit status; on a failure that stops the program, errorMessage says
// what went wrong (the caller shows it once the terminal is restored).
int RunMainSequence(Runtime& rt, std::string& errorMessage);

}  // namespace zt

#pragma once
#include "app/runtime.h"

namespace zt {

// The program's fixed sequence: session, suite root, form definition, settings editor.
// Returns the process exit status.
int RunMainSequence(Runtime& rt);

}  // namespace zt

#pragma once
// Running another program from inside the full-screen console.
#include <string_view>

#include "platform/console.h"
#include "platform/environment.h"

namespace zt {

// Runs commandLine (code page 850) through the command interpreter named by COMSPEC, or
// /bin/sh -c when COMSPEC is unset or names no program here, and waits for it. A terminal
// console is handed back to cooked mode and the main screen meanwhile, and repainted after.
// Returns the command's exit status, 128 + n when signal n ended it, or -1 when it could not
// be started.
int RunCommandLine(Console& console, const Environment& env, std::string_view commandLine);

}  // namespace zt

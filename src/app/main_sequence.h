#pragma once
#include <string>

#include "app/runtime.h"

namespace zt {

// The program's fixed sequence: session, suite root, form definition, settings editor.
// Returns the process exit status; on a failure that stops the program, errorMessage says
// what went wrong (the caller shows it once the terminal is restored).
int RunMainSequence(Runtime& rt, std::string& errorMessage);

// The application: clears the screen, loads the settings into form 1, runs the form and
// saves when it was left with a key other than Esc after a change. Returns the exit status
// (non-zero, with errorMessage naming the file, when the save failed).
int RunSettingsEditor(Runtime& rt, std::string& errorMessage);

}  // namespace zt

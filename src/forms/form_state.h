#pragma once
// Process-wide state of the form engine (owned by src/forms/). Filled in by the form engine.
#include <string>

namespace zt {

struct FormState {
  // Text copied with Ctrl+C inside the program.
  std::string clipboard;
};

}  // namespace zt

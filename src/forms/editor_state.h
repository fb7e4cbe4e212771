#pragma once
// Process-wide state of the field editor (owned by the field editor). Filled in there.
#include <string>

namespace zt {

struct EditorState {
  // Text copied with Ctrl+C inside the program.
  std::string clipboard;
};

}  // namespace zt

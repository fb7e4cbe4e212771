#pragma once
// Process-wide state of the field editor.
#include <string>

namespace zt {

struct EditorState {
  // Text copied with Ctrl+C inside the program; Ctrl+V pastes it.
  std::string clipboard;
  // Typing mode. A terminal has no Insert toggle state of its own, so the Insert key flips
  // this flag; it starts as overwrite, like a keyboard whose Insert toggle is off, and
  // carries over between fields.
  bool insertMode = false;
};

}  // namespace zt

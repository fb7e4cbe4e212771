#pragma once
// The session record: read once at start-up from the environment and the session's INI
// files, then only read (ProgramName is set by the main sequence right after loading).
#include <array>
#include <cstdint>
#include <string>

namespace zt {

// Five colour styles (0-4), each a foreground [0] and a background [1] console colour.
using ColourTable = std::array<std::array<std::int16_t, 2>, 5>;

struct SessionContext {
  std::string RootDir;       // KYBROOT, unchanged (expected to end in a separator)
  std::string ExeDir;        // KYBEXE
  std::string TempDir;       // KYBTMP with a separator, or TerminalDir
  std::string Title;         // " " + [Menu] Titol + " "
  std::string MenuName;      // [Menu] NomMenu
  std::string MenuProgram;   // [Menu] Menu
  std::string MenuChain;     // [Menu] ChnMenu
  std::string OperatorName;  // [Menu] Operador
  std::int16_t OperatorType = 0;
  std::string TerminalDir;   // [Terminal] Dir, or TERM, with a separator
  ColourTable Colours{};
  std::string WorkDate;      // packed date (PackDigits of [Sistema] Data), or empty
  std::string OutputDevice;  // [Sistema] Sortida
  std::string Language;      // exactly 3 characters: "CAT", "SPA", "GLG", "OCI", ...
  std::string Platform;      // "CGI", "WIN" or "DOS"
  std::string ProgramName;   // "ZENTARIO"
};

}  // namespace zt

#pragma once
// The operator's formatting settings in [Usuari] of the suite's main INI file.
#include <string>
#include <string_view>

#include "app/runtime.h"

namespace zt {

// KYBROOT (read from the environment, as the suite does) followed directly by "Vorn.ini".
std::string MainIniPath(const Runtime& rt);

// The first character of [Usuari] key, or fallback when the value is empty or starts with
// a blank.
char UserSettingChar(const Runtime& rt, std::string_view key, char fallback);

}  // namespace zt

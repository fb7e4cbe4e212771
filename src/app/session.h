#pragma once
#include <string>
#include <string_view>

#include "app/runtime.h"

namespace zt {

// Fills rt.session from the environment, Sessio.ini and VornTerm.ini in the session's
// temporary folder, and [Usuari] Idioma of Vorn.ini. Never fails: missing pieces give the
// documented defaults.
void LoadSessionEnvironment(Runtime& rt);

// Packs a digit text two digits per byte, each byte 128 + the two-digit number:
// "15821005" gives the bytes 143, 210, 138, 133.
std::string PackDigits(std::string_view digits);

}  // namespace zt

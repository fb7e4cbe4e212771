#pragma once
// Dates as text in the operator's order and separator ([Usuari] DatCaracter / DatOrdre of
// Vorn.ini, loaded on first use) and, in the long styles, in words of the session language.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/runtime.h"

namespace zt {

// style -1: "YYYY-MM-DD"; 0: numbers joined by the separator, padded to a fixed width;
// 1: as 0 with a three-letter month; 2 or more: long form in words, unpadded.
// parts: letters D, M, A (any case) naming the components to include.
std::string FormatDate(Runtime& rt, std::string_view date, std::int16_t style,
                       std::string_view parts);

}  // namespace zt

#pragma once
// Numbers through picture masks ("Z9.99 %", "Z,ZZZ,ZZ9", ...), with the operator's decimal
// and thousands characters ([Usuari] DecCaracter / MilCaracter of Vorn.ini, loaded once).
#include <cstdint>
#include <string>
#include <string_view>

#include "app/runtime.h"

namespace zt {

// The value written through the mask; the result always has the mask's length. Values that
// do not fit (including infinities and NaN) give the plain form or a field of "!".
std::string FormatNumber(Runtime& rt, std::string_view mask, double value);

// The whole number's digits without sign, zero-filled on the left to width and cut to the
// last width characters: PadZeros(5, 2) is "05", PadZeros(2024, 2) is "24".
std::string PadZeros(double value, std::int16_t width);

// The operator's decimal and thousands characters (loads them on first use).
char DecimalCharacter(Runtime& rt);
char ThousandsCharacter(Runtime& rt);

}  // namespace zt

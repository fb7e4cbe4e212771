#pragma once
// Upper-casing of code page 850 text: keeping accents (rt.locale.accentFreeFolding off) or
// reducing every accented letter to its plain capital (on).
#include <string>
#include <string_view>

#include "app/runtime.h"

namespace zt {

std::string FoldText(Runtime& rt, std::string_view text);

// The same with the table chosen explicitly.
std::string FoldText(std::string_view text, bool accentFree);

}  // namespace zt

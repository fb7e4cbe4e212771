#pragma once
// Colour styles: output names one of five styles of the session's colour table instead
// of console colours. A code with "+" saves the style in force, "-" restores it.
#include <string_view>

namespace zt {

struct Runtime;

// Applies a style code: letters U (style 4), R (2) and N (1, added to R's 2 for 3), none
// of them style 0; "+" saves the current style first, "-" takes back the last saved one.
// An empty or blank code changes nothing.
void SetStyle(Runtime& rt, std::string_view code);

// True when every character of text is ch (also for the empty text).
bool IsAllChar(std::string_view text, char ch);

}  // namespace zt

#pragma once
// Paragraph layout and the message box that stays on screen while the program works.
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

struct Runtime;

// Breaks text into lines of width characters at blanks and aligns each line; text becomes
// the lines concatenated. indent > 0 indents the first line, indent < 0 every other line
// (the width includes the indent). Alignment letters: E/L/I left, N left padded with "-",
// D/R right, C centred, A/B justified; anything else no padding. Characters below 32 take
// no column.
void FormatParagraph(std::string& text, std::int16_t indent, std::int16_t width,
                     std::string_view alignment);

// Shows text (replaced by its formatted form) in a framed box near screen row row and
// leaves the box open: the caller removes it with one CloseWindow. A text that does not fit
// the screen opens nothing.
void ShowMessage(Runtime& rt, std::int16_t row, std::string& text);

}  // namespace zt

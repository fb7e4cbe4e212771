#pragma once
// The field editor: edits one field's text in place and returns the key that ended the
// edit, and the number-text check used for percentage fields.
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

struct Runtime;

// Edits `text` in place at `row`, `column` (relative to the current window; 0 takes the
// cursor's current row or column). `lineLength` is the number of characters per screen
// line (0: one line). `text` keeps its length. `cursor` is the 1-based position, in and
// out. `key` receives the key that ended the edit, already translated and filtered through
// the active key set; a mouse click outside the field comes back as -(column * 100 + row).
// The field's option list is the form engine's CurrentOptions ("|code,text|code,text...");
// empty means free text, otherwise the operator chooses one option and `text` gets its code.
void EditField(Runtime& rt, std::int16_t& row, std::int16_t& column, std::int16_t& lineLength,
               std::string& text, std::int16_t& cursor, std::int16_t& key);

// 0 when `text` is a valid number text, -1 when not. `pattern` switches features on: "."
// allows one decimal point, "+" or "-" allows a sign. Blanks are ignored.
std::int16_t CheckNumberText(std::string_view text, std::string_view pattern);

}  // namespace zt

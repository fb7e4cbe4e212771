#pragma once
// Text operations of the field editor on a fixed-width text: the text never grows or
// shrinks. Positions are 1-based; `end` is the length + 1.
#include <string>
#include <string_view>

namespace zt::edit {

// Inserts ch at position, moving the rest one place right; the last character drops off.
// Only when the last character is a blank and position < end; false otherwise.
bool InsertChar(std::string& text, int position, char ch);

// Deletes the character at position (1..length): the rest moves left, a blank comes in at
// the end. False when position is outside the text.
bool DeleteChar(std::string& text, int position);

// Cursor position after a word move to the left / right from cursor (separators: blank,
// ",", ".", ";", ":").
int WordLeft(std::string_view text, int cursor);
int WordRight(std::string_view text, int cursor);

// The text without leading and trailing blanks (blanks only, never tabs).
std::string_view TrimBlanks(std::string_view text);

// Clipboard text as it goes into a field: characters 0-31, 127 and 255 removed, then
// leading and trailing blanks stripped.
std::string CleanPastedText(std::string_view text);

// Writes pasted over text from position on; what does not fit is lost.
void WriteOver(std::string& text, int position, std::string_view pasted);

}  // namespace zt::edit

#pragma once
// Code page 850 <-> Unicode. Text inside the program is single-byte code page 850; these
// tables are used only where text meets the terminal or the clipboard.
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

// The character a terminal shows for a code page 850 byte. Bytes below 32 and 127 map to
// the console's glyphs for them (0x10 is the right marker, 0x11 the left one), so any byte
// of a cell can be displayed. Byte 0xD5 is shown as the euro sign, which is what Alt+E types.
char32_t Cp850ToUnicode(std::uint8_t byte);

// The code page 850 byte for a Unicode character, or 0 when it has none. Control glyphs
// map back only for the two markers (U+25BA, U+25C4) and plain ASCII controls map to
// themselves.
std::uint8_t UnicodeToCp850(char32_t codePoint);

// Whole-text conversions; characters without a code page 850 byte become "?".
std::string Cp850ToUtf8(std::string_view text);
std::string Utf8ToCp850(std::string_view text);

// Appends the UTF-8 encoding of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace zt

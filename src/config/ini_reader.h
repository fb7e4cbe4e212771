#pragma once
#include <string>
#include <string_view>

namespace zt {

// One value of an INI file: the value of key in the first section named section, or the
// empty text when the file, section or key is missing. Nothing is cached: every call reads
// the file again, so changes by other programs are seen.
std::string ReadIniValue(std::string_view path, std::string_view section, std::string_view key);

// The same over file contents already in memory.
std::string ReadIniValueFromText(std::string_view data, std::string_view section,
                                 std::string_view key);

}  // namespace zt

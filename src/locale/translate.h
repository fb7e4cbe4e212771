#pragma once
// Translation of the program's Catalan texts through the language file
// RootDir + "LOCALE\" + base name + ".LNG" (base name = the program's name).
#include <string>
#include <string_view>

#include "app/runtime.h"

namespace zt {

// The text in the session language, or the text itself when the language is Catalan, the
// file has no record for it or the file cannot be read. Creates the file empty when it is
// missing. Reads the file from its start on every call (nothing is cached).
std::string Translate(Runtime& rt, std::string_view text);

// The value-reading rules of the language file over contents already in memory: the
// translation for language (first three characters looked at) of text, or text itself.
std::string TranslateFromText(std::string_view data, std::string_view language,
                              std::string_view text);

}  // namespace zt

#pragma once
// F1 help: under Windows the page's HTML file goes to the suite's document launcher;
// elsewhere the page's text file (AJUDA\<name>.HLP below the suite root) is shown in a
// scrollable window until Esc.
#include <string_view>

namespace zt {

struct Runtime;

// name is the help page's base name without trailing blanks.
void ShowHelp(Runtime& rt, std::string_view name);

}  // namespace zt

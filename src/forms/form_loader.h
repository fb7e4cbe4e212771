#pragma once
// Loads the program's form definition file, RootDir + "FORMS\" + ProgramName + ".QFM", into
// rt.forms.definition. Labels, option lists and browse headers are translated into the
// session language on the way in.
#include <string>
#include <string_view>

namespace zt {

struct Runtime;
struct FormDefinition;

// False, with a message naming the file in error, when the file is missing or unusable
// (absurd or negative counts, counts larger than what follows, an unclosed quoted text).
// On failure the definition is left empty.
bool LoadFormDefinition(Runtime& rt, std::string& error);

// The path of the program's form file (resolved; for messages of callers too).
std::string FormDefinitionPath(const Runtime& rt);

// The same on a file's contents already read; fileName is only used in messages.
bool ParseFormDefinition(Runtime& rt, std::string_view contents, std::string_view fileName,
                         FormDefinition& def, std::string& error);

}  // namespace zt

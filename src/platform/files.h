#pragma once
// File paths as the suite writes them ("FORMS\ZENTARIO.QFM") mapped onto Linux: "\" becomes
// "/", and an existing file whose exact spelling is missing is found case-insensitively,
// component by component (suites copied from Windows often differ in case).
#include <string>
#include <string_view>

namespace zt {

// "\" -> "/"; nothing else changes.
std::string NativePath(std::string_view path);

// The native path of an existing file or folder, matching each missing component without
// regard to case. When nothing matches, the native path itself; a path to a file that
// does not exist yet keeps its last component as written but has its folders resolved.
std::string ResolvePath(std::string_view path);

bool FileExists(std::string_view path);

// Reads a whole file (resolved as above). False when it cannot be opened.
bool ReadWholeFile(std::string_view path, std::string& contents);

// Changes the process's current directory. False when that fails.
bool ChangeDirectory(std::string_view path);

}  // namespace zt

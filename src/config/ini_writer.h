#pragma once
// Rewrites one key or one section of an INI file, line by line, with the same line rules as
// the reader. Every line not changed keeps its text; blank and comment lines stay where they
// were; a missing key goes to the end of its section. Each line is written with CR LF.
//
// The file is replaced atomically: the new contents go to a temporary file (eight random
// digits + ".tmp") in the target's folder, which is flushed and renamed over the target, and
// the folder is flushed too, so there is never a moment without the file. The new file keeps
// the old one's permission bits (and group where allowed); a symbolic link is written through
// to the file it points to.
#include <functional>
#include <string>
#include <string_view>

namespace zt {

// The call's effect follows from which texts are empty:
//   section, key, value all given: every line of the key in the section gets the new value;
//     a missing key is added at the end of its section; a missing section and key at the end
//     of the file.
//   value empty:   every line of the key in the section is removed.
//   key empty:     the section's header and its lines with "=" are removed.
//   section empty: every non-blank line is removed (blank and comment lines stay).
// A missing file is created. Returns false, with a message naming the file in *error, when
// the file cannot be read or replaced; the target is then unchanged and no temporary file is
// left behind.
bool WriteIniValue(std::string_view path, std::string_view section, std::string_view key,
                   std::string_view value, std::string* error = nullptr);

// The rewrite itself, on contents already in memory: the new file's bytes.
std::string RewriteIniText(std::string_view data, std::string_view section, std::string_view key,
                           std::string_view value);

// What the replace step may be given instead of the real system calls (tests use it to make
// the target impossible to replace). rename returns 0 or sets errno and returns -1.
struct IniWriteOptions {
  std::function<int(const char* from, const char* to)> rename;
  int maxAttempts = 5;  // copies tried while the target is busy
  int pauseMilliseconds = 20;
};

bool WriteIniValue(std::string_view path, std::string_view section, std::string_view key,
                   std::string_view value, std::string* error, const IniWriteOptions& options);

}  // namespace zt

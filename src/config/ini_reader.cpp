#include "config/ini_reader.h"

#include "config/ini_syntax.h"
#include "platform/files.h"

namespace zt {

std::string ReadIniValueFromText(std::string_view data, std::string_view section,
                                 std::string_view key) {
  std::string result;
  bool inSection = false;
  ini::ForEachLine(data, [&](std::string_view rawLine, std::size_t, std::size_t) {
    std::string_view line = ini::StripCommentAndIndent(rawLine);
    if (ini::IsAllBlanks(line)) return true;
    if (!inSection) {
      if (line[0] == '[' && ini::NamesEqual(ini::SectionName(line), section)) inSection = true;
      return true;
    }
    if (line[0] == '[') return false;  // the section ended without the key
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return true;
    if (!ini::NamesEqual(line.substr(0, equals), key)) return true;
    result.assign(line.substr(equals + 1));
    return false;
  });
  if (result.size() >= 2 && result.front() == '"' && result.back() == '"') {
    result = result.substr(1, result.size() - 2);
  }
  return result;
}

std::string ReadIniValue(std::string_view path, std::string_view section,
                         std::string_view key) {
  std::string data;
  if (!ReadWholeFile(path, data)) return {};
  return ReadIniValueFromText(data, section, key);
}

}  // namespace zt

#include "locale/translate.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/files.h"

namespace zt {

namespace {

// Reads the comma-separated values of a language file one after another, across lines.
class ValueReader {
 public:
  explicit ValueReader(std::string_view data) : data_(data.substr(0, data.find('\x1A'))) {}

  bool AtEnd() const { return pos_ >= data_.size(); }

  // The next value; false (and an empty value) when the data had already ended.
  bool Next(std::string& value) {
    value.clear();
    if (AtEnd()) return false;
    while (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;
    if (pos_ < data_.size() && data_[pos_] == '"') {
      // Quoted: everything up to the closing quote, commas and line ends included. A file
      // cut before the closing quote gives the rest of the data.
      std::size_t close = data_.find('"', pos_ + 1);
      if (close == std::string_view::npos) close = data_.size();
      value.assign(data_.substr(pos_ + 1, close - pos_ - 1));
      pos_ = close < data_.size() ? close + 1 : close;
    } else {
      while (pos_ < data_.size() && data_[pos_] != ',' && data_[pos_] != '\r') {
        char c = data_[pos_++];
        if (c != '\n' && c != '\t') value += c;
      }
    }
    while (pos_ < data_.size() &&
           (data_[pos_] == ' ' || data_[pos_] == '\t' || data_[pos_] == '\n')) {
      ++pos_;
    }
    if (pos_ < data_.size() && data_[pos_] == ',') {
      ++pos_;
    } else if (pos_ < data_.size() && data_[pos_] == '\r') {
      ++pos_;
      if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
    }
    return true;
  }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

// Creates the file empty when it is missing; an existing file is left as it is. Failure
// (a missing folder, no permission) only means there is nothing to read.
void EnsureFileExists(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0) ::close(fd);
}

}  // namespace

std::string TranslateFromText(std::string_view data, std::string_view language,
                              std::string_view text) {
  const std::string_view code = language.substr(0, 3);
  ValueReader reader(data);
  std::string key;
  std::string galician;
  std::string occitan;
  std::string spanish;
  while (!reader.AtEnd()) {
    reader.Next(key);
    if (reader.AtEnd()) break;  // a key with nothing after it is never matched
    const bool haveGalician = reader.Next(galician);
    const bool haveOccitan = reader.Next(occitan);
    const bool haveSpanish = reader.Next(spanish);
    if (key != text) continue;
    // A record cut short by the end of the file keeps the text for its missing values.
    if (code == "SPA") return haveSpanish ? spanish : std::string(text);
    if (code == "GLG") return haveGalician ? galician : std::string(text);
    if (code == "OCI") return haveOccitan ? occitan : std::string(text);
    break;
  }
  return std::string(text);
}

std::string Translate(Runtime& rt, std::string_view text) {
  const std::string& language = rt.session.Language;
  if (language.compare(0, 3, "CAT") == 0) return std::string(text);
  if (rt.locale.languageBase.empty()) rt.locale.languageBase = rt.session.ProgramName;
  const std::string path =
      ResolvePath(rt.session.RootDir + "LOCALE\\" + rt.locale.languageBase + ".LNG");
  EnsureFileExists(path);
  std::string data;
  if (!ReadWholeFile(path, data)) return std::string(text);
  return TranslateFromText(data, language, text);
}

}  // namespace zt

#include "forms/form_loader.h"

#include <algorithm>
#include <cstddef>

#include "app/runtime.h"
#include "config/numeric_text.h"
#include "forms/form_definition.h"
#include "locale/translate.h"
#include "platform/files.h"

namespace zt {
namespace {

// The widest value a field can have: the whole 80 x 25 screen.
constexpr std::int16_t kMaxFieldWidth = 2000;

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// Reads values by the file's rules: values separated by commas or line ends (numbers also
// by blanks), texts in double quotes running over commas and lines. A line ends with CR LF;
// a lone CR or LF also ends one, since files edited on Linux lose their CRs.
class ValueReader {
 public:
  explicit ValueReader(std::string_view data) : data_(data) {}

  bool AtEnd() const { return pos_ >= data_.size(); }
  std::size_t Position() const { return pos_; }
  bool Failed() const { return failed_; }
  std::size_t FailedAt() const { return failedAt_; }

  // At the beginning of a record: passes over whole lines whose first non-blank character
  // is an apostrophe.
  void SkipCommentLines() {
    while (!AtEnd()) {
      std::size_t p = pos_;
      while (p < data_.size() && data_[p] == ' ') ++p;
      if (p >= data_.size() || data_[p] != '\'') return;
      while (p < data_.size() && !IsLineEnd(data_[p])) ++p;
      pos_ = p;
      ConsumeLineEnd();
    }
  }

  std::int16_t Number() {
    SkipBlanks();
    std::string text;
    while (!AtEnd() && data_[pos_] != ',' && data_[pos_] != ' ' && !IsLineEnd(data_[pos_])) {
      if (data_[pos_] != '\t') text.push_back(data_[pos_]);
      ++pos_;
    }
    EndValue();
    return Int16Value(text);
  }

  std::string Text() {
    SkipBlanks();
    std::string text;
    if (!AtEnd() && data_[pos_] == '"') {
      const std::size_t close = data_.find('"', pos_ + 1);
      if (close == std::string_view::npos) {
        // Taking the rest of the file as one text would hide the fault: report it.
        if (!failed_) failedAt_ = pos_;
        failed_ = true;
        pos_ = data_.size();
        return text;
      }
      text.assign(data_.substr(pos_ + 1, close - pos_ - 1));
      pos_ = close + 1;
    } else {
      while (!AtEnd() && data_[pos_] != ',' && !IsLineEnd(data_[pos_])) {
        if (data_[pos_] != '\t') text.push_back(data_[pos_]);
        ++pos_;
      }
    }
    EndValue();
    return text;
  }

  // 1-based line number of a position, for messages.
  std::size_t LineAt(std::size_t position) const {
    const std::string_view before = data_.substr(0, std::min(position, data_.size()));
    std::size_t line = 1;
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (before[i] == '\n' ||
          (before[i] == '\r' && (i + 1 >= before.size() || before[i + 1] != '\n')))
        ++line;
    }
    return line;
  }

 private:
  void SkipBlanks() {
    while (!AtEnd() && data_[pos_] == ' ') ++pos_;
  }

  void ConsumeLineEnd() {
    if (AtEnd()) return;
    if (data_[pos_] == '\r') {
      ++pos_;
      if (!AtEnd() && data_[pos_] == '\n') ++pos_;
    } else if (data_[pos_] == '\n') {
      ++pos_;
    }
  }

  // After a value: blanks and tabs, then one comma or one line end.
  void EndValue() {
    while (!AtEnd() && (data_[pos_] == ' ' || data_[pos_] == '\t')) ++pos_;
    if (AtEnd()) return;
    if (data_[pos_] == ',')
      ++pos_;
    else
      ConsumeLineEnd();
  }

  std::string_view data_;
  std::size_t pos_ = 0;
  bool failed_ = false;
  std::size_t failedAt_ = 0;
};

class Loader {
 public:
  Loader(Runtime& rt, std::string_view data, std::string_view fileName, FormDefinition& def,
         std::string& error)
      : rt_(rt), in_(data), fileName_(fileName), def_(def), error_(error) {}

  bool Run() {
    def_ = FormDefinition{};
    in_.SkipCommentLines();
    if (in_.AtEnd()) return Fail("the file is empty");
    def_.FormCount = in_.Number();
    def_.MaxFields = in_.Number();
    if (def_.FormCount < 1) return Fail("the form count is " + std::to_string(def_.FormCount));
    if (def_.MaxFields < 0) return Fail("the field maximum is " + std::to_string(def_.MaxFields));
    def_.forms.emplace_back();  // entry 0
    for (int n = 1; n <= def_.FormCount; ++n) {
      if (!ReadForm(n)) return false;
    }
    def_.browses.emplace_back();  // entry 0
    // A file may end after its forms: it has no browse lists.
    if (in_.AtEnd()) return true;
    in_.SkipCommentLines();
    const std::int16_t browseCount = in_.Number();
    if (!CheckText()) return false;
    if (browseCount < 0) return Fail("the browse list count is " + std::to_string(browseCount));
    for (int k = 1; k <= browseCount; ++k) {
      if (!ReadBrowse(k, browseCount)) return false;
    }
    def_.BrowseCount = browseCount;
    return true;
  }

 private:
  bool ReadForm(int n) {
    in_.SkipCommentLines();
    if (in_.AtEnd())
      return Fail("it ends after form " + std::to_string(n - 1) + " of " +
                  std::to_string(def_.FormCount));
    const std::size_t start = in_.Position();
    Form form;
    form.KeyList = in_.Text();
    form.FieldCount = in_.Number();
    form.NextForm = in_.Number();
    form.WindowTop = in_.Number();
    form.WindowLeft = in_.Number();
    form.WindowBottom = in_.Number();
    form.WindowRight = in_.Number();
    if (!CheckText()) return false;
    const std::string where =
        "form " + std::to_string(n) + " (line " + std::to_string(in_.LineAt(start)) + ")";
    if (form.FieldCount < 0 || form.FieldCount > def_.MaxFields)
      return Fail(where + " has " + std::to_string(form.FieldCount) +
                  " fields; the field maximum is " + std::to_string(def_.MaxFields));
    form.fields.emplace_back();  // entry 0
    for (int j = 1; j <= form.FieldCount; ++j) {
      if (in_.AtEnd())
        return Fail(where + " ends after field " + std::to_string(j - 1) + " of " +
                    std::to_string(form.FieldCount));
      const std::size_t fieldStart = in_.Position();
      FormField field;
      field.Row = in_.Number();
      field.Column = in_.Number();
      field.Label = in_.Text();
      field.Width = in_.Number();
      field.LineLength = in_.Number();
      field.ExtraWidth = in_.Number();
      field.Flags = in_.Number();
      field.Kind = in_.Number();
      field.BrowseNumber = in_.Number();
      field.Options = in_.Text();
      if (!CheckText()) return false;
      if (field.Width < 0 || field.Width > kMaxFieldWidth)
        return Fail("field " + std::to_string(j) + " of form " + std::to_string(n) + " (line " +
                    std::to_string(in_.LineAt(fieldStart)) + ") has the width " +
                    std::to_string(field.Width));
      AssignValue(field, "");
      field.Label = TranslateText(field.Label);
      field.Options = TranslateText(field.Options);
      form.fields.push_back(std::move(field));
    }
    def_.forms.push_back(std::move(form));
    return true;
  }

  bool ReadBrowse(int k, int count) {
    in_.SkipCommentLines();
    if (in_.AtEnd())
      return Fail("it ends after browse list " + std::to_string(k - 1) + " of " +
                  std::to_string(count));
    BrowseDefinition browse;
    browse.FileHandle = in_.Number();
    browse.KeyNumber = in_.Number();
    browse.WindowTop = in_.Number();
    browse.WindowLeft = in_.Number();
    browse.WindowBottom = in_.Number();
    browse.WindowRight = in_.Number();
    browse.FilterForm = in_.Number();
    browse.Header = in_.Text();
    browse.NestedBrowse = in_.Number();
    if (!CheckText()) return false;
    browse.Header = TranslateText(browse.Header);
    def_.browses.push_back(std::move(browse));
    return true;
  }

  // An empty text stays empty: an empty option list must never become a list.
  std::string TranslateText(const std::string& text) {
    return text.empty() ? text : Translate(rt_, text);
  }

  bool CheckText() {
    if (!in_.Failed()) return true;
    return Fail("a quoted text that starts on line " + std::to_string(in_.LineAt(in_.FailedAt())) +
                " has no closing quote");
  }

  bool Fail(const std::string& problem) {
    def_ = FormDefinition{};
    error_ = "The form file " + std::string(fileName_) + " cannot be used: " + problem + ".";
    return false;
  }

  Runtime& rt_;
  ValueReader in_;
  std::string_view fileName_;
  FormDefinition& def_;
  std::string& error_;
};

}  // namespace

std::string FormDefinitionPath(const Runtime& rt) {
  return ResolvePath(rt.session.RootDir + "FORMS\\" + rt.session.ProgramName + ".QFM");
}

bool ParseFormDefinition(Runtime& rt, std::string_view contents, std::string_view fileName,
                         FormDefinition& def, std::string& error) {
  error.clear();
  return Loader(rt, contents, fileName, def, error).Run();
}

bool LoadFormDefinition(Runtime& rt, std::string& error) {
  error.clear();
  const std::string path = FormDefinitionPath(rt);
  std::string contents;
  if (!ReadWholeFile(path, contents)) {
    rt.forms.definition = FormDefinition{};
    error = "The form file " + path + " cannot be opened.";
    return false;
  }
  // Parse into a fresh definition so a failed load leaves nothing half-filled.
  FormDefinition loaded;
  if (!ParseFormDefinition(rt, contents, path, loaded, error)) {
    rt.forms.definition = FormDefinition{};
    return false;
  }
  rt.forms.definition = std::move(loaded);
  return true;
}

}  // namespace zt

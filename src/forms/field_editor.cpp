// EditField: the editing loop of one field (free text or a choice from an option list).
#include "forms/field_editor.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "app/runtime.h"
#include "forms/edit_options.h"
#include "forms/edit_text_ops.h"
#include "platform/keycodes.h"
#include "screen/key_input.h"
#include "screen/styles.h"
#include "screen/windows.h"

namespace zt {

namespace {

constexpr std::int16_t kCtrlC = 3;
constexpr std::int16_t kCtrlV = 22;
constexpr std::int16_t kCtrlY = 25;
constexpr std::int16_t kCtrlF4 = 24832;
constexpr std::int16_t kAltF4 = 27392;
constexpr std::int16_t kCtrlLeft = 29440;
constexpr std::int16_t kCtrlRight = 29696;
constexpr std::int16_t kCtrlHome = 30464;

constexpr char32_t kLeftMarker = 0x25C4;
constexpr char32_t kRightMarker = 0x25BA;

std::int16_t Clamp16(long value) {
  return static_cast<std::int16_t>(std::clamp<long>(value, std::numeric_limits<std::int16_t>::min(),
                                                    std::numeric_limits<std::int16_t>::max()));
}

class FieldEditor {
 public:
  FieldEditor(Runtime& rt, std::int16_t& row, std::int16_t& column, std::int16_t& lineLength,
              std::string& text, std::int16_t& cursor)
      : rt_(rt), text_(text), cursorArg_(cursor) {
    // 0 means "where the cursor is"; the place is relative to the current window.
    if (row == 0) row = Clamp16(long{rt.console.CursorRow()} - WindowFirstRow(rt) + 1);
    if (column == 0) {
      column = Clamp16(long{rt.console.CursorColumn()} - WindowFirstColumn(rt) + 1);
    }
    length_ = static_cast<int>(text.size());
    if (lineLength <= 0) lineLength = Clamp16(long{length_} + 1);
    row_ = row;
    column_ = column;
    lineLength_ = std::max<int>(lineLength, 1);
    end_ = length_ + 1;
    cursor_ = std::clamp<int>(cursor, 1, end_);
    options_ = edit::ParseOptions(rt.forms.CurrentOptions);
    optionMode_ = !options_.empty();
    if (optionMode_) {
      for (const auto& option : options_) {
        optionWidth_ = std::max(optionWidth_, static_cast<int>(option.text.size()));
      }
      selected_ = edit::SelectedOption(options_, text_);
    }
  }

  std::int16_t Run();

 private:
  enum class Step { Continue, Leave };

  bool Hidden() const { return rt_.screen.hiddenInputChar != 0; }
  void Locate(long row, long column) {
    std::int16_t r = Clamp16(row);
    std::int16_t c = Clamp16(column);
    LocateInWindow(rt_, r, c);
  }
  // Screen place of the field's first character.
  int ScreenTop() const { return row_ + WindowFirstRow(rt_) - 1; }
  int ScreenLeft() const { return column_ + WindowFirstColumn(rt_) - 1; }
  // A marker off the screen would land on the field itself (or wrap): leave it out.
  bool LeftMarkerOnScreen() const { return ScreenLeft() - 1 >= 1; }
  bool RightMarkerOnScreen() const { return ScreenLeft() + optionWidth_ <= rt_.console.Columns(); }

  void Draw();
  void ShowCursor();
  std::int16_t ReadEditorKey();
  Step Click(std::int16_t& key);
  Step FreeTextKey(std::int16_t key);
  Step OptionKey(std::int16_t key);
  void TypeCharacter(char ch);
  void Copy();
  void Paste();
  std::string TakePasteText();
  // Translates and filters a leaving key; false when the key is swallowed.
  bool Leaving(std::int16_t& key);

  Runtime& rt_;
  std::string& text_;
  std::int16_t& cursorArg_;
  int row_ = 0;
  int column_ = 0;
  int lineLength_ = 1;
  int length_ = 0;
  int end_ = 1;
  int cursor_ = 1;
  std::vector<edit::Option> options_;
  bool optionMode_ = false;
  int optionWidth_ = 0;
  std::size_t selected_ = 0;
  // Where the latest click was (screen row and column) and whether the key came from it.
  bool fromMouse_ = false;
  int clickRow_ = 0;
  int clickColumn_ = 0;
};

void FieldEditor::Draw() {
  if (optionMode_) text_ = edit::FitToWidth(options_[selected_].code, text_.size());
  if (Hidden()) {
    const char shown = static_cast<char>(rt_.screen.hiddenInputChar);
    const int copies = std::min(lineLength_ - 1, length_);
    for (int k = 0; k * lineLength_ < length_; ++k) {
      Locate(long{row_} + k, column_);
      rt_.console.Write(std::string(static_cast<std::size_t>(copies), shown));
    }
  } else if (optionMode_) {
    Locate(row_, column_);
    rt_.console.Write(edit::FitToWidth(options_[selected_].text, optionWidth_));
  } else {
    for (int k = 0; k * lineLength_ < length_; ++k) {
      Locate(long{row_} + k, column_);
      rt_.console.Write(
          std::string_view(text_).substr(static_cast<std::size_t>(k) * lineLength_, lineLength_));
    }
  }
}

void FieldEditor::ShowCursor() {
  long line = (cursor_ - 1) / lineLength_;
  long offset = (cursor_ - 1) % lineLength_;
  // At the end of a full line the cursor stays just after its last character rather than
  // jumping to a line of its own.
  if (cursor_ == end_ && cursor_ > 1 && offset == 0) {
    line = (cursor_ - 2) / lineLength_;
    offset = lineLength_;
  }
  Locate(row_ + line, column_ + offset);
  rt_.console.SetCursorHeight(rt_.forms.editor.insertMode ? 50 : 100);
  rt_.console.SetCursorVisible(true);
}

std::int16_t FieldEditor::ReadEditorKey() {
  for (;;) {
    std::int16_t key = 0;
    std::int16_t button = 0;
    std::int16_t mouseRow = 0;
    std::int16_t mouseColumn = 0;
    ReadKey(rt_, key, button, mouseRow, mouseColumn);
    if (key == keys::kInsert) {
      rt_.forms.editor.insertMode = !rt_.forms.editor.insertMode;
      rt_.console.SetCursorHeight(rt_.forms.editor.insertMode ? 50 : 100);
      continue;
    }
    if (key != 0) {
      fromMouse_ = false;
      return key;
    }
    if (button != 0) {
      fromMouse_ = true;
      clickRow_ = mouseRow;
      clickColumn_ = mouseColumn;
      return Clamp16(-(long{mouseColumn} * 100 + mouseRow));
    }
    rt_.console.WaitForInput(-1);
  }
}

FieldEditor::Step FieldEditor::Click(std::int16_t& key) {
  const int top = ScreenTop();
  const int left = ScreenLeft();
  if (!optionMode_) {
    const int rows = end_ / lineLength_;
    if (clickRow_ >= top && clickRow_ < top + rows && clickColumn_ >= left &&
        clickColumn_ <= left + lineLength_ - 1) {
      cursor_ = std::min(end_, (clickRow_ - top) * lineLength_ + (clickColumn_ - left) + 1);
      return Step::Continue;
    }
    return Step::Leave;
  }
  if (clickRow_ != top || clickColumn_ < left - 1 || clickColumn_ > left + optionWidth_) {
    return Step::Leave;
  }
  // On the markers a click steps through the list; on the text it is an ordinary key 0.
  fromMouse_ = false;
  if (clickColumn_ == left - 1) return OptionKey(keys::kLeft);
  if (clickColumn_ == left + optionWidth_) return OptionKey(keys::kRight);
  key = 0;
  return Step::Leave;
}

void FieldEditor::TypeCharacter(char ch) {
  if (rt_.forms.editor.insertMode) {
    if (cursor_ < end_ && edit::InsertChar(text_, cursor_, ch)) {
      Draw();
      ++cursor_;
    }
    return;
  }
  if (cursor_ >= end_) return;
  text_[cursor_ - 1] = ch;
  if (!Hidden()) {
    Locate(long{row_} + (cursor_ - 1) / lineLength_, long{column_} + (cursor_ - 1) % lineLength_);
    rt_.console.Write(std::string_view(&ch, 1));
  }
  ++cursor_;
}

void FieldEditor::Copy() {
  // What is typed blind stays off the clipboards.
  if (Hidden()) return;
  const std::string copied(optionMode_ ? std::string_view(options_[selected_].text)
                                       : edit::TrimBlanks(text_));
  rt_.forms.editor.clipboard = copied;
  rt_.console.CopyToClipboard(copied);
}

std::string FieldEditor::TakePasteText() {
  // A paste from the terminal comes first; otherwise the program's own clipboard.
  if (!rt_.screen.pastedText.empty()) {
    std::string text = std::move(rt_.screen.pastedText);
    rt_.screen.pastedText.clear();
    return text;
  }
  return rt_.forms.editor.clipboard;
}

void FieldEditor::Paste() {
  const std::string cleaned = edit::CleanPastedText(TakePasteText());
  if (cleaned.empty()) return;
  edit::WriteOver(text_, cursor_, cleaned);
  Draw();
}

bool IsPrintable(std::int16_t key, std::int16_t lowest) {
  return (key >= lowest && key <= 126) || (key >= 128 && key <= 254);
}

FieldEditor::Step FieldEditor::FreeTextKey(std::int16_t key) {
  if (IsPrintable(key, 32)) {
    TypeCharacter(static_cast<char>(key));
    return Step::Continue;
  }
  switch (key) {
    case keys::kLeft:
      if (cursor_ > 1) --cursor_;
      return Step::Continue;
    case keys::kRight:
      if (cursor_ < end_) ++cursor_;
      return Step::Continue;
    case keys::kBackspace:
      if (cursor_ > 1) {
        --cursor_;
        edit::DeleteChar(text_, cursor_);
        Draw();
      }
      return Step::Continue;
    case keys::kDelete:
      if (cursor_ < end_) {
        edit::DeleteChar(text_, cursor_);
        Draw();
      }
      return Step::Continue;
    case keys::kHome:
      cursor_ = 1;
      return Step::Continue;
    case keys::kEnd:
      cursor_ = static_cast<int>(text_.find_last_not_of(' ') + 1) + 1;
      return Step::Continue;
    case kCtrlHome:
    case kCtrlY:
      text_.assign(text_.size(), ' ');
      cursor_ = 1;
      Draw();
      return Step::Continue;
    case keys::kUp:
    case keys::kShiftTab:
      if (cursor_ <= lineLength_) return Step::Leave;
      cursor_ -= lineLength_;
      return Step::Continue;
    case keys::kDown:
      if (cursor_ > end_ - lineLength_) return Step::Leave;
      cursor_ += lineLength_;
      return Step::Continue;
    case kCtrlLeft:
      if (cursor_ < 2) return Step::Leave;
      cursor_ = edit::WordLeft(text_, cursor_);
      return Step::Continue;
    case kCtrlRight:
      if (cursor_ >= end_) return Step::Leave;
      cursor_ = edit::WordRight(text_, cursor_);
      return Step::Continue;
    case kCtrlC:
      Copy();
      return Step::Continue;
    case kCtrlV:
      Paste();
      return Step::Continue;
    default:
      return Step::Leave;
  }
}

FieldEditor::Step FieldEditor::OptionKey(std::int16_t key) {
  const std::size_t count = options_.size();
  if (IsPrintable(key, 33)) {
    const std::size_t found =
        edit::SearchByFirstLetter(rt_, options_, selected_, static_cast<char>(key));
    if (found != selected_) {
      selected_ = found;
      Draw();
    }
    return Step::Continue;
  }
  switch (key) {
    case ' ':
    case keys::kRight:
      selected_ = (selected_ + 1) % count;
      Draw();
      return Step::Continue;
    case keys::kLeft:
      selected_ = (selected_ + count - 1) % count;
      Draw();
      return Step::Continue;
    case keys::kHome:
      cursor_ = 1;
      return Step::Continue;
    case keys::kEnd:
      cursor_ = static_cast<int>(text_.find_last_not_of(' ') + 1) + 1;
      return Step::Continue;
    case kCtrlV:
      // A terminal paste has no place in a choice; drop it so it cannot land elsewhere.
      rt_.screen.pastedText.clear();
      return Step::Continue;
    case kCtrlC:
      Copy();
      return Step::Continue;
    case keys::kBackspace:
    case keys::kDelete:
    case kCtrlHome:
    case kCtrlY:
      return Step::Continue;
    default:
      return Step::Leave;
  }
}

bool FieldEditor::Leaving(std::int16_t& key) {
  std::int16_t delivered = 0;
  switch (key) {
    case keys::kShiftTab:
      key = keys::kUp;
      break;
    case keys::kTab:
      key = keys::kEnter;
      break;
    case keys::kEnter:
      if (LookUpKeySet(rt_, keys::kEnd, delivered)) key = keys::kEnd;
      break;
    case kCtrlF4:
    case kAltF4:
      key = keys::kEsc;
      break;
    default:
      break;
  }
  if (!KeySetActive(rt_)) return true;
  if (LookUpKeySet(rt_, key, delivered)) {
    key = delivered;
    return true;
  }
  // A click outside the field leaves so that the form can make another field current.
  return fromMouse_;
}

std::int16_t FieldEditor::Run() {
  if (optionMode_) {
    if (LeftMarkerOnScreen()) {
      Locate(row_, long{column_} - 1);
      rt_.console.WriteCodePoint(kLeftMarker);
    }
    if (RightMarkerOnScreen()) {
      Locate(row_, long{column_} + optionWidth_);
      rt_.console.WriteCodePoint(kRightMarker);
    }
    rt_.console.SetCursorVisible(false);
  }
  SetStyle(rt_, "u");
  Draw();
  std::int16_t key = 0;
  for (;;) {
    if (!optionMode_) ShowCursor();
    key = ReadEditorKey();
    rt_.console.SetCursorVisible(false);
    Step step = Step::Leave;
    if (fromMouse_) {
      step = Click(key);
    } else {
      step = optionMode_ ? OptionKey(key) : FreeTextKey(key);
    }
    if (step == Step::Continue) continue;
    if (Leaving(key)) break;
    Draw();
  }
  SetStyle(rt_, "h");
  if (optionMode_) {
    if (LeftMarkerOnScreen()) {
      Locate(row_, long{column_} - 1);
      rt_.console.Write(" ");
    }
    if (RightMarkerOnScreen()) {
      Locate(row_, long{column_} + optionWidth_);
      rt_.console.Write(" ");
    }
  }
  Locate(row_, column_);
  cursorArg_ = Clamp16(cursor_);
  return key;
}

}  // namespace

void EditField(Runtime& rt, std::int16_t& row, std::int16_t& column, std::int16_t& lineLength,
               std::string& text, std::int16_t& cursor, std::int16_t& key) {
  FieldEditor editor(rt, row, column, lineLength, text, cursor);
  key = editor.Run();
}

}  // namespace zt

#include "forms/form_loop.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/runtime.h"
#include "config/numeric_text.h"
#include "forms/edit_options.h"
#include "forms/field_editor.h"
#include "forms/form_definition.h"
#include "locale/number_format.h"
#include "locale/translate.h"
#include "platform/keycodes.h"
#include "screen/help.h"
#include "screen/key_input.h"
#include "screen/styles.h"
#include "screen/windows.h"

namespace zt {
namespace {

constexpr std::int16_t kCtrlB = 2;
constexpr std::int16_t kF2 = keys::FunctionKey(2);
constexpr std::int16_t kF4 = keys::FunctionKey(4);

// Screen arithmetic on 16-bit positions read from the form file: never overflows.
std::int16_t Clamp16(long value) {
  if (value > 32767) return 32767;
  if (value < -32768) return -32768;
  return static_cast<std::int16_t>(value);
}

std::int16_t ValueColumn(const FormField& f) {
  return Clamp16(static_cast<long>(f.Column) + static_cast<long>(f.Label.size()));
}

std::string TrimRight(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

bool IsDisplayOnly(const FormField& f) {
  return (f.Flags & kDisplayOnly) != 0;
}
bool StartsBlank(const FormField& f) {
  return (f.Flags & (kBlankStart | kHidden)) != 0;
}

// The lowest and highest field numbers that can be entered (first > last when none).
void EditableRange(const Form& form, std::int16_t& first, std::int16_t& last) {
  first = Clamp16(static_cast<long>(form.FieldCount) + 1);
  last = 0;
  for (std::int16_t j = 1; j <= form.FieldCount && static_cast<std::size_t>(j) < form.fields.size();
       ++j) {
    if (IsDisplayOnly(form.fields[static_cast<std::size_t>(j)])) continue;
    if (first > j) first = j;
    last = j;
  }
}

// Keys with which a continuation form hands control back to the form before it.
bool EndsChain(std::int16_t key) {
  return key == keys::kPgUp || key == keys::kPgDn || key == keys::kEnd || key == kCtrlB ||
         key == keys::kEnter || key == keys::kDown || key == keys::kUp;
}

// The field under a mouse click (-(column * 100 + row) in screen coordinates); 0 = none.
std::int16_t HitTest(const Form& form, std::int16_t key) {
  const long click = -static_cast<long>(key);
  const long row = click % 100 - form.WindowTop;
  const long column = click / 100 - form.WindowLeft;
  for (std::int16_t j = 1; j <= form.FieldCount && static_cast<std::size_t>(j) < form.fields.size();
       ++j) {
    const FormField& f = form.fields[static_cast<std::size_t>(j)];
    if (IsDisplayOnly(f)) continue;
    long lines = 1;
    long lineWidth = f.Width;
    if (f.LineLength > 0) {
      lines = f.Width / f.LineLength;
      lineWidth = f.LineLength;
    }
    if (f.Row <= row && row < f.Row + lines && f.Column <= column &&
        column < static_cast<long>(f.Column) + static_cast<long>(f.Label.size()) + lineWidth +
                     f.ExtraWidth)
      return j;
  }
  return 0;
}

// The option text shown for a value: the option whose code is the value exactly or once
// padded to the field's width (the editor stores codes padded). False when none matches.
bool OptionText(const FormField& f, std::string& text) {
  for (const edit::Option& option : edit::ParseOptions(f.Options)) {
    if (option.code == f.Value || edit::FitToWidth(option.code, f.Value.size()) == f.Value) {
      text = option.text;
      return true;
    }
  }
  return false;
}

class FormRun {
 public:
  FormRun(Runtime& rt, std::int16_t form, bool continuation, std::int16_t leaveOnPgUp,
          std::int16_t leaveOnPgDn, std::int16_t& key)
      : rt_(rt),
        def_(rt.forms.definition),
        formNumber_(form),
        continuation_(continuation),
        leaveOnPgUp_(leaveOnPgUp),
        leaveOnPgDn_(leaveOnPgDn),
        key_(key) {}

  void Run() {
    Form* form = FindForm(def_, formNumber_);
    if (form == nullptr) return;
    bool windowOpened = false;
    if (form->WindowTop != 0) {
      SetStyle(rt_, "+n");
      OpenWindow(rt_, form->WindowTop, form->WindowLeft, form->WindowBottom, form->WindowRight);
      DrawFrame(rt_, kFrameDouble);
      SetStyle(rt_, "-");
      windowOpened = true;
    }
    DrawForm(rt_, formNumber_);
    EditableRange(*form, first_, last_);
    bool leaving = first_ > last_;
    if (!leaving) leaving = ResumeChain();
    std::int16_t field = first_;
    for (;;) {
      if (!leaving) FieldLoop(field);
      if (FormExitHook(rt_, formNumber_, key_) == 0) break;
      field = first_;
      leaving = false;
    }
    if (windowOpened) CloseWindow(rt_);
  }

 private:
  Form& CurrentForm() { return def_.forms[static_cast<std::size_t>(formNumber_)]; }

  // The continuation form that follows this one, 0 when there is none (or it does not
  // exist in the file).
  std::int16_t NextFormNumber() {
    const std::int16_t next = CurrentForm().NextForm;
    return next > 0 && FindForm(def_, next) != nullptr ? next : 0;
  }

  // Runs the continuation form; true when it handed back a key that leaves this form too.
  bool RunContinuation() {
    std::int16_t next = static_cast<std::int16_t>(-NextFormNumber());
    RunForm(rt_, next, leaveOnPgUp_, leaveOnPgDn_, key_);
    return EndsChain(key_);
  }

  // Re-entering a chain of continuation forms that was left with PgUp/PgDn: goes straight
  // to the form that was left. True when that run ended this form's run too.
  bool ResumeChain() {
    std::int16_t& resume = rt_.forms.ResumeForm;
    if (resume != 0) {
      // A cycle of links would never end: at most FormCount links are followed.
      bool found = false;
      std::int16_t n = formNumber_;
      for (int links = 0; n != 0 && links <= def_.FormCount; ++links) {
        if (n == resume) {
          found = true;
          break;
        }
        const Form* f = FindForm(def_, n);
        n = f != nullptr ? f->NextForm : 0;
      }
      if (!found) resume = 0;
    }
    if (resume > 0 && resume != formNumber_ && NextFormNumber() != 0) {
      return RunContinuation();
    }
    resume = 0;
    return false;
  }

  void FieldLoop(std::int16_t& field) {
    while (field >= first_ && field <= last_ && field > 0) {
      FormField* f = FindField(def_, formNumber_, field);
      if (f == nullptr) break;
      if (!IsDisplayOnly(*f)) VisitField(field);
      if (!ActOnKey(field)) break;
    }
  }

  // Steps through one edit of a field: key set, working text, editor, store. Leaves
  // key_ as the key to act on.
  void VisitField(std::int16_t& field) {
    const std::int16_t visited = field;
    FormField* f = FindField(def_, formNumber_, visited);
    const bool hidden = (f->Flags & kHidden) != 0;
    SetKeySet(rt_, "+ea", CurrentForm().KeyList + ",3b00");
    std::string text = StartsBlank(*f) ? std::string(f->Value.size(), ' ') : f->Value;
    if (hidden) SetKeySet(rt_, "h", "");
    if (f->ExtraWidth != 0) {
      LocateInWindow(rt_, f->Row, Clamp16(static_cast<long>(ValueColumn(*f)) + f->Width));
      rt_.console.Write(
          std::string(static_cast<std::size_t>(std::max<int>(f->ExtraWidth, 0)), ' '));
    }
    for (;;) {
      f = FindField(def_, formNumber_, visited);
      rt_.forms.CurrentOptions = f->Options;
      std::int16_t cursor = (f->Flags & kCursorAtEnd) != 0
                                ? Clamp16(static_cast<long>(TrimRight(text).size()) + 1)
                                : 1;
      std::int16_t row = f->Row;
      std::int16_t column = ValueColumn(*f);
      std::int16_t lineLength = f->LineLength;
      EditField(rt_, row, column, lineLength, text, cursor, key_);
      std::int16_t rejected = 0;
      if (key_ == keys::kF1) {
        const std::string menu = TrimRight(rt_.session.MenuName);
        if (!menu.empty()) ShowHelp(rt_, menu);
        key_ = 0;
      } else if (key_ == kF4) {
        key_ = 0;
        if (f->BrowseNumber > 0) BrowseStep(field, f->BrowseNumber);
      } else {
        if (f->ExtraWidth != 0) {
          // A hidden field's typed text must not stay on the screen.
          LocateInWindow(rt_, f->Row, ValueColumn(*f));
          rt_.console.Write(hidden ? std::string(text.size(), ' ') : text);
          rt_.console.Write(
              std::string(static_cast<std::size_t>(std::max<int>(f->ExtraWidth, 0)), ' '));
        }
        if (key_ == keys::kEsc) {
          ShowFieldValue(rt_, formNumber_, visited);
        } else {
          if (StartsBlank(*f) && IsAllChar(text, ' ')) text = f->Value;
          rejected = StoreFieldValue(rt_, formNumber_, text, visited);
        }
      }
      EditableRange(CurrentForm(), first_, last_);
      if (rejected == 0) break;
      rt_.console.Beep();
    }
    text.clear();
    if (hidden) SetKeySet(rt_, "v", "");
    SetKeySet(rt_, "-", "");
  }

  // F4 on a field with a browse list.
  void BrowseStep(std::int16_t& field, std::int16_t browseNumber) {
    StringStack& stack = rt_.forms.stringStack;
    std::int16_t browse = browseNumber;
    for (;;) {
      std::int16_t cancelled = 1;  // without a browse list every browse is cancelled
      if (rt_.forms.runBrowse) {
        cancelled = 0;
        rt_.forms.runBrowse(rt_, browse, cancelled);
      }
      if (cancelled != 0) return;
      stack.Push(Int16Text(field));
      stack.Push(Int16Text(browse));
      BrowseSelectHook(rt_, browse, formNumber_, field);
      if (browse == 0) {
        browse = Int16FromText(stack.Pop());
        stack.Pop();
        continue;
      }
      stack.Pop();
      const std::int16_t saved = Int16FromText(stack.Pop());
      const Form& form = CurrentForm();
      if (field == saved) {
        key_ = (field == form.FieldCount && NextFormNumber() == 0) ? keys::kEnter : keys::kDown;
      } else {
        const FormField* f = FindField(def_, formNumber_, field);
        key_ = (field < form.FieldCount && f != nullptr && IsDisplayOnly(*f)) ? keys::kDown : 0;
      }
      return;
    }
  }

  // The key table. False when the run leaves the form (key_ is the leaving key).
  bool ActOnKey(std::int16_t& field) {
    const std::int16_t before = field;
    const FormField* current = FindField(def_, formNumber_, field);
    const bool wasDisplayOnly = current != nullptr && IsDisplayOnly(*current);
    std::int16_t& resume = rt_.forms.ResumeForm;
    switch (key_) {
      case keys::kPgUp:
        if (field > first_ || leaveOnPgUp_ == 0) {
          field = first_;
          resume = 0;
          break;
        }
        resume = formNumber_;
        return false;
      case keys::kPgDn:
        if (field < last_ || leaveOnPgDn_ == 0) {
          field = last_;
          resume = 0;
          break;
        }
        resume = formNumber_;
        return false;
      case keys::kEnd:
      case kCtrlB:
        return false;
      case keys::kEsc:
        if (field > first_) {
          field = first_;
          break;
        }
        return false;
      case keys::kEnter:
      case keys::kDown:
      case kF2: {
        const std::int16_t key = key_;
        if ((field == last_ || key == kF2) && NextFormNumber() > 0) {
          if (RunContinuation()) return false;
        } else if (key == keys::kEnter) {
          ++field;
        } else if (key == keys::kDown && field < last_) {
          ++field;
        }
        break;
      }
      case keys::kUp:
        if (field > first_) {
          --field;
          break;
        }
        if (continuation_) {
          key_ = keys::kEsc;
          return false;
        }
        break;
      case 0:
        break;
      default:
        if (key_ < 0) {
          const std::int16_t hit = HitTest(CurrentForm(), key_);
          if (hit != 0) field = hit;
          break;
        }
        return false;
    }
    // A field that is never entered is passed over: a key that would leave the loop on it
    // forever (it cannot be edited to give another) moves on downwards.
    if (wasDisplayOnly && field == before) ++field;
    return true;
  }

  Runtime& rt_;
  FormDefinition& def_;
  const std::int16_t formNumber_;
  const bool continuation_;
  const std::int16_t leaveOnPgUp_;
  const std::int16_t leaveOnPgDn_;
  std::int16_t& key_;
  std::int16_t first_ = 0;
  std::int16_t last_ = 0;
};

}  // namespace

void RunForm(Runtime& rt, std::int16_t& form, std::int16_t leaveOnPgUp, std::int16_t leaveOnPgDn,
             std::int16_t& key) {
  const bool continuation = form < 0;
  if (continuation) form = Clamp16(-static_cast<long>(form));
  FormRun(rt, form, continuation, leaveOnPgUp, leaveOnPgDn, key).Run();
}

void DrawForm(Runtime& rt, std::int16_t form) {
  Form* f = FindForm(rt.forms.definition, form);
  if (f == nullptr) return;
  SetStyle(rt, "rh");
  const std::string& title = rt.session.Title;
  // The column 41 - length / 2, rounded with halves to even; a title too long for the row
  // starts at column 1.
  const long column = std::lround(std::nearbyint(41.0 - static_cast<double>(title.size()) / 2.0));
  const int columns = rt.console.Columns();
  if (column >= 1) {
    rt.console.SetCursor(1, static_cast<int>(column));
    rt.console.Write(std::string_view(title).substr(
        0, static_cast<std::size_t>(std::max<long>(columns - column + 1, 0))));
  } else {
    rt.console.SetCursor(1, 1);
    rt.console.Write(std::string_view(title).substr(0, static_cast<std::size_t>(columns)));
  }
  SetStyle(rt, "n");
  rt.console.SetCursor(2, 1);
  rt.console.Write(Translate(rt, "                    SECCI\xE0 0      SECCI\xE0 1"));
  rt.console.SetCursor(3, 1);
  rt.console.Write(Translate(rt, "                    --------      --------"));
  for (std::size_t j = 1;
       j <= static_cast<std::size_t>(std::max<int>(f->FieldCount, 0)) && j < f->fields.size();
       ++j) {
    const FormField& field = f->fields[j];
    LocateInWindow(rt, field.Row, field.Column);
    rt.console.Write(field.Label);
  }
  SetStyle(rt, "h");
  for (std::int16_t j = 1; j <= f->FieldCount && static_cast<std::size_t>(j) < f->fields.size();
       ++j)
    ShowFieldValue(rt, form, j);
}

void ShowFieldValue(Runtime& rt, std::int16_t form, std::int16_t field) {
  const FormField* f = FindField(rt.forms.definition, form, field);
  if (f == nullptr) return;
  const std::int16_t column = ValueColumn(*f);
  LocateInWindow(rt, f->Row, column);
  if ((f->Flags & kHidden) != 0) return;
  if (f->Kind == kPercentKind) {
    rt.console.Write(FormatNumber(rt, "Z9.99 %", NumericValue(f->Value)));
    return;
  }
  if (!f->Options.empty()) {
    std::string text;
    if (!OptionText(*f, text)) return;
    text.resize(static_cast<std::size_t>(std::max<long>(
                    static_cast<long>(f->Width) + static_cast<long>(f->ExtraWidth), 0)),
                ' ');
    rt.console.Write(text);
    return;
  }
  if (f->LineLength > 0) {
    const std::size_t lineLength = static_cast<std::size_t>(f->LineLength);
    for (std::size_t start = 0, k = 0; start < f->Value.size(); start += lineLength, ++k) {
      LocateInWindow(rt, Clamp16(static_cast<long>(f->Row) + static_cast<long>(k)), column);
      rt.console.Write(std::string_view(f->Value).substr(start, lineLength));
    }
    return;
  }
  rt.console.Write(f->Value);
}

std::int16_t StoreFieldValue(Runtime& rt, std::int16_t form, std::string_view text,
                             std::int16_t field) {
  FormField* f = FindField(rt.forms.definition, form, field);
  if (f == nullptr) return -1;
  if (text != f->Value) rt.forms.definition.Changed = true;
  std::int16_t result = 0;
  if (f->Kind == kPercentKind) result = CheckNumberText(text, ".");
  if (result != 0) return result;
  AssignValue(*f, text);
  ShowFieldValue(rt, form, field);
  return 0;
}

std::int16_t FormExitHook(Runtime&, std::int16_t, std::int16_t) {
  return 0;
}

void BrowseSelectHook(Runtime&, std::int16_t&, std::int16_t, std::int16_t&) {}

}  // namespace zt

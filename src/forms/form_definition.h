#pragma once
// The loaded form definition file: the forms of the program, their fields and the browse
// lists a field can open. Loaded once at start-up; afterwards only the fields' Value texts
// and Changed change. Forms, fields and browse definitions are numbered from 1: entry 0 of
// each table is never filled. Use FindForm/FindField/FindBrowse for numbers that come from
// files or the operator: they return nullptr when the number is out of range.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zt {

// Field flags (FormField::Flags bits).
constexpr std::int16_t kBlankStart = 1;   // editing starts blank; a blank text keeps the value
constexpr std::int16_t kHidden = 2;       // as BlankStart, and never displayed
constexpr std::int16_t kDisplayOnly = 4;  // drawn but never entered
constexpr std::int16_t kCursorAtEnd = 8;  // cursor starts after the last non-blank character

// FormField::Kind of a percentage field (number check, shown through "Z9.99 %").
constexpr std::int16_t kPercentKind = 6;

struct FormField {
  // The eight numbers, in file order.
  std::int16_t Row = 0;
  std::int16_t Column = 0;
  std::int16_t Width = 0;
  std::int16_t LineLength = 0;  // characters per screen line; 0 = one line
  std::int16_t ExtraWidth = 0;  // columns after the value used to show an option's text
  std::int16_t Flags = 0;
  std::int16_t Kind = 0;
  std::int16_t BrowseNumber = 0;  // browse definition opened with F4; 0 = none
  std::string Label;              // translated when loaded
  std::string Options;            // "|code,text|code,text"; empty = free text; translated
  std::string Value;              // always exactly Width characters (see AssignValue)
};

struct Form {
  std::string KeyList;  // hexadecimal key codes admitted while editing (never translated)
  std::int16_t FieldCount = 0;
  std::int16_t NextForm = 0;   // continuation form; 0 = none
  std::int16_t WindowTop = 0;  // 0 = no window of its own: positions are absolute
  std::int16_t WindowLeft = 0;
  std::int16_t WindowBottom = 0;
  std::int16_t WindowRight = 0;
  // fields[1] .. fields[FieldCount]; fields[0] is never used.
  std::vector<FormField> fields;
};

struct BrowseDefinition {
  std::int16_t FileHandle = 0;
  std::int16_t KeyNumber = 0;
  std::int16_t WindowTop = 0;
  std::int16_t WindowLeft = 0;
  std::int16_t WindowBottom = 0;
  std::int16_t WindowRight = 0;
  std::int16_t FilterForm = 0;  // form run before the list opens; 0 = none
  std::string Header;           // title on the window's top frame line; translated
  std::int16_t NestedBrowse = 0;
};

struct FormDefinition {
  std::int16_t FormCount = 0;
  std::int16_t MaxFields = 0;
  std::int16_t BrowseCount = 0;
  // forms[1] .. forms[FormCount]; browses[1] .. browses[BrowseCount]; entry 0 unused.
  std::vector<Form> forms;
  std::vector<BrowseDefinition> browses;
  // Set by the form loop when an edited text differs from the stored value; cleared by
  // the application after loading its values.
  bool Changed = false;
};

inline Form* FindForm(FormDefinition& def, int form) {
  if (form < 1 || form > def.FormCount || static_cast<std::size_t>(form) >= def.forms.size())
    return nullptr;
  return &def.forms[static_cast<std::size_t>(form)];
}

inline FormField* FindField(FormDefinition& def, int form, int field) {
  Form* f = FindForm(def, form);
  if (f == nullptr || field < 1 || field > f->FieldCount ||
      static_cast<std::size_t>(field) >= f->fields.size())
    return nullptr;
  return &f->fields[static_cast<std::size_t>(field)];
}

inline BrowseDefinition* FindBrowse(FormDefinition& def, int browse) {
  if (browse < 1 || browse > def.BrowseCount ||
      static_cast<std::size_t>(browse) >= def.browses.size())
    return nullptr;
  return &def.browses[static_cast<std::size_t>(browse)];
}

// Stores text as the field's value, keeping the field's width: shorter text is filled with
// blanks on the right, longer text is cut.
inline void AssignValue(FormField& field, std::string_view text) {
  const std::size_t width = field.Width > 0 ? static_cast<std::size_t>(field.Width) : 0;
  field.Value.assign(text.substr(0, width));
  field.Value.resize(width, ' ');
}

}  // namespace zt

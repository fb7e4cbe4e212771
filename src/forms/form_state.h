#pragma once
// Process-wide state of the form engine: the loaded definition (form loader and loop) and
// the field editor's own state.
#include <cstdint>
#include <functional>
#include <string>

#include "forms/editor_state.h"
#include "forms/form_definition.h"
#include "forms/string_stack.h"

namespace zt {

struct Runtime;

struct FormState {
  // The browse list opened with F4 (set by the application so the form engine does not
  // depend on the record layer): RunBrowse(browse number, cancelled). When unset, every
  // browse reports cancelled.
  std::function<void(Runtime&, std::int16_t& browseNumber, std::int16_t& cancelled)> runBrowse;
  FormDefinition definition;
  EditorState editor;
  // The option list of the field being edited (set by the form loop before each edit,
  // read by the field editor); empty = free text.
  std::string CurrentOptions;
  // A form left with PgUp/PgDn, so that running the top form again lands in it; 0 = none.
  std::int16_t ResumeForm = 0;
  // Shared by the form loop's F4 step and the browse list.
  StringStack stringStack;
};

}  // namespace zt

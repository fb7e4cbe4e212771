#pragma once
// Process-wide state of the form engine: the loaded definition (form loader and loop) and
// the field editor's own state.
#include <cstdint>
#include <functional>

#include "forms/editor_state.h"
#include "forms/form_definition.h"

namespace zt {

struct Runtime;

struct FormState {
  // The browse list opened with F4 (set by the application so the form engine does not
  // depend on the record layer): RunBrowse(browse number, cancelled). When unset, every
  // browse reports cancelled.
  std::function<void(Runtime&, std::int16_t& browseNumber, std::int16_t& cancelled)> runBrowse;
  FormDefinition definition;
  EditorState editor;
};

}  // namespace zt

#pragma once
// Process-wide state of the form engine: the loaded definition (form loader and loop) and
// the field editor's own state.
#include "forms/editor_state.h"
#include "forms/form_definition.h"

namespace zt {

struct FormState {
  FormDefinition definition;
  EditorState editor;
};

}  // namespace zt

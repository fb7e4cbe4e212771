#pragma once
// The loaded form definition file (owned by the form loader). Filled in by the form engine.

namespace zt {

struct FormDefinition {};

}  // namespace zt

#pragma once
// Process-wide state of the record file layer (owned by src/records/). Filled in there.

namespace zt {

struct RecordState {};

}  // namespace zt

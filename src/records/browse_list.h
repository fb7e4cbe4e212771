#pragma once
// The browse list: a framed, scrolling list of one-line entries built lazily from a record
// file (or read from a prepared cache) from which the operator chooses one.
#include <cstdint>

namespace zt {

struct Runtime;

// Runs the list of browse definition browseNumber. cancelled: 0 when an entry was chosen;
// -1 for Esc and other keys; the read status when the chosen record cannot be read.
void RunBrowse(Runtime& rt, std::int16_t& browseNumber, std::int16_t& cancelled);

}  // namespace zt

#pragma once
// The record file the record manager and record layer tests share: records of 12 bytes with
// a code (1-4, string, unique), a number (5-6, binary little-endian, duplicates), a name (7-9,
// case-free collating, duplicates) and 3 free bytes; key 3 is name + code.
#include <cstdint>
#include <string>

#include "platform/record_engine.h"

namespace zt::test {

inline RecordFileLayout TestRecordLayout() {
  RecordFileLayout layout;
  layout.recordLength = 12;
  layout.keys = {{{1, 4, 0}},
                 {{5, 2, btr::kSegBinary | btr::kSegDuplicates}},
                 {{7, 3, btr::kSegAlternateCollating | btr::kSegDuplicates}},
                 {{7, 3, btr::kSegDuplicates}, {1, 4, 0}}};
  layout.collatingName = "UPPER";
  for (int i = 0; i < 256; ++i)
    layout.collating[static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(i >= 'a' && i <= 'z' ? i - 32 : i);
  return layout;
}

inline std::string TestRecord(const std::string& code, std::uint16_t number,
                              const std::string& name) {
  std::string r(12, ' ');
  r.replace(0, code.size(), code);
  r[4] = static_cast<char>(number & 0xFF);
  r[5] = static_cast<char>(number >> 8);
  r.replace(6, name.size(), name);
  return r;
}

}  // namespace zt::test

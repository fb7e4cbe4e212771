#pragma once
// The buffers of one record manager call on an open record file, and the parts of the
// Stat reply the record layer reads. Internal to src/records/.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/record_state.h"

namespace zt {

// Records up to this many bytes travel in one call.
constexpr std::size_t kDataBufferSize = 1536;

struct RecordCall {
  explicit RecordCall(RecordFile& f) : file(f) {}

  // Data buffer: the record area, then blanks; data length = RecordLength.
  void LoadRecord();
  void ClearData();
  // Key buffer: text (at most 255 bytes) followed by pad bytes; key length = its length.
  void SetKey(std::string_view text, char pad);
  std::int16_t Run(Runtime& rt, std::int16_t operation, std::int16_t keyNumber);
  // The first length bytes of the key buffer after the call.
  std::string ReturnedKey(std::size_t length) const;
  // Copies min(returned data length, RecordLength) bytes into the record area.
  void CopyRecord(RecordFile& target) const;
  std::int32_t DataPosition() const;
  void SetDataPosition(std::int32_t position);

  RecordFile& file;
  std::array<std::uint8_t, kDataBufferSize> data{};
  std::array<std::uint8_t, btr::kKeyBufferSize> key{};
  std::uint32_t dataLength = 0;
  std::uint8_t keyLength = 0;
};

struct StatSegment {
  std::int16_t key = 0;  // the key the segment belongs to, counted from 0
  std::uint16_t length = 0;
  std::uint16_t flags = 0;
};

struct StatReply {
  std::int32_t recordLength = 0;
  std::int16_t keyCount = 0;
  std::vector<StatSegment> segments;
  bool hasCollating = false;
  std::array<std::uint8_t, 256> collating{};
};

// Stat of the file; false when the manager refuses it.
bool ReadStat(Runtime& rt, RecordFile& file, StatReply& stat);

}  // namespace zt

// Buffers of one record manager call, and reading the Stat reply.
#include "records/record_call.h"

#include <algorithm>

#include "app/runtime.h"

namespace zt {

void RecordCall::LoadRecord() {
  data.fill(' ');
  const std::size_t n = std::min(file.RecordArea.size(), data.size());
  std::copy_n(file.RecordArea.begin(), n, data.begin());
  dataLength = static_cast<std::uint32_t>(
      std::clamp<std::int32_t>(file.RecordLength, 0, static_cast<std::int32_t>(kDataBufferSize)));
}

void RecordCall::ClearData() {
  data.fill(0);
  dataLength = 0;
}

void RecordCall::SetKey(std::string_view text, char pad) {
  key.fill(static_cast<std::uint8_t>(pad));
  const std::size_t n = std::min<std::size_t>(text.size(), 255);
  std::copy_n(text.begin(), n, key.begin());
  keyLength = static_cast<std::uint8_t>(n);
}

std::int16_t RecordCall::Run(Runtime& rt, std::int16_t operation, std::int16_t keyNumber) {
  const auto number = static_cast<std::int8_t>(std::clamp<std::int16_t>(keyNumber, -128, 127));
  if (!rt.records.engine) return btr::kFileNotOpen;
  return rt.records.engine->BTRCALL(operation, file.PositionBlock.data(), data.data(), dataLength,
                                    key.data(), keyLength, number);
}

std::string RecordCall::ReturnedKey(std::size_t length) const {
  const std::size_t n = std::min(length, key.size());
  return std::string(reinterpret_cast<const char*>(key.data()), n);
}

void RecordCall::CopyRecord(RecordFile& target) const {
  const std::size_t n = std::min<std::size_t>(
      {static_cast<std::size_t>(dataLength), target.RecordArea.size(), data.size()});
  std::copy_n(data.begin(), n, target.RecordArea.begin());
}

std::int32_t RecordCall::DataPosition() const {
  const std::uint32_t v =
      static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
      (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
  return static_cast<std::int32_t>(v);
}

void RecordCall::SetDataPosition(std::int32_t position) {
  const auto v = static_cast<std::uint32_t>(position);
  for (int i = 0; i < 4; ++i)
    data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool ReadStat(Runtime& rt, RecordFile& file, StatReply& stat) {
  RecordCall call(file);
  call.ClearData();
  call.dataLength = kDataBufferSize;
  call.SetKey(std::string(255, ' '), ' ');
  const std::int16_t status = call.Run(rt, btr::kStat, 0);
  if (status != btr::kOk && status != btr::kDataBufferTooShort) return false;
  const auto get16 = [&](std::size_t at) {
    return static_cast<std::uint16_t>(call.data[at] | (call.data[at + 1] << 8));
  };
  const std::size_t length = std::min<std::size_t>(call.dataLength, kDataBufferSize);
  if (length < 16) return false;
  stat = StatReply{};
  stat.recordLength = get16(0);
  stat.keyCount = static_cast<std::int16_t>(get16(4));
  std::size_t at = 16;
  bool collating = false;
  for (std::int16_t k = 0; k < stat.keyCount && at + 16 <= length;) {
    StatSegment seg{k, get16(at + 2), get16(at + 4)};
    stat.segments.push_back(seg);
    collating = collating || (seg.flags & btr::kSegAlternateCollating);
    at += 16;
    if (!(seg.flags & btr::kSegAnotherFollows)) ++k;
  }
  if (collating && at + 9 + 256 <= length) {
    stat.hasCollating = true;
    std::copy_n(call.data.begin() + static_cast<std::ptrdiff_t>(at + 9), 256,
                stat.collating.begin());
  }
  return true;
}

}  // namespace zt

// Key building and the Stat / Create buffer layout of the in-memory record manager.
#include <algorithm>

#include "platform/record_engine_state.h"

namespace zt::recengine {

namespace {

constexpr std::size_t kSpecOffset = 16;
constexpr std::size_t kSpecSize = 16;
constexpr std::size_t kCollatingHead = 9;
constexpr std::uint8_t kCollatingSignature = 0xAC;

std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void Put16(std::string& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

bool UsesCollating(const RecordFileLayout& layout) {
  for (const auto& key : layout.keys)
    for (const auto& seg : key)
      if (seg.flags & btr::kSegAlternateCollating) return true;
  return false;
}

}  // namespace

std::size_t KeyLength(const RecordFileLayout& layout, std::size_t key) {
  std::size_t total = 0;
  for (const auto& seg : layout.keys[key]) total += seg.length;
  return total;
}

bool AllowsDuplicates(const RecordFileLayout& layout, std::size_t key) {
  return !layout.keys[key].empty() && (layout.keys[key][0].flags & btr::kSegDuplicates);
}

std::string RawKey(const RecordFileLayout& layout, std::size_t key, std::string_view record) {
  std::string raw;
  for (const auto& seg : layout.keys[key]) {
    const std::size_t from = seg.position - 1u;
    std::string part(seg.length, '\0');
    if (from < record.size())
      part.replace(0, std::min<std::size_t>(seg.length, record.size() - from),
                   record.substr(from, seg.length));
    raw += part;
  }
  return raw;
}

std::string SortKey(const RecordFileLayout& layout, std::size_t key, std::string_view raw) {
  std::string sort(raw);
  sort.resize(KeyLength(layout, key), '\0');
  std::size_t at = 0;
  for (const auto& seg : layout.keys[key]) {
    auto begin = sort.begin() + static_cast<std::ptrdiff_t>(at);
    auto end = begin + seg.length;
    // Binary segments are little-endian unsigned numbers: most significant byte first.
    if (seg.flags & btr::kSegBinary) std::reverse(begin, end);
    if (seg.flags & btr::kSegAlternateCollating)
      for (auto it = begin; it != end; ++it)
        *it = static_cast<char>(layout.collating[static_cast<std::uint8_t>(*it)]);
    at += seg.length;
  }
  return sort;
}

std::int16_t CheckLayout(const RecordFileLayout& layout) {
  if (layout.recordLength < 1 || layout.recordLength > btr::kMaxRecordLength)
    return btr::kInvalidRecordLength;
  for (std::size_t k = 0; k < layout.keys.size(); ++k) {
    if (layout.keys[k].empty()) return btr::kInvalidKeyLength;
    for (const auto& seg : layout.keys[k]) {
      if (seg.position < 1 || seg.length < 1 ||
          seg.position - 1u + seg.length > layout.recordLength)
        return btr::kInvalidKeyLength;
    }
    if (KeyLength(layout, k) >= btr::kKeyBufferSize) return btr::kInvalidKeyLength;
  }
  return btr::kOk;
}

std::string StatBytes(const FileData& data) {
  const RecordFileLayout& layout = data.layout;
  std::size_t segments = 0;
  for (const auto& key : layout.keys) segments += key.size();
  std::string out(kSpecOffset + kSpecSize * segments, '\0');
  Put16(out, 0, layout.recordLength);
  Put16(out, 2, layout.pageSize);
  Put16(out, 4, static_cast<std::uint32_t>(layout.keys.size()));
  const auto count = static_cast<std::uint32_t>(data.records.size());
  Put16(out, 6, count & 0xFFFF);
  Put16(out, 8, count >> 16);
  std::size_t at = kSpecOffset;
  for (std::size_t k = 0; k < layout.keys.size(); ++k) {
    for (std::size_t s = 0; s < layout.keys[k].size(); ++s) {
      const KeySegment& seg = layout.keys[k][s];
      std::uint16_t flags = seg.flags & ~btr::kSegAnotherFollows;
      if (s + 1 < layout.keys[k].size()) flags |= btr::kSegAnotherFollows;
      Put16(out, at, seg.position);
      Put16(out, at + 2, seg.length);
      Put16(out, at + 4, flags);
      at += kSpecSize;
    }
  }
  if (UsesCollating(layout)) {
    std::string head(kCollatingHead, ' ');
    head[0] = static_cast<char>(kCollatingSignature);
    head.replace(1, std::min<std::size_t>(8, layout.collatingName.size()),
                 layout.collatingName.substr(0, 8));
    out += head;
    out.append(layout.collating.begin(), layout.collating.end());
  }
  return out;
}

std::int16_t ParseLayout(const std::uint8_t* buffer, std::uint32_t length,
                         RecordFileLayout& layout) {
  if (length < kSpecOffset) return btr::kInvalidRecordLength;
  layout = RecordFileLayout{};
  layout.recordLength = Get16(buffer);
  layout.pageSize = Get16(buffer + 2);
  const std::uint16_t keyCount = Get16(buffer + 4);
  std::size_t at = kSpecOffset;
  bool collating = false;
  for (std::uint16_t k = 0; k < keyCount; ++k) {
    std::vector<KeySegment> segments;
    for (;;) {
      if (at + kSpecSize > length) return btr::kInvalidKeyLength;
      KeySegment seg;
      seg.position = Get16(buffer + at);
      seg.length = Get16(buffer + at + 2);
      seg.flags = Get16(buffer + at + 4);
      at += kSpecSize;
      const bool more = seg.flags & btr::kSegAnotherFollows;
      seg.flags &= ~btr::kSegAnotherFollows;
      collating = collating || (seg.flags & btr::kSegAlternateCollating);
      segments.push_back(seg);
      if (!more) break;
    }
    layout.keys.push_back(std::move(segments));
  }
  if (collating) {
    if (at + kCollatingHead + 256 > length) return btr::kInvalidKeyLength;
    layout.collatingName.assign(reinterpret_cast<const char*>(buffer + at + 1), 8);
    std::copy_n(buffer + at + kCollatingHead, 256, layout.collating.begin());
  }
  return CheckLayout(layout);
}

}  // namespace zt::recengine

// The browse list's entry cache file.
#include "records/browse_cache.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace zt {

namespace {

constexpr std::int32_t kHeadSize = 10;
constexpr std::size_t kMaxText = std::numeric_limits<std::uint16_t>::max();

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

BrowseCache::BrowseCache(const std::string& path, bool fresh) : path_(path) {
  if (!fresh) {
    if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
      char buffer[4096];
      std::size_t n = 0;
      while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) data_.append(buffer, n);
      std::fclose(in);
    }
    // Positions are 32-bit: anything beyond is out of reach.
    if (data_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2))
      data_.resize(static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2));
    file_ = std::fopen(path.c_str(), "r+b");
  }
  if (file_ == nullptr) {
    file_ = std::fopen(path.c_str(), "w+b");
    if (file_ != nullptr && !data_.empty()) std::fwrite(data_.data(), 1, data_.size(), file_);
  }
}

BrowseCache::~BrowseCache() {
  if (file_ != nullptr) std::fclose(file_);
}

BrowseEntry BrowseCache::Read(std::int32_t position) const {
  BrowseEntry entry;
  entry.position = position;
  entry.next = position;
  if (!HasDataAt(position)) return entry;
  const std::size_t at = static_cast<std::size_t>(position - 1);
  std::uint8_t head[kHeadSize] = {};
  for (std::size_t i = 0; i < kHeadSize && at + i < data_.size(); ++i)
    head[i] = static_cast<std::uint8_t>(data_[at + i]);
  const auto le32 = [&](int o) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(head[o]) |
                                     (static_cast<std::uint32_t>(head[o + 1]) << 8) |
                                     (static_cast<std::uint32_t>(head[o + 2]) << 16) |
                                     (static_cast<std::uint32_t>(head[o + 3]) << 24));
  };
  entry.previous = le32(0);
  entry.recordPosition = le32(4);
  const std::int32_t length = head[8] | (head[9] << 8);
  const std::size_t textAt = at + kHeadSize;
  if (textAt < data_.size())
    entry.text = data_.substr(
        textAt, std::min<std::size_t>(static_cast<std::size_t>(length), data_.size() - textAt));
  entry.next = position + kHeadSize + length;
  return entry;
}

std::int32_t BrowseCache::Append(std::int32_t previous, std::int32_t recordPosition,
                                 const std::string& text) {
  const std::int32_t position = Size() + 1;
  std::string record;
  const std::size_t n = std::min(text.size(), kMaxText);
  PutLe(record, static_cast<std::uint32_t>(previous), 4);
  PutLe(record, static_cast<std::uint32_t>(recordPosition), 4);
  PutLe(record, static_cast<std::uint32_t>(n), 2);
  record.append(text, 0, n);
  data_ += record;
  if (file_ != nullptr) {
    std::fseek(file_, 0, SEEK_END);
    std::fwrite(record.data(), 1, record.size(), file_);
    std::fflush(file_);
  }
  return position;
}

void BrowseCache::Remove() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  std::remove(path_.c_str());
}

}  // namespace zt

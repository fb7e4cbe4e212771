#pragma once
// "Browse.tmp": the chain of entries a browse list has built (or that the application
// prepared). Positions are 1-based byte positions. Each entry record: previous entry's
// position (4 bytes, 0 for the first), the record's physical position (4), the text's
// length n (2), the text; numbers little-endian. Reads never go past what is there, so
// a damaged file gives short or empty entries, never a crash.
#include <cstdint>
#include <cstdio>
#include <string>

namespace zt {

struct BrowseEntry {
  std::int32_t position = 0;  // where the entry record starts
  std::int32_t previous = 0;
  std::int32_t recordPosition = 0;
  std::string text;
  std::int32_t next = 0;  // where the following entry record would start
};

class BrowseCache {
 public:
  // Opens the file at path; emptied first when fresh is set, else its entries are kept.
  // Without a usable file the cache still works, in memory only.
  BrowseCache(const std::string& path, bool fresh);
  ~BrowseCache();
  BrowseCache(const BrowseCache&) = delete;
  BrowseCache& operator=(const BrowseCache&) = delete;

  std::int32_t Size() const { return static_cast<std::int32_t>(data_.size()); }
  bool HasDataAt(std::int32_t position) const { return position >= 1 && position <= Size(); }
  // The entry at position (which must have data): a head cut short reads as zeros, a text
  // running past the end is cut there.
  BrowseEntry Read(std::int32_t position) const;
  // Appends an entry at the end; returns its position.
  std::int32_t Append(std::int32_t previous, std::int32_t recordPosition, const std::string& text);
  // Closes and deletes the file.
  void Remove();

 private:
  std::string path_;
  std::string data_;  // the file's contents, kept in step with it
  std::FILE* file_ = nullptr;
};

}  // namespace zt

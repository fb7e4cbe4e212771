#pragma once
// Inside the in-memory record manager: files, open instances, locks and transactions.
// Only record_engine*.cpp include this.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/record_engine.h"

namespace zt {

namespace recengine {

// An index entry: the key in comparable form and the record's position.
using IndexEntry = std::pair<std::string, std::uint32_t>;

struct FileData {
  RecordFileLayout layout;
  std::map<std::uint32_t, std::string> records;  // position -> record bytes
  std::vector<std::set<IndexEntry>> indexes;     // one per key
  std::uint32_t nextPosition = 1;
};

struct RecordLock {
  int client = 0;
  std::uint32_t openId = 0;
  bool multiple = false;
};

struct File {
  FileData data;
  int exclusiveOwner = 0;                     // client that opened it exclusively
  int transactionOwner = 0;                   // client whose transaction touched it
  std::map<std::uint32_t, RecordLock> locks;  // position -> holder
};

struct OpenFile {
  std::string name;
  std::shared_ptr<File> file;
  int client = 0;
  bool exclusive = false;
  // Currency: the record last reached and where it sits in the index of keyNumber. The
  // entry survives the record's deletion so that Next/Previous still work from there.
  bool hasCurrent = false;
  std::uint32_t position = 0;
  std::int16_t keyNumber = 0;
  std::string sortKey;
};

struct Transaction {
  std::map<File*, FileData> snapshots;  // contents before the first change
};

// The raw key of `key` taken from a record, and its comparable form.
std::string RawKey(const RecordFileLayout& layout, std::size_t key, std::string_view record);
std::string SortKey(const RecordFileLayout& layout, std::size_t key, std::string_view raw);
std::size_t KeyLength(const RecordFileLayout& layout, std::size_t key);
bool AllowsDuplicates(const RecordFileLayout& layout, std::size_t key);
// Status 0 when the layout can be used.
std::int16_t CheckLayout(const RecordFileLayout& layout);
// Stat reply / Create buffer layout.
std::string StatBytes(const FileData& data);
std::int16_t ParseLayout(const std::uint8_t* buffer, std::uint32_t length,
                         RecordFileLayout& layout);

}  // namespace recengine

struct MemoryRecordStore::State {
  std::map<std::string, std::shared_ptr<recengine::File>, std::less<>> files;
  std::map<std::uint32_t, recengine::OpenFile> opens;
  std::uint32_t nextOpenId = 1;
  std::map<int, recengine::Transaction> transactions;  // per client
};

}  // namespace zt

#pragma once
// The record manager: keyed record files behind one entry point, BTRCALL, with the
// operation codes, status codes, buffer conventions and Stat layout the record layer
// expects. RecordEngine is the interface (one caller's connection); MemoryRecordEngine
// keeps the files in memory in a MemoryRecordStore that several connections may share, so
// that a second connection can play another program holding locks.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zt {

// Operation codes. Adding a lock bias (100/200 single record, 300/400 several records;
// the waiting and no-wait kinds behave alike here, nobody else can let go while we wait)
// to a Get, Step or Get Direct locks the record read.
namespace btr {
constexpr std::int16_t kOpen = 0;
constexpr std::int16_t kClose = 1;
constexpr std::int16_t kInsert = 2;
constexpr std::int16_t kUpdate = 3;
constexpr std::int16_t kDelete = 4;
constexpr std::int16_t kGetEqual = 5;
constexpr std::int16_t kGetNext = 6;
constexpr std::int16_t kGetPrevious = 7;
constexpr std::int16_t kGetGreater = 8;
constexpr std::int16_t kGetGreaterOrEqual = 9;
constexpr std::int16_t kGetLess = 10;
constexpr std::int16_t kGetLessOrEqual = 11;
constexpr std::int16_t kGetFirst = 12;
constexpr std::int16_t kGetLast = 13;
constexpr std::int16_t kCreate = 14;
constexpr std::int16_t kStat = 15;
constexpr std::int16_t kBeginTransaction = 19;  // exclusive: files touched lock for others
constexpr std::int16_t kEndTransaction = 20;
constexpr std::int16_t kAbortTransaction = 21;
constexpr std::int16_t kGetPosition = 22;
constexpr std::int16_t kGetDirect = 23;
constexpr std::int16_t kStepNext = 24;
constexpr std::int16_t kUnlock = 27;
constexpr std::int16_t kReset = 28;  // closes the caller's files, drops its locks
constexpr std::int16_t kStepFirst = 33;
constexpr std::int16_t kStepLast = 34;
constexpr std::int16_t kStepPrevious = 35;
constexpr std::int16_t kSingleNoWaitLock = 200;

// Status codes.
constexpr std::int16_t kOk = 0;
constexpr std::int16_t kInvalidOperation = 1;
constexpr std::int16_t kFileNotOpen = 3;
constexpr std::int16_t kKeyNotFound = 4;
constexpr std::int16_t kDuplicateKey = 5;
constexpr std::int16_t kInvalidKeyNumber = 6;
constexpr std::int16_t kInvalidPositioning = 8;
constexpr std::int16_t kEndOfFile = 9;
constexpr std::int16_t kFileNotFound = 12;
constexpr std::int16_t kDataBufferTooShort = 22;  // the data came back cut; still a read
constexpr std::int16_t kInvalidRecordLength = 28;
constexpr std::int16_t kInvalidKeyLength = 29;
constexpr std::int16_t kInvalidRecordAddress = 43;
constexpr std::int16_t kFileExists = 59;
constexpr std::int16_t kRecordInUse = 84;
constexpr std::int16_t kFileInUse = 85;
constexpr std::int16_t kFileTableFull = 86;

// Buffer sizes: callers pass a key buffer of at least kKeyBufferSize bytes whatever the
// key length says (keys are read at their defined length and returned into it), and a
// data buffer of at least the data length.
constexpr std::size_t kPositionBlockSize = 128;
constexpr std::size_t kKeyBufferSize = 256;
constexpr std::size_t kMaxRecordLength = 4096;

// Key segment flags (Stat and Create layout).
constexpr std::uint16_t kSegDuplicates = 0x01;
constexpr std::uint16_t kSegBinary = 0x04;
constexpr std::uint16_t kSegAnotherFollows = 0x10;
constexpr std::uint16_t kSegAlternateCollating = 0x20;
}  // namespace btr

// Stat / Create data buffer: bytes 0-1 record length, 2-3 page size, 4-5 number of keys,
// 6-9 number of records; from offset 16 one 16-byte description per key segment
// (0-1 position in the record, 1-based; 2-3 length; 4-5 flags), then, when a segment uses
// the alternate collating sequence, a 9-byte head (0xAC and an 8-byte name) and the 256
// translation bytes. All numbers little-endian.

// One caller's connection to the record manager.
class RecordEngine {
 public:
  virtual ~RecordEngine() = default;
  // The single entry point. positionBlock: kPositionBlockSize bytes kept by the caller
  // between calls on one open file. dataLength: in, the bytes sent / room for the reply;
  // out, the bytes returned. keyNumber: the key path (Open: the open mode, -4 exclusive).
  virtual std::int16_t BTRCALL(std::int16_t operation, std::uint8_t* positionBlock,
                               std::uint8_t* dataBuffer, std::uint32_t& dataLength,
                               std::uint8_t* keyBuffer, std::uint8_t keyLength,
                               std::int8_t keyNumber) = 0;
};

// A key segment and a file layout, for creating files directly (tests, set-up code).
struct KeySegment {
  std::uint16_t position = 1;  // 1-based offset in the record
  std::uint16_t length = 1;
  std::uint16_t flags = 0;  // btr::kSeg*; kSegAnotherFollows is set by the layout
};
struct RecordFileLayout {
  std::uint16_t recordLength = 0;
  std::uint16_t pageSize = 1024;
  std::vector<std::vector<KeySegment>> keys;  // key 0, key 1, ...: their segments
  std::string collatingName;                  // 8 bytes at most
  std::array<std::uint8_t, 256> collating{};  // used by kSegAlternateCollating segments
};

// The files of the in-memory record manager, shared by its connections.
class MemoryRecordStore {
 public:
  MemoryRecordStore();
  ~MemoryRecordStore();
  MemoryRecordStore(const MemoryRecordStore&) = delete;
  MemoryRecordStore& operator=(const MemoryRecordStore&) = delete;

  // Creates (or replaces) an empty file. Status as BTRCALL's.
  std::int16_t CreateFile(std::string_view name, const RecordFileLayout& layout);
  bool HasFile(std::string_view name) const;
  std::size_t RecordCount(std::string_view name) const;

  struct State;  // files, open instances, locks, transactions
  State& state() { return *state_; }

 private:
  std::unique_ptr<State> state_;
};

class MemoryRecordEngine : public RecordEngine {
 public:
  // clientId tells the holders of locks apart: two connections with different ids act as
  // two programs.
  MemoryRecordEngine(std::shared_ptr<MemoryRecordStore> store, int clientId);
  std::int16_t BTRCALL(std::int16_t operation, std::uint8_t* positionBlock,
                       std::uint8_t* dataBuffer, std::uint32_t& dataLength, std::uint8_t* keyBuffer,
                       std::uint8_t keyLength, std::int8_t keyNumber) override;
  int ClientId() const { return clientId_; }
  const std::shared_ptr<MemoryRecordStore>& Store() const { return store_; }

 private:
  std::shared_ptr<MemoryRecordStore> store_;
  int clientId_;
};

// A connection on a store of its own, for a program that uses no shared store.
std::shared_ptr<RecordEngine> MakeMemoryRecordEngine();

}  // namespace zt

// The in-memory record manager through its single entry point.
#include "platform/record_engine.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/record_layout.h"

namespace zt {
namespace {

using test::TestRecord;
using test::TestRecordLayout;

// One client with one open file.
struct Client {
  Client(std::shared_ptr<MemoryRecordStore> store, int id) : engine(std::move(store), id) {}

  std::int16_t Call(std::int16_t op, std::int16_t keyNumber = 0, std::uint32_t room = 64) {
    dataLength = room;
    return engine.BTRCALL(op, pb.data(), data.data(), dataLength, key.data(), 255,
                          static_cast<std::int8_t>(keyNumber));
  }
  std::int16_t Open(const std::string& name, std::int16_t mode = 0) {
    key.fill(0);
    std::memcpy(key.data(), name.data(), name.size());
    return Call(btr::kOpen, mode);
  }
  std::int16_t Insert(const std::string& record) {
    std::memcpy(data.data(), record.data(), record.size());
    dataLength = static_cast<std::uint32_t>(record.size());
    return engine.BTRCALL(btr::kInsert, pb.data(), data.data(), dataLength, key.data(), 255, 0);
  }
  std::int16_t Get(std::int16_t op, std::int16_t keyNumber, const std::string& value = {}) {
    key.fill(0);
    std::memcpy(key.data(), value.data(), value.size());
    return Call(op, keyNumber);
  }
  std::string Code() const { return std::string(reinterpret_cast<const char*>(data.data()), 4); }
  std::string Data() const {
    return std::string(reinterpret_cast<const char*>(data.data()), dataLength);
  }

  MemoryRecordEngine engine;
  std::array<std::uint8_t, btr::kPositionBlockSize> pb{};
  std::array<std::uint8_t, 1536> data{};
  std::array<std::uint8_t, btr::kKeyBufferSize> key{};
  std::uint32_t dataLength = 0;
};

class RecordEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(store->CreateFile("CLI.DAT", TestRecordLayout()), 0);
    ASSERT_EQ(me.Open("CLI.DAT"), 0);
    for (const auto& r : {TestRecord("C003", 256, "bob"), TestRecord("A001", 2, "Amy"),
                          TestRecord("B002", 1, "abe"), TestRecord("D004", 2, "Cal")})
      ASSERT_EQ(me.Insert(r), 0);
    ASSERT_EQ(other.Open("CLI.DAT"), 0);
  }

  // The codes met walking a key from its first record with op (Next) or its last (Previous).
  std::vector<std::string> Walk(std::int16_t keyNumber, bool forward) {
    std::vector<std::string> codes;
    std::int16_t st = me.Get(forward ? btr::kGetFirst : btr::kGetLast, keyNumber);
    while (st == 0) {
      codes.push_back(me.Code());
      st = me.Get(forward ? btr::kGetNext : btr::kGetPrevious, keyNumber);
    }
    EXPECT_EQ(st, btr::kEndOfFile);
    return codes;
  }

  std::shared_ptr<MemoryRecordStore> store = std::make_shared<MemoryRecordStore>();
  Client me{store, 1};
  Client other{store, 2};
};

TEST_F(RecordEngineTest, KeysOrderStringBinaryAndCollatingSegments) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Walk(0, true), (V{"A001", "B002", "C003", "D004"}));
  EXPECT_EQ(Walk(0, false), (V{"D004", "C003", "B002", "A001"}));
  // Binary: 1, 2, 2, 256 (not byte order, where 256 = 00 01 would come first).
  EXPECT_EQ(Walk(1, true), (V{"B002", "A001", "D004", "C003"}));
  // Case-free: abe, Amy, bob, Cal (plain bytes would put the capitals first).
  EXPECT_EQ(Walk(2, true), (V{"B002", "A001", "C003", "D004"}));
  // Two segments: name as stored, then code.
  EXPECT_EQ(Walk(3, true), (V{"A001", "D004", "B002", "C003"}));
}

TEST_F(RecordEngineTest, KeyedGetsFindTheRightRecordOrReportTheEnd) {
  struct Case {
    std::int16_t op;
    std::string value;
    std::int16_t status;
    std::string code;
  };
  const std::vector<Case> cases = {
      {btr::kGetEqual, "B002", 0, "B002"},        {btr::kGetEqual, "B003", 4, ""},
      {btr::kGetGreater, "B002", 0, "C003"},      {btr::kGetGreaterOrEqual, "B002", 0, "B002"},
      {btr::kGetGreaterOrEqual, "B", 0, "B002"},  {btr::kGetGreater, "D004", 9, ""},
      {btr::kGetLess, "B002", 0, "A001"},         {btr::kGetLessOrEqual, "B002", 0, "B002"},
      {btr::kGetLessOrEqual, "B\xFF", 0, "B002"}, {btr::kGetLess, "A001", 9, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value + " op " + std::to_string(c.op));
    me.data.fill('?');
    EXPECT_EQ(me.Get(c.op, 0, c.value), c.status);
    if (c.status == 0) {
      EXPECT_EQ(me.Code(), c.code);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(me.key.data()), 4), c.code);
    }
  }
  EXPECT_EQ(me.Get(btr::kGetFirst, 7), btr::kInvalidKeyNumber);
}

TEST_F(RecordEngineTest, ShortDataBufferCutsTheRecordWithStatus22) {
  ASSERT_EQ(me.Get(btr::kGetEqual, 0, "C003"), 0);
  EXPECT_EQ(me.Call(btr::kGetEqual, 0, 6), btr::kDataBufferTooShort);
  EXPECT_EQ(me.dataLength, 6u);
  EXPECT_EQ(me.Data(), TestRecord("C003", 256, "bob").substr(0, 6));
}

TEST_F(RecordEngineTest, PositionsLeadBackToTheirRecords) {
  ASSERT_EQ(me.Get(btr::kGetEqual, 0, "C003"), 0);
  ASSERT_EQ(me.Call(btr::kGetPosition), 0);
  ASSERT_EQ(me.dataLength, 4u);
  std::array<std::uint8_t, 4> pos{};
  std::memcpy(pos.data(), me.data.data(), 4);
  ASSERT_EQ(me.Get(btr::kGetFirst, 0), 0);
  std::memcpy(me.data.data(), pos.data(), 4);
  me.key.fill(0);
  ASSERT_EQ(me.Call(btr::kGetDirect, 2), 0);
  EXPECT_EQ(me.Code(), "C003");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(me.key.data()), 3), "bob");
  // Currency now follows key 2: the next name after bob is Cal.
  ASSERT_EQ(me.Get(btr::kGetNext, 2), 0);
  EXPECT_EQ(me.Code(), "D004");
  std::memset(me.data.data(), 0x7F, 4);
  EXPECT_EQ(me.Call(btr::kGetDirect, 0), btr::kInvalidRecordAddress);
}

TEST_F(RecordEngineTest, StepsFollowInsertionOrder) {
  ASSERT_EQ(me.Call(btr::kStepFirst), 0);
  EXPECT_EQ(me.Code(), "C003");
  ASSERT_EQ(me.Call(btr::kStepNext), 0);
  EXPECT_EQ(me.Code(), "A001");
  ASSERT_EQ(me.Call(btr::kStepLast), 0);
  EXPECT_EQ(me.Code(), "D004");
  ASSERT_EQ(me.Call(btr::kStepPrevious), 0);
  EXPECT_EQ(me.Code(), "B002");
  ASSERT_EQ(me.Call(btr::kStepLast), 0);
  EXPECT_EQ(me.Call(btr::kStepNext), btr::kEndOfFile);
}

TEST_F(RecordEngineTest, StatDescribesRecordKeysAndCollatingTable) {
  ASSERT_EQ(me.Call(btr::kStat, 0, 1536), 0);
  const auto at16 = [&](std::size_t at) { return me.data[at] | (me.data[at + 1] << 8); };
  EXPECT_EQ(at16(0), 12);
  EXPECT_EQ(at16(2), 1024);
  EXPECT_EQ(at16(4), 4);
  EXPECT_EQ(at16(6), 4);  // records
  // Segments: key 0, key 1 (binary), key 2 (collating), key 3 (two segments).
  EXPECT_EQ(at16(16 + 2), 4);
  EXPECT_EQ(at16(32 + 4), btr::kSegBinary | btr::kSegDuplicates);
  EXPECT_EQ(at16(48 + 4), btr::kSegAlternateCollating | btr::kSegDuplicates);
  EXPECT_EQ(at16(64 + 4), btr::kSegDuplicates | btr::kSegAnotherFollows);
  EXPECT_EQ(at16(80 + 4), 0);
  const std::size_t acs = 96;
  EXPECT_EQ(me.data[acs], 0xAC);
  EXPECT_EQ(me.data[acs + 9 + 'a'], 'A');
  EXPECT_EQ(me.dataLength, acs + 9 + 256);
  EXPECT_EQ(me.Call(btr::kStat, 0, 20), btr::kDataBufferTooShort);
}

TEST_F(RecordEngineTest, UniqueKeysRefuseDuplicatesAndLengthsMustMatch) {
  EXPECT_EQ(me.Insert(TestRecord("A001", 9, "zed")), btr::kDuplicateKey);
  EXPECT_EQ(me.Insert(TestRecord("E005", 2, "Amy")), 0);  // duplicates allowed there
  EXPECT_EQ(me.Insert("short"), btr::kInvalidRecordLength);
  EXPECT_EQ(store->RecordCount("CLI.DAT"), 5u);
}

TEST_F(RecordEngineTest, UpdateReindexesAndDeleteKeepsThePlace) {
  ASSERT_EQ(me.Get(btr::kGetEqual, 0, "B002"), 0);
  ASSERT_EQ(me.Insert(TestRecord("B002", 1, "abe")), btr::kDuplicateKey);
  ASSERT_EQ(me.Get(btr::kGetEqual, 0, "B002"), 0);
  std::memcpy(me.data.data(), TestRecord("B002", 1, "zzz").data(), 12);
  me.dataLength = 12;
  ASSERT_EQ(me.engine.BTRCALL(btr::kUpdate, me.pb.data(), me.data.data(), me.dataLength,
                              me.key.data(), 255, 0),
            0);
  EXPECT_EQ(Walk(2, true), (std::vector<std::string>{"A001", "C003", "D004", "B002"}));
  ASSERT_EQ(me.Get(btr::kGetEqual, 0, "B002"), 0);
  ASSERT_EQ(me.Call(btr::kDelete), 0);
  ASSERT_EQ(me.Get(btr::kGetNext, 0), 0);
  EXPECT_EQ(me.Code(), "C003");
  EXPECT_EQ(me.Call(btr::kGetPosition), 0);  // currency moved to C003
  EXPECT_EQ(store->RecordCount("CLI.DAT"), 3u);
}

TEST_F(RecordEngineTest, RecordLockAnswers84ToOthersUntilReleased) {
  ASSERT_EQ(other.Get(btr::kGetEqual + btr::kSingleNoWaitLock, 0, "B002"), 0);
  ASSERT_EQ(me.Get(btr::kGetFirst, 0), 0);
  EXPECT_EQ(me.Get(btr::kGetNext + btr::kSingleNoWaitLock, 0), btr::kRecordInUse);
  // The refused read did not move: the next try meets the same record.
  EXPECT_EQ(me.Get(btr::kGetNext + btr::kSingleNoWaitLock, 0), btr::kRecordInUse);
  EXPECT_EQ(me.Get(btr::kGetEqual, 0, "B002"), 0);  // reading without a lock is fine
  EXPECT_EQ(me.Call(btr::kDelete), btr::kRecordInUse);
  // A single lock moves with the holder's next locked read.
  ASSERT_EQ(other.Get(btr::kGetEqual + btr::kSingleNoWaitLock, 0, "D004"), 0);
  EXPECT_EQ(me.Get(btr::kGetEqual + btr::kSingleNoWaitLock, 0, "B002"), 0);
  EXPECT_EQ(me.Get(btr::kGetEqual + btr::kSingleNoWaitLock, 0, "D004"), btr::kRecordInUse);
  ASSERT_EQ(other.Call(btr::kUnlock, -1), 0);
  EXPECT_EQ(me.Get(btr::kGetEqual + btr::kSingleNoWaitLock, 0, "D004"), 0);
}

TEST_F(RecordEngineTest, TransactionLocksTheFileAndAbortUndoes) {
  ASSERT_EQ(other.Call(btr::kBeginTransaction), 0);
  ASSERT_EQ(other.Insert(TestRecord("E005", 5, "eve")), 0);
  EXPECT_EQ(me.Get(btr::kGetFirst, 0), btr::kFileInUse);
  EXPECT_EQ(Client(store, 3).Open("CLI.DAT"), btr::kFileInUse);
  ASSERT_EQ(other.Call(btr::kAbortTransaction), 0);
  EXPECT_EQ(me.Get(btr::kGetEqual, 0, "E005"), btr::kKeyNotFound);
  EXPECT_EQ(store->RecordCount("CLI.DAT"), 4u);

  ASSERT_EQ(other.Call(btr::kBeginTransaction), 0);
  ASSERT_EQ(other.Insert(TestRecord("E005", 5, "eve")), 0);
  ASSERT_EQ(other.Call(btr::kEndTransaction), 0);
  EXPECT_EQ(me.Get(btr::kGetEqual, 0, "E005"), 0);
}

TEST_F(RecordEngineTest, ExclusiveOpenAndClosedBlocks) {
  Client third(store, 3);
  EXPECT_EQ(third.Open("CLI.DAT", -4), btr::kFileInUse);  // others have it open
  EXPECT_EQ(third.Open("NONE.DAT"), btr::kFileNotFound);
  ASSERT_EQ(me.Call(btr::kClose), 0);
  EXPECT_EQ(me.Get(btr::kGetFirst, 0), btr::kFileNotOpen);
  // Another client's position block is not ours to use.
  me.pb = other.pb;
  EXPECT_EQ(me.Get(btr::kGetFirst, 0), btr::kFileNotOpen);
}

TEST(RecordEngineCreate, CreateFromStatLayoutGivesTheSameFile) {
  auto store = std::make_shared<MemoryRecordStore>();
  ASSERT_EQ(store->CreateFile("A.DAT", TestRecordLayout()), 0);
  Client a(store, 1);
  ASSERT_EQ(a.Open("A.DAT"), 0);
  ASSERT_EQ(a.Call(btr::kStat, 0, 1536), 0);
  const std::string stat = a.Data();
  Client b(store, 1);
  b.key.fill(0);
  std::memcpy(b.key.data(), "B.DAT", 5);
  std::memcpy(b.data.data(), stat.data(), stat.size());
  b.dataLength = static_cast<std::uint32_t>(stat.size());
  ASSERT_EQ(b.engine.BTRCALL(btr::kCreate, b.pb.data(), b.data.data(), b.dataLength, b.key.data(),
                             255, -1),
            0);
  ASSERT_EQ(b.Open("B.DAT"), 0);
  ASSERT_EQ(b.Call(btr::kStat, 0, 1536), 0);
  EXPECT_EQ(b.Data(), stat);
  // Creating over an existing file with "no overwrite" is refused.
  b.key.fill(0);
  std::memcpy(b.key.data(), "A.DAT", 5);
  std::memcpy(b.data.data(), stat.data(), stat.size());
  b.dataLength = static_cast<std::uint32_t>(stat.size());
  EXPECT_EQ(b.engine.BTRCALL(btr::kCreate, b.pb.data(), b.data.data(), b.dataLength, b.key.data(),
                             255, -1),
            btr::kFileExists);
  RecordFileLayout bad = TestRecordLayout();
  bad.keys.push_back({{11, 5, 0}});  // past the record's end
  EXPECT_EQ(store->CreateFile("C.DAT", bad), btr::kInvalidKeyLength);
}

TEST(RecordEngineCreate, FileWithoutKeysCanBeSteppedThrough) {
  auto store = std::make_shared<MemoryRecordStore>();
  RecordFileLayout layout;
  layout.recordLength = 4;
  ASSERT_EQ(store->CreateFile("K.DAT", layout), 0);
  Client c(store, 1);
  ASSERT_EQ(c.Open("K.DAT"), 0);
  ASSERT_EQ(c.Insert("abcd"), 0);
  ASSERT_EQ(c.Insert("efgh"), 0);
  ASSERT_EQ(c.Call(btr::kStepFirst), 0);
  ASSERT_EQ(c.Call(btr::kStepNext), 0);
  EXPECT_EQ(c.Data(), "efgh");
  EXPECT_EQ(c.Get(btr::kGetFirst, 0), btr::kInvalidKeyNumber);
}

}  // namespace
}  // namespace zt

// The record file layer against the in-memory record manager.
#include "records/record_file.h"

#include <gtest/gtest.h>

#include "app/runtime.h"
#include "records/record_fixture.h"

namespace zt::test {
namespace {

class RecordFileTest : public RecordFixture {
 protected:
  void SetUp() override {
    RecordFixture::SetUp();
    ASSERT_EQ(OpenRecordFile(rt, kHandle, "CLI.DAT", 12, 0), 0);
    recorder->ops.clear();
  }
  std::int16_t Mode() { return rt.records.files[FindRecordFile(rt, kHandle) - 1].LockMode; }
  std::string KeyText() { return rt.records.files[FindRecordFile(rt, kHandle) - 1].KeyText; }
};

TEST_F(RecordFileTest, TableHoldsFortyFilesAndTheFortyFirstFindsNoSlot) {
  EXPECT_EQ(FindRecordFile(rt, kHandle), 40);  // the highest free slot is taken first
  EXPECT_EQ(FindRecordFile(rt, 8), -39);
  EXPECT_EQ(FindRecordFile(rt, 0), -39);  // 0 marks free slots; it is never "open"
  for (std::int16_t h = 100; h < 139; ++h) ASSERT_EQ(OpenRecordFile(rt, h, "CLI.DAT", 12, 0), 0);
  EXPECT_EQ(FindRecordFile(rt, 500), 0);
  EXPECT_EQ(OpenRecordFile(rt, 500, "CLI.DAT", 12, 0), btr::kFileTableFull);
  EXPECT_EQ(FindRecordFile(rt, 138), 1);
  EXPECT_EQ(OpenRecordFile(rt, 138, "CLI.DAT", 12, 0), btr::kInvalidOperation);  // already open
  ASSERT_EQ(CloseRecordFile(rt, 120), 0);
  EXPECT_EQ(FindRecordFile(rt, 120), -19);
  EXPECT_EQ(FindRecordFile(rt, 500), -19);
  EXPECT_EQ(CloseRecordFile(rt, 120), btr::kFileNotOpen);
  EXPECT_EQ(OpenRecordFile(rt, 500, "NONE.DAT", 12, 0), btr::kFileNotFound);
  EXPECT_EQ(OpenRecordFile(rt, 500, "CLI.DAT", 0, 0), btr::kInvalidRecordLength);
}

TEST_F(RecordFileTest, LockModesAndTheirStack) {
  std::int16_t status = -1;
  SetLockMode(rt, kHandle, "a", status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Mode(), 1);
  SetLockMode(rt, kHandle, "+D", status);
  EXPECT_EQ(Mode(), 0);
  SetLockMode(rt, kHandle, "+b?x", status);  // unknown characters are ignored
  EXPECT_EQ(Mode(), 2);
  SetLockMode(rt, kHandle, "-", status);
  EXPECT_EQ(Mode(), 0);
  SetLockMode(rt, kHandle, "-", status);
  EXPECT_EQ(Mode(), 1);
  SetLockMode(rt, kHandle, "B-", status);  // nothing saved: the mode stays
  EXPECT_EQ(Mode(), 2);
  EXPECT_TRUE(rt.records.LockModeStack.empty());

  // Entries of another file are not taken by this one's "-".
  ASSERT_EQ(OpenRecordFile(rt, 8, "CLI.DAT", 12, 0), 0);
  SetLockMode(rt, 8, "A+", status);
  SetLockMode(rt, kHandle, "D-", status);
  EXPECT_EQ(Mode(), 0);
  SetLockMode(rt, 8, "d-", status);
  EXPECT_EQ(rt.records.files[FindRecordFile(rt, 8) - 1].LockMode, 1);

  SetLockMode(rt, 99, "A", status);
  EXPECT_EQ(status, btr::kFileNotOpen);
}

TEST_F(RecordFileTest, ClosingDropsTheFilesSavedModes) {
  std::int16_t status = 0;
  SetLockMode(rt, kHandle, "A+", status);
  ASSERT_EQ(CloseRecordFile(rt, kHandle), 0);
  EXPECT_TRUE(rt.records.LockModeStack.empty());
  ASSERT_EQ(OpenRecordFile(rt, 9, "CLI.DAT", 12, 0), 0);  // same slot, fresh state
  SetLockMode(rt, 9, "-", status);
  EXPECT_EQ(rt.records.files[FindRecordFile(rt, 9) - 1].LockMode, 0);
}

TEST_F(RecordFileTest, SeekPadsWithZerosAndCutsToTheKeyLength) {
  struct Case {
    std::string value;
    std::int16_t direction;
    std::int16_t status;
    std::string code;
  };
  const std::vector<Case> cases = {
      {"B", 1, 0, "B002"},        // "B\0\0\0": first key not below it
      {"B002XYZ", 0, 0, "B002"},  // cut to 4
      {"B", 0, btr::kKeyNotFound, ""},
      {"C", -1, 0, "B002"},  // last key not above "C\0\0\0"
      {"F", 1, btr::kEndOfFile, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::int16_t status = -1;
    SeekByKey(rt, kHandle, 0, c.value, c.direction, status);
    EXPECT_EQ(status, c.status);
    if (c.status == 0) {
      EXPECT_EQ(Code(), c.code);
      EXPECT_EQ(KeyText(), c.code);
    }
  }
  std::int16_t status = 0;
  SeekByKey(rt, kHandle, 9, "A", 1, status);
  EXPECT_EQ(status, kStatusUndefinedKey);
  SeekByKey(rt, 99, 0, "A", 1, status);
  EXPECT_EQ(status, btr::kFileNotOpen);
}

TEST_F(RecordFileTest, ShortRecordAreaTakesThePrefixAndCountsAsSuccess) {
  ASSERT_EQ(OpenRecordFile(rt, 8, "CLI.DAT", 6, 0), 0);
  std::int16_t status = -1;
  SeekByKey(rt, 8, 0, "C003", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Area(8), TestRecord("C003", 256, "bob").substr(0, 6));
}

TEST_F(RecordFileTest, StepRecordsMakesPlainMovesThenOneFullOperation) {
  std::int16_t status = -1;
  SetLockMode(rt, kHandle, "B", status);
  SeekByKey(rt, kHandle, 0, "A001", 0, status);
  ASSERT_EQ(status, 0);
  recorder->ops.clear();
  StepRecords(rt, kHandle, 3, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), "D004");
  EXPECT_EQ(KeyText(), "D004");
  EXPECT_EQ(recorder->ops, (std::vector<std::int16_t>{6, 6, 206}));

  recorder->ops.clear();
  StepRecords(rt, kHandle, -1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), "C003");
  EXPECT_EQ(recorder->ops, (std::vector<std::int16_t>{207}));

  recorder->ops.clear();
  StepRecords(rt, kHandle, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(recorder->ops.empty());
  EXPECT_EQ(Code(), "C003");

  // Running off the end: the plain move fails, the record stays where it was.
  StepRecords(rt, kHandle, 5, status);
  EXPECT_EQ(status, btr::kEndOfFile);
  EXPECT_EQ(Code(), "C003");
  StepRecords(rt, 99, 1, status);
  EXPECT_EQ(status, btr::kFileNotOpen);
}

TEST_F(RecordFileTest, RecordPositionQueriesAndReadsByPosition) {
  EXPECT_EQ(RecordPosition(rt, kHandle, 0), 0);  // nothing read yet
  std::int16_t status = -1;
  SeekByKey(rt, kHandle, 0, "D004", 0, status);
  const std::int32_t position = RecordPosition(rt, kHandle, 0);
  EXPECT_NE(position, 0);
  SeekByKey(rt, kHandle, 0, "A001", 0, status);
  EXPECT_EQ(RecordPosition(rt, kHandle, position), 0);
  EXPECT_EQ(Code(), "D004");
  EXPECT_EQ(KeyText(), "D004");
  EXPECT_EQ(RecordPosition(rt, kHandle, 999), btr::kInvalidRecordAddress);
  EXPECT_EQ(Code(), "D004");
  EXPECT_EQ(RecordPosition(rt, 99, 0), 0);
  EXPECT_EQ(RecordPosition(rt, 99, position), btr::kFileNotOpen);  // not a success
}

TEST_F(RecordFileTest, KeyInfoAddsUpTheSegmentsOfTheKey) {
  struct Case {
    std::int16_t key;
    std::int16_t length;
  };
  for (const Case& c : {Case{0, 4}, Case{1, 2}, Case{2, 3}, Case{3, 7}, Case{4, 0}, Case{-1, 0}}) {
    std::int16_t keyLength = -1;
    std::int32_t recordLength = -1;
    KeyInfo(rt, kHandle, c.key, keyLength, recordLength);
    EXPECT_EQ(keyLength, c.length) << "key " << c.key;
    EXPECT_EQ(recordLength, 12);
  }
  std::int16_t keyLength = -1;
  std::int32_t recordLength = 0;
  KeyInfo(rt, 99, 0, keyLength, recordLength);
  EXPECT_EQ(keyLength, 0);
}

TEST_F(RecordFileTest, ComparableKeyReversesBinaryAndAppliesCollating) {
  std::int16_t status = 0;
  SeekByKey(rt, kHandle, 1, std::string("\x01\x02", 2), 0, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Code(), "E005");
  EXPECT_EQ(ComparableKey(rt, std::string("\x01\x02", 2), kHandle), std::string("\x02\x01", 2));
  EXPECT_EQ(ComparableKey(rt, "\x01", kHandle), std::string("\x00\x01", 2));  // lengthened
  EXPECT_EQ(CurrentKey(rt, kHandle), std::string("\x02\x01", 2));

  SeekByKey(rt, kHandle, 2, "BOB", 0, status);
  ASSERT_EQ(status, 0);  // case-free key finds "bob"
  EXPECT_EQ(Code(), "C003");
  EXPECT_EQ(CurrentKey(rt, kHandle), "BOB");
  EXPECT_EQ(ComparableKey(rt, "ab", kHandle), "AB");  // only the bytes present

  SeekByKey(rt, kHandle, 3, "bob", 1, status);
  EXPECT_EQ(CurrentKey(rt, kHandle), "bobC003");  // plain segments stay as they are

  EXPECT_EQ(ComparableKey(rt, "x\x01", 99), "x\x01");
  EXPECT_EQ(CurrentKey(rt, 99), "");
}

TEST_F(RecordFileTest, LockBiasGoesOnReadsOnlyAndPaddingFollowsTheOperation) {
  std::int16_t status = -1;
  SetLockMode(rt, kHandle, "A", status);
  const std::int16_t slot = FindRecordFile(rt, kHandle);
  struct Case {
    std::int16_t op;
    std::int16_t sent;
  };
  for (const Case& c : {Case{12, 212}, Case{13, 213}, Case{15, 15}, Case{22, 222}, Case{33, 233},
                        Case{24, 224}, Case{35, 235}, Case{34, 234}, Case{27, 27}}) {
    recorder->ops.clear();
    RecordOperation(rt, slot, c.op, status);
    ASSERT_EQ(recorder->ops.size(), 1u);
    EXPECT_EQ(recorder->ops[0], c.sent) << "operation " << c.op;
  }
  // A key shorter than the key: Get Less or Equal pads with 255 even when locked, so "B"
  // reaches the last B record, not the last one below "B   ".
  rt.records.files[static_cast<std::size_t>(slot - 1)].KeyText = "B";
  RecordOperation(rt, slot, btr::kGetLessOrEqual, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), "B002");
  rt.records.files[static_cast<std::size_t>(slot - 1)].KeyText = "C";
  RecordOperation(rt, slot, btr::kGetGreater, status);
  EXPECT_EQ(Code(), "C003");  // "C" + zeros: C003 is greater
  RecordOperation(rt, 41, btr::kGetFirst, status);
  EXPECT_EQ(status, btr::kFileNotOpen);
  RecordOperation(rt, 1, btr::kGetFirst, status);  // a free slot
  EXPECT_EQ(status, btr::kFileNotOpen);
}

// A record held by another program: lock mode 1 waits and retries with the message up.
class LockRetryTest : public RecordFileTest {
 protected:
  void SetUp() override {
    RecordFileTest::SetUp();
    rt.console.SetAttribute(0x07);
    rt.console.Clear();
    std::int16_t status = 0;
    SeekByKey(rt, kHandle, 0, "A001", 0, status);
    ASSERT_EQ(other.Lock("B002"), 0);
    rt.records.sleep = [this](int ms) {
      waits.push_back(ms);
      screenAtWait.push_back(Row(22));
      flushesAtWait.push_back(t.console.Flushes());
      depthAtWait.push_back(rt.screen.windowDepth);
      if (waits.size() == releaseAfter) other.Unlock();
    };
  }
  std::string Row(int row) {
    std::string s;
    for (int c = 1; c <= 80; ++c) s += static_cast<char>(rt.console.ReadCell(row, c).ch);
    return s;
  }

  std::size_t releaseAfter = 2;
  std::vector<int> waits;
  std::vector<std::string> screenAtWait;
  std::vector<int> flushesAtWait;
  std::vector<int> depthAtWait;
};

TEST_F(LockRetryTest, WaitsUntilTheHolderLetsGoWithTheMessageShownOnce) {
  std::int16_t status = -1;
  SetLockMode(rt, kHandle, "A", status);
  const int flushesBefore = t.console.Flushes();
  recorder->ops.clear();
  StepRecords(rt, kHandle, 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), "B002");
  ASSERT_EQ(waits.size(), 2u);
  for (int ms : waits) {
    EXPECT_GE(ms, 1);
    EXPECT_LE(ms, 10001);
  }
  // Drawn and flushed before the first pause, and one box only.
  EXPECT_NE(screenAtWait[0].find("FITXER BLOQUEJAT. ESPEREU UN MOMENT."), std::string::npos);
  EXPECT_EQ(screenAtWait[0].find("FITXER"), 22u);  // row 22, column 23
  EXPECT_GT(flushesAtWait[0], flushesBefore);
  EXPECT_EQ(depthAtWait, (std::vector<int>{1, 1}));
  // Gone afterwards.
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_EQ(Row(22), std::string(80, ' '));
  // Three tries of the same locked read, the last one successful.
  EXPECT_EQ(recorder->ops, (std::vector<std::int16_t>{206, 206, 206}));
  // We now hold the record: the other program cannot lock it.
  EXPECT_EQ(other.Lock("B002"), btr::kRecordInUse);
}

TEST_F(LockRetryTest, MessageFollowsTheSessionLanguage) {
  struct Case {
    const char* language;
    const char* message;
  };
  std::int16_t status = -1;
  SetLockMode(rt, kHandle, "A", status);
  const std::int16_t slot = FindRecordFile(rt, kHandle);
  for (const Case& c : {Case{"SPA", "FICHERO BLOQUEADO. ESPERE UN MOMENTO."},
                        Case{"GLG", "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO."},
                        Case{"OCI", "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT."},
                        Case{"CAT", "FITXER BLOQUEJAT. ESPEREU UN MOMENT."},
                        Case{"ENG", "FITXER BLOQUEJAT. ESPEREU UN MOMENT."}}) {
    SCOPED_TRACE(c.language);
    rt.session.Language = c.language;
    RecordOperation(rt, slot, btr::kUnlock, status);  // let go of what the last round took
    ASSERT_EQ(other.Lock("B002"), 0);
    waits.clear();
    screenAtWait.clear();
    releaseAfter = 1;
    SeekByKey(rt, kHandle, 0, "B002", 0, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_NE(screenAtWait[0].find(c.message), std::string::npos);
  }
}

TEST_F(LockRetryTest, OtherModesDoNotWait) {
  std::int16_t status = -1;
  SetLockMode(rt, kHandle, "B", status);
  StepRecords(rt, kHandle, 1, status);
  EXPECT_EQ(status, btr::kRecordInUse);
  EXPECT_EQ(Code(), "A001");
  SetLockMode(rt, kHandle, "D", status);
  StepRecords(rt, kHandle, 1, status);
  EXPECT_EQ(status, 0);  // reading without a lock passes the other's lock
  EXPECT_EQ(Code(), "B002");
  EXPECT_TRUE(waits.empty());
  EXPECT_EQ(t.console.Flushes(), 0);
}

TEST_F(LockRetryTest, FileLockedByAnotherTransactionIsWaitedForToo) {
  ASSERT_EQ(other.Unlock(), 0);
  ASSERT_EQ(other.Call(btr::kBeginTransaction), 0);
  ASSERT_EQ(other.Insert(TestRecord("F006", 6, "fay")), 0);
  rt.records.sleep = [this](int ms) {
    waits.push_back(ms);
    if (waits.size() == 2) other.Call(btr::kEndTransaction);
  };
  std::int16_t status = -1;
  SetLockMode(rt, kHandle, "A", status);
  SeekByKey(rt, kHandle, 0, "F006", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), "F006");
  EXPECT_EQ(waits.size(), 2u);
  EXPECT_EQ(rt.screen.windowDepth, 0);
}

}  // namespace
}  // namespace zt::test

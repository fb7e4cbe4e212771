#pragma once
// A runtime whose record manager holds one small file, CLI.DAT, and a second client that
// can hold locks on it like another program would.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/record_engine.h"
#include "records/record_file.h"
#include "support/record_layout.h"
#include "support/test_runtime.h"

namespace zt::test {

// Another program on the same record manager.
struct OtherProgram {
  OtherProgram(std::shared_ptr<MemoryRecordStore> store, const std::string& file)
      : engine(std::move(store), 2) {
    std::memcpy(key.data(), file.data(), file.size());
    EXPECT_EQ(Call(btr::kOpen), 0);
  }
  std::int16_t Call(std::int16_t op, const std::string& value = {}, std::int16_t keyNumber = 0) {
    if (!value.empty()) {
      key.fill(0);
      std::memcpy(key.data(), value.data(), value.size());
    }
    std::uint32_t length = static_cast<std::uint32_t>(data.size());
    return engine.BTRCALL(op, pb.data(), data.data(), length, key.data(), 255,
                          static_cast<std::int8_t>(keyNumber));
  }
  std::int16_t Insert(const std::string& record) {
    std::memcpy(data.data(), record.data(), record.size());
    std::uint32_t length = static_cast<std::uint32_t>(record.size());
    return engine.BTRCALL(btr::kInsert, pb.data(), data.data(), length, key.data(), 255, 0);
  }
  // Holds the record with that code under a single-record lock.
  std::int16_t Lock(const std::string& code) {
    return Call(btr::kGetEqual + btr::kSingleNoWaitLock, code);
  }
  std::int16_t Unlock() { return Call(btr::kUnlock, {}, -1); }

  MemoryRecordEngine engine;
  std::array<std::uint8_t, btr::kPositionBlockSize> pb{};
  std::array<std::uint8_t, 1536> data{};
  std::array<std::uint8_t, btr::kKeyBufferSize> key{};
};

// Passes calls on and notes each operation code.
class RecordingEngine : public RecordEngine {
 public:
  explicit RecordingEngine(std::shared_ptr<RecordEngine> inner) : inner_(std::move(inner)) {}
  std::int16_t BTRCALL(std::int16_t operation, std::uint8_t* positionBlock,
                       std::uint8_t* dataBuffer, std::uint32_t& dataLength, std::uint8_t* keyBuffer,
                       std::uint8_t keyLength, std::int8_t keyNumber) override {
    ops.push_back(operation);
    return inner_->BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength,
                           keyNumber);
  }
  std::vector<std::int16_t> ops;

 private:
  std::shared_ptr<RecordEngine> inner_;
};

class RecordFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    rt.session.Language = "CAT";
    recorder = std::make_shared<RecordingEngine>(std::make_shared<MemoryRecordEngine>(store, 1));
    rt.records.engine = recorder;
    for (const auto& r : {TestRecord("C003", 256, "bob"), TestRecord("A001", 2, "Amy"),
                          TestRecord("B002", 1, "abe"), TestRecord("D004", 2, "Cal"),
                          TestRecord("E005", 0x0201, "eve")})
      ASSERT_EQ(other.Insert(r), 0);
  }

  std::string Area(std::int16_t handle = kHandle) {
    const std::string* area = RecordAreaOf(rt, handle);
    return area != nullptr ? *area : std::string("<closed>");
  }
  std::string Code(std::int16_t handle = kHandle) { return Area(handle).substr(0, 4); }

  static constexpr std::int16_t kHandle = 7;
  TestRuntime t;
  Runtime& rt = t.rt;
  static std::shared_ptr<MemoryRecordStore> MakeStore() {
    auto s = std::make_shared<MemoryRecordStore>();
    EXPECT_EQ(s->CreateFile("CLI.DAT", TestRecordLayout()), 0);
    return s;
  }

  std::shared_ptr<MemoryRecordStore> store = MakeStore();
  std::shared_ptr<RecordingEngine> recorder;
  OtherProgram other{store, "CLI.DAT"};
};

}  // namespace zt::test

#pragma once
// Process-wide state of the record file layer: the table of open record files, the saved
// lock modes, the record manager connection, and what the browse list hands back.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/record_engine.h"

namespace zt {

struct Runtime;

constexpr int kRecordFileSlots = 40;

// One open record file. FileHandle 0 marks a free slot.
struct RecordFile {
  std::int16_t FileHandle = 0;
  std::array<std::uint8_t, btr::kPositionBlockSize> PositionBlock{};
  // Where each record read lands (RecordLength bytes) and the bytes sent with every
  // operation. Held here rather than by the caller so it can never dangle; callers read
  // and fill it through RecordAreaOf (record_file.h).
  std::string RecordArea;
  std::int32_t RecordLength = 0;
  std::int16_t KeyNumber = 0;
  std::string KeyText;  // current key value; its length is the key length sent
  // 0 read without locks; 1 single-record no-wait locks, retry while locked; 2 the same
  // without retry.
  std::int16_t LockMode = 0;
};

struct RecordState {
  // Slot n (1..40) is files[n - 1].
  std::array<RecordFile, kRecordFileSlots> files;
  // Two bytes an entry: slot number, saved lock mode.
  std::string LockModeStack;
  // The record manager this process talks to.
  std::shared_ptr<RecordEngine> engine = MakeMemoryRecordEngine();
  // The pause between tries on a locked record or file; unset: SleepMilliseconds. Tests
  // replace it to count the waits and let the other holder go.
  std::function<void(int milliseconds)> sleep;
  Random random;

  // Results of choosing an entry in a browse list without a record file.
  std::int32_t ChosenPosition = 0;
  std::string ChosenLine;

  // Application hooks of the browse list. Start: may set the start key and the range
  // prefix; nonzero cancels the list (unset: 0, both texts left empty). Line: the entry
  // text for the record just read into the file's record area; empty leaves the record
  // out (unset: empty).
  std::function<std::int16_t(Runtime&, std::int16_t browseNumber, std::string& startKey,
                             std::string& rangePrefix)>
      browseStartHook;
  std::function<std::string(Runtime&, std::int16_t browseNumber)> browseLineHook;
  // Whether the operator asked to stop the fetching of entries; unset: an Esc waiting in
  // the console's input (the waiting event is taken, whatever it is). Tests that script
  // their keys ahead replace it so fetching does not eat them.
  std::function<bool(Runtime&)> browseEscapeCheck;
};

}  // namespace zt

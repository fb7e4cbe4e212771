// The table of open record files, lock modes and the operations on the current key.
#include "records/record_file.h"

#include <algorithm>
#include <array>

#include "app/runtime.h"
#include "platform/files.h"
#include "records/record_call.h"

namespace zt {

namespace {

RecordFile* FileOf(Runtime& rt, std::int16_t handle) {
  const std::int16_t slot = FindRecordFile(rt, handle);
  return slot > 0 ? &rt.records.files[static_cast<std::size_t>(slot - 1)] : nullptr;
}

std::int16_t SlotOf(Runtime& rt, const RecordFile& file) {
  return static_cast<std::int16_t>(&file - rt.records.files.data() + 1);
}

std::int16_t Success22(std::int16_t status) {
  return status == btr::kDataBufferTooShort ? btr::kOk : status;
}

void RemoveSavedModes(Runtime& rt, std::int16_t slot) {
  std::string& stack = rt.records.LockModeStack;
  std::string kept;
  for (std::size_t i = 0; i + 1 < stack.size(); i += 2)
    if (static_cast<std::uint8_t>(stack[i]) != slot) kept += stack.substr(i, 2);
  stack = std::move(kept);
}

}  // namespace

std::int16_t FindRecordFile(Runtime& rt, std::int16_t handle) {
  std::int16_t freeSlot = 0;
  for (std::int16_t slot = 1; slot <= kRecordFileSlots; ++slot) {
    const std::int16_t held = rt.records.files[static_cast<std::size_t>(slot - 1)].FileHandle;
    if (held == 0)
      freeSlot = slot;
    else if (held == handle)
      return slot;
  }
  return static_cast<std::int16_t>(-freeSlot);
}

std::string* RecordAreaOf(Runtime& rt, std::int16_t handle) {
  RecordFile* file = FileOf(rt, handle);
  return file != nullptr ? &file->RecordArea : nullptr;
}

std::int16_t OpenRecordFile(Runtime& rt, std::int16_t handle, std::string_view path,
                            std::int32_t recordLength, std::int16_t keyNumber) {
  if (handle == 0 || FindRecordFile(rt, handle) > 0) return btr::kInvalidOperation;
  if (recordLength < 1 || recordLength > static_cast<std::int32_t>(kDataBufferSize))
    return btr::kInvalidRecordLength;
  const std::int16_t freeSlot = FindRecordFile(rt, handle);
  if (freeSlot == 0) return btr::kFileTableFull;
  RecordFile& file = rt.records.files[static_cast<std::size_t>(-freeSlot - 1)];

  const std::string name = ResolvePath(path);
  std::array<std::uint8_t, btr::kKeyBufferSize> key{};
  const std::size_t n = std::min(name.size(), key.size() - 1);
  std::copy_n(name.begin(), n, key.begin());
  std::array<std::uint8_t, kDataBufferSize> data{};
  std::uint32_t dataLength = 0;
  std::array<std::uint8_t, btr::kPositionBlockSize> block{};
  const std::int16_t status =
      rt.records.engine->BTRCALL(btr::kOpen, block.data(), data.data(), dataLength, key.data(),
                                 static_cast<std::uint8_t>(n), 0);
  if (status != btr::kOk) return status;

  file = RecordFile{};
  file.FileHandle = handle;
  file.PositionBlock = block;
  file.RecordLength = recordLength;
  file.RecordArea.assign(static_cast<std::size_t>(recordLength), '\0');
  file.KeyNumber = keyNumber;
  std::int16_t keyLength = 0;
  std::int32_t fileRecordLength = 0;
  KeyInfo(rt, handle, keyNumber, keyLength, fileRecordLength);
  file.KeyText.assign(static_cast<std::size_t>(keyLength), '\0');
  return btr::kOk;
}

std::int16_t CloseRecordFile(Runtime& rt, std::int16_t handle) {
  RecordFile* file = FileOf(rt, handle);
  if (file == nullptr) return btr::kFileNotOpen;
  std::array<std::uint8_t, kDataBufferSize> data{};
  std::array<std::uint8_t, btr::kKeyBufferSize> key{};
  std::uint32_t dataLength = 0;
  const std::int16_t status = rt.records.engine->BTRCALL(btr::kClose, file->PositionBlock.data(),
                                                         data.data(), dataLength, key.data(), 0, 0);
  // The slot is freed whatever the manager says: the handle must not stay half open.
  RemoveSavedModes(rt, SlotOf(rt, *file));
  *file = RecordFile{};
  return status;
}

void SetLockMode(Runtime& rt, std::int16_t handle, std::string_view commands,
                 std::int16_t& status) {
  RecordFile* file = FileOf(rt, handle);
  if (file == nullptr) {
    status = btr::kFileNotOpen;
    return;
  }
  status = btr::kOk;
  const auto slot = static_cast<char>(SlotOf(rt, *file));
  std::string& stack = rt.records.LockModeStack;
  for (char c : commands) {
    switch (c) {
      case 'd':
      case 'D':
        file->LockMode = 0;
        break;
      case 'a':
      case 'A':
        file->LockMode = 1;
        break;
      case 'b':
      case 'B':
        file->LockMode = 2;
        break;
      case '+':
        stack += slot;
        stack += static_cast<char>(file->LockMode);
        break;
      case '-':
        for (std::size_t i = stack.size() / 2; i-- > 0;) {
          if (stack[2 * i] == slot) {
            file->LockMode = static_cast<std::uint8_t>(stack[2 * i + 1]);
            stack.erase(2 * i, 2);
            break;
          }
        }
        break;
      default:
        break;
    }
  }
}

void SeekByKey(Runtime& rt, std::int16_t handle, std::int16_t keyNumber, std::string_view keyValue,
               std::int16_t direction, std::int16_t& status) {
  RecordFile* file = FileOf(rt, handle);
  if (file == nullptr) {
    status = btr::kFileNotOpen;
    return;
  }
  std::int16_t keyLength = 0;
  std::int32_t recordLength = 0;
  KeyInfo(rt, handle, keyNumber, keyLength, recordLength);
  if (keyLength == 0) {
    status = kStatusUndefinedKey;
    return;
  }
  file->KeyNumber = keyNumber;
  file->KeyText.assign(keyValue.substr(0, static_cast<std::size_t>(keyLength)));
  file->KeyText.resize(static_cast<std::size_t>(keyLength), '\0');
  const std::int16_t op = direction == 0  ? btr::kGetEqual
                          : direction > 0 ? btr::kGetGreaterOrEqual
                                          : btr::kGetLessOrEqual;
  RecordOperation(rt, SlotOf(rt, *file), op, status);
  status = Success22(status);
}

void StepRecords(Runtime& rt, std::int16_t handle, std::int16_t count, std::int16_t& status) {
  RecordFile* file = FileOf(rt, handle);
  if (file == nullptr) {
    status = btr::kFileNotOpen;
    return;
  }
  status = btr::kOk;
  if (count == 0) return;
  const std::int16_t op = count > 0 ? btr::kGetNext : btr::kGetPrevious;
  const int moves = count > 0 ? count : -static_cast<int>(count);
  for (int i = 1; i < moves && status == btr::kOk; ++i) {
    // Plain moves: no lock, no retry, the record area keeps its contents.
    RecordCall call(*file);
    call.LoadRecord();
    call.SetKey(file->KeyText, ' ');
    status = Success22(call.Run(rt, op, file->KeyNumber));
    // The whole returned key, so that binary keys holding zero bytes stay whole.
    file->KeyText = call.ReturnedKey(file->KeyText.size());
  }
  if (status != btr::kOk) return;
  RecordOperation(rt, SlotOf(rt, *file), op, status);
  status = Success22(status);
}

std::int32_t RecordPosition(Runtime& rt, std::int16_t handle, std::int32_t position) {
  RecordFile* file = FileOf(rt, handle);
  // A read from a file that is not open must not pass for a successful one.
  if (file == nullptr) return position == 0 ? 0 : btr::kFileNotOpen;
  RecordCall call(*file);
  call.ClearData();
  if (position == 0) {
    call.dataLength = kDataBufferSize;
    const std::int16_t status = call.Run(rt, btr::kGetPosition, 0);
    return status == btr::kOk ? call.DataPosition() : 0;
  }
  call.SetDataPosition(position);
  call.dataLength = kDataBufferSize;
  const std::int16_t status = Success22(call.Run(rt, btr::kGetDirect, file->KeyNumber));
  file->KeyText = call.ReturnedKey(file->KeyText.size());
  if (status == btr::kOk) call.CopyRecord(*file);
  return status;
}

void KeyInfo(Runtime& rt, std::int16_t handle, std::int16_t keyNumber, std::int16_t& keyLength,
             std::int32_t& recordLength) {
  keyLength = 0;
  RecordFile* file = FileOf(rt, handle);
  if (file == nullptr) return;
  StatReply stat;
  if (!ReadStat(rt, *file, stat)) return;
  recordLength = stat.recordLength;
  if (keyNumber < 0 || keyNumber >= stat.keyCount) return;
  int length = 0;
  for (const StatSegment& seg : stat.segments)
    if (seg.key == keyNumber) length += seg.length;
  keyLength = static_cast<std::int16_t>(std::min(length, 255));
}

std::string ComparableKey(Runtime& rt, std::string_view keyText, std::int16_t handle) {
  std::string text(keyText);
  RecordFile* file = FileOf(rt, handle);
  if (file == nullptr) return text;
  StatReply stat;
  if (!ReadStat(rt, *file, stat)) return text;
  std::size_t at = 0;
  for (const StatSegment& seg : stat.segments) {
    if (seg.key != file->KeyNumber) continue;
    const std::size_t end = at + seg.length;
    if (seg.flags & btr::kSegBinary) {
      if (text.size() < end) text.resize(end, '\0');
      std::reverse(text.begin() + static_cast<std::ptrdiff_t>(at),
                   text.begin() + static_cast<std::ptrdiff_t>(end));
    }
    if ((seg.flags & btr::kSegAlternateCollating) && stat.hasCollating) {
      for (std::size_t i = at; i < std::min(end, text.size()); ++i)
        text[i] = static_cast<char>(stat.collating[static_cast<std::uint8_t>(text[i])]);
    }
    at = end;
  }
  return text;
}

std::string CurrentKey(Runtime& rt, std::int16_t handle) {
  RecordFile* file = FileOf(rt, handle);
  if (file == nullptr) return {};
  return ComparableKey(rt, file->KeyText, handle);
}

}  // namespace zt

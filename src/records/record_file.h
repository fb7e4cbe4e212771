#pragma once
// Access to record files through the record manager: a table of open files (slots 1..40),
// positioning by key, stepping, physical positions, key lengths, comparable key values
// and lock modes with a retry while another program holds a record or the file.
// Handles, numbers and statuses are 16-bit; a handle not in the table gives status 3.
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

struct Runtime;

// This layer's own status: the key number is not defined in the file.
constexpr std::int16_t kStatusUndefinedKey = 1004;

// Opens a record file and registers it under handle in a free slot, with a record area
// of recordLength bytes (1..1536) and keyNumber as the key used by the operations. The
// path goes through ResolvePath. Status: 0, 86 when no slot is free, 1 for handle 0, a
// handle already open or a bad record length, else the record manager's status.
std::int16_t OpenRecordFile(Runtime& rt, std::int16_t handle, std::string_view path,
                            std::int32_t recordLength, std::int16_t keyNumber);
// Closes the file and frees its slot (its saved lock modes go too). Status 3 when not open.
std::int16_t CloseRecordFile(Runtime& rt, std::int16_t handle);

// The slot (1..40) holding handle; otherwise -(highest free slot), or 0 when none is free.
// Handle 0 marks free slots and is never found.
std::int16_t FindRecordFile(Runtime& rt, std::int16_t handle);

// The record area of an open file (RecordLength bytes), nullptr when not open.
std::string* RecordAreaOf(Runtime& rt, std::int16_t handle);

// Lock commands, upper-cased, in order: D mode 0, A mode 1, B mode 2, + save the mode,
// - restore the latest saved mode of this file; others ignored.
void SetLockMode(Runtime& rt, std::int16_t handle, std::string_view commands, std::int16_t& status);

// One record manager operation on slot's file, with the lock bias, the retry while
// locked (lock mode 1, message shown meanwhile) and the copy of the record read.
void RecordOperation(Runtime& rt, std::int16_t slot, std::int16_t operation, std::int16_t& status);

// Sets the key and positions: direction 0 Get Equal, > 0 Get Greater or Equal, < 0 Get
// Less or Equal. The value is filled with bytes 0 / cut to the key's length.
void SeekByKey(Runtime& rt, std::int16_t handle, std::int16_t keyNumber, std::string_view keyValue,
               std::int16_t direction, std::int16_t& status);

// Moves count records along the current key (backwards when negative); only the last
// move reads the record into the record area.
void StepRecords(Runtime& rt, std::int16_t handle, std::int16_t count, std::int16_t& status);

// position 0: the current record's physical position (0 on failure or when not open).
// Otherwise reads the record at that position and returns the status (3 when not open).
std::int32_t RecordPosition(Runtime& rt, std::int16_t handle, std::int32_t position);

// Key length (0 when the key or the file does not exist) and record length of the file.
void KeyInfo(Runtime& rt, std::int16_t handle, std::int16_t keyNumber, std::int16_t& keyLength,
             std::int32_t& recordLength);

// The key text in a form that compares correctly as text along the file's current key:
// binary segments reversed, alternate collating sequence applied.
std::string ComparableKey(Runtime& rt, std::string_view keyText, std::int16_t handle);

// ComparableKey of the file's current key value; empty when not open.
std::string CurrentKey(Runtime& rt, std::int16_t handle);

}  // namespace zt

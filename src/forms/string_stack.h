#pragma once
// A stack of texts packed into one text: each entry is its characters followed by its
// length as a 2-byte little-endian signed integer. The form loop's F4 step and the browse
// list keep their saved numbers on it.
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

class StringStack {
 public:
  static constexpr std::size_t kMaxEntry = 32767;

  // Appends an entry. An entry longer than kMaxEntry cannot be recorded: nothing is pushed
  // and the result is false.
  bool Push(std::string_view text);
  // Removes and returns the last entry; the empty text when the stack is empty. A packed
  // text whose last length does not fit what is there is emptied (never read past).
  std::string Pop();

  bool Empty() const { return packed_.empty(); }
  const std::string& Packed() const { return packed_; }

 private:
  std::string packed_;
};

// A 16-bit integer as a 2-byte little-endian text, and back (a shorter text reads as 0).
std::string Int16Text(std::int16_t value);
std::int16_t Int16FromText(std::string_view text);

}  // namespace zt

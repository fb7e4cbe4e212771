#pragma once
// Turns the bytes a terminal sends (xterm, VT220, rxvt, Linux console, tmux) into the
// console's input events. Pure: the caller hands in the bytes with the time they were read,
// and asks for events with the current time, so a lone Esc and a sequence split across
// reads are decided by elapsed time alone and can be tested without sleeping.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/environment.h"

namespace zt {

// How long a lone ESC waits for a following byte before it counts as the Esc key.
constexpr int kDefaultEscDelayMs = 25;
// How long an unfinished sequence (after ESC [, ESC O or inside a UTF-8 character) waits
// for its rest: longer than the Esc delay, because a slow link may split it.
constexpr int kSequenceTimeoutMs = 300;
// How long an unterminated bracketed paste waits for its end marker before the text
// received so far is delivered.
constexpr int kPasteTimeoutMs = 2000;

// ESCDELAY in milliseconds (as curses reads it), kDefaultEscDelayMs when unset or not a
// number; capped at 5000.
int EscDelayMilliseconds(const Environment& env);

class KeyDecoder {
 public:
  explicit KeyDecoder(int escDelayMs = kDefaultEscDelayMs);

  // Bytes read from the terminal at nowMs (any monotonic millisecond clock).
  void Feed(std::string_view bytes, std::int64_t nowMs);
  // The next decoded event, if any. Unfinished input whose wait has run out by nowMs is
  // decided first (a lone ESC becomes Esc).
  bool Next(InputEvent& event, std::int64_t nowMs);
  // Milliseconds from nowMs until unfinished input must be decided (0 when overdue), or -1
  // when nothing is unfinished: how long a caller may sleep before calling Next again.
  int MillisecondsUntilDeadline(std::int64_t nowMs) const;
  // True when Next would deliver an event without any deadline passing.
  bool HasEvent() const { return !ready_.empty(); }
  // Bytes held back because they may be the start of a longer sequence.
  std::size_t PendingBytes() const { return buffer_.size(); }

 private:
  void Decode(bool timedOut);

  int escDelayMs_;
  std::string buffer_;
  std::int64_t lastInputMs_ = 0;
  int pendingWaitMs_ = -1;  // wait that applies to buffer_, -1 when it is empty
  std::deque<InputEvent> ready_;
};

// Decodes a complete byte string, deciding any unfinished tail as timed out. For tests and
// tools.
std::vector<InputEvent> DecodeAll(std::string_view bytes);

}  // namespace zt

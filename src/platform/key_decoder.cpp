#include "platform/key_decoder.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/codepage.h"
#include "platform/keycodes.h"

namespace zt {
namespace {

enum class Status { Event, Swallow, Incomplete };

struct Step {
  Status status;
  std::size_t length;  // bytes used (Event, Swallow)
  int waitMs;          // Incomplete: how long to wait for the rest
};

constexpr std::size_t kMaxSequence = 64;        // longer CSI "sequences" are noise
constexpr std::size_t kMaxPaste = 1024 * 1024;  // deliver a runaway paste in pieces
constexpr std::string_view kPasteEnd = "\x1b[201~";

std::int16_t Scan(int code) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(code * 256));
}

// Scan codes of the letter keys a-z, for Alt+letter.
constexpr std::array<std::uint8_t, 26> kLetterScan = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                      36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                      31, 20, 22, 47, 17, 45, 21, 44};

// Extended codes of Alt with the digit row ("1".."9", "0", "-", "=").
int AltRowScan(char32_t cp) {
  if (cp >= '1' && cp <= '9') return 0x78 + static_cast<int>(cp - '1');
  if (cp == '0') return 0x81;
  if (cp == '-') return 0x82;
  if (cp == '=') return 0x83;
  return 0;
}

// Editing and function keys of "CSI n ~" (xterm, VT220, rxvt, Linux console).
struct TildeKey {
  int number;
  std::int16_t key;
  std::uint8_t modifiers;
};
const std::array<TildeKey, 29> kTildeKeys = {{
    {1, keys::kHome, 0},
    {2, keys::kInsert, 0},
    {3, keys::kDelete, 0},
    {4, keys::kEnd, 0},
    {5, keys::kPgUp, 0},
    {6, keys::kPgDn, 0},
    {7, keys::kHome, 0},
    {8, keys::kEnd, 0},
    {11, keys::FunctionKey(1), 0},
    {12, keys::FunctionKey(2), 0},
    {13, keys::FunctionKey(3), 0},
    {14, keys::FunctionKey(4), 0},
    {15, keys::FunctionKey(5), 0},
    {17, keys::FunctionKey(6), 0},
    {18, keys::FunctionKey(7), 0},
    {19, keys::FunctionKey(8), 0},
    {20, keys::FunctionKey(9), 0},
    {21, keys::FunctionKey(10), 0},
    {23, keys::FunctionKey(11), 0},
    {24, keys::FunctionKey(12), 0},
    // rxvt and the Linux console send Shift+F3..F10 as F13..F20.
    {25, keys::FunctionKey(3), kModShift},
    {26, keys::FunctionKey(4), kModShift},
    {28, keys::FunctionKey(5), kModShift},
    {29, keys::FunctionKey(6), kModShift},
    {31, keys::FunctionKey(7), kModShift},
    {32, keys::FunctionKey(8), kModShift},
    {33, keys::FunctionKey(9), kModShift},
    {34, keys::FunctionKey(10), kModShift},
    {0, 0, 0},
}};

// Final bytes of "CSI 1 ; m X" and "SS3 X" that name a key.
struct FinalKey {
  char final;
  std::int16_t key;
  std::uint8_t modifiers;
};
const std::array<FinalKey, 18> kFinalKeys = {{
    {'A', keys::kUp, 0},
    {'B', keys::kDown, 0},
    {'C', keys::kRight, 0},
    {'D', keys::kLeft, 0},
    {'E', keys::kKeypadCentre, 0},
    {'F', keys::kEnd, 0},
    {'H', keys::kHome, 0},
    {'P', keys::FunctionKey(1), 0},
    {'Q', keys::FunctionKey(2), 0},
    {'R', keys::FunctionKey(3), 0},
    {'S', keys::FunctionKey(4), 0},
    {'Z', keys::kShiftTab, kModShift},
    // rxvt: Shift+arrows as CSI a..d, Ctrl+arrows as SS3 a..d (the caller adds Ctrl).
    {'a', keys::kUp, kModShift},
    {'b', keys::kDown, kModShift},
    {'c', keys::kRight, kModShift},
    {'d', keys::kLeft, kModShift},
    {'\0', 0, 0},
    {'\0', 0, 0},
}};

// Application keypad characters sent as SS3 x.
char KeypadChar(char final) {
  switch (final) {
    case 'M':
      return '\r';
    case 'j':
      return '*';
    case 'k':
      return '+';
    case 'l':
      return ',';
    case 'm':
      return '-';
    case 'n':
      return '.';
    case 'o':
      return '/';
    case 'X':
      return '=';
    default:
      return (final >= 'p' && final <= 'y') ? static_cast<char>('0' + final - 'p') : 0;
  }
}

InputEvent KeyEvent(std::int16_t key, std::uint8_t modifiers) {
  InputEvent event;
  event.kind = EventKind::Key;
  event.key = key;
  event.modifiers = modifiers;
  return event;
}

// xterm's modifier parameter: 1 + Shift(1) + Alt(2) + Ctrl(4) (+ Meta(8), taken as Alt).
std::uint8_t ModifierParameter(int value) {
  if (value <= 1) return 0;
  int bits = (value - 1) & 15;
  std::uint8_t mods = 0;
  if (bits & 1) mods |= kModShift;
  if (bits & 2) mods |= kModAlt;
  if (bits & 4) mods |= kModCtrl;
  if (bits & 8) mods |= kModAlt;
  return mods;
}

// The event for a character (Unicode) typed with the given modifiers. False when the
// character has nothing to deliver (no code page 850 byte).
bool CharacterEvent(char32_t cp, std::uint8_t mods, InputEvent& event) {
  if (cp == '\r' || cp == '\n') {
    event = KeyEvent(keys::kEnter, mods);
  } else if (cp == '\t') {
    event = (mods & kModShift) ? KeyEvent(keys::kShiftTab, mods) : KeyEvent(keys::kTab, mods);
  } else if (cp == 0x1b) {
    event = KeyEvent(keys::kEsc, mods);
  } else if (cp == 0x7f || cp == 0x08) {
    event = KeyEvent(keys::kBackspace, mods);
  } else if (cp == 0) {
    // Ctrl+Space and Ctrl+2 both send NUL.
    event = KeyEvent(' ', mods | kModCtrl);
  } else if (cp < 0x20) {
    if (cp <= 26 && (mods & kModAlt)) {
      event = KeyEvent(Scan(kLetterScan[cp - 1]), mods | kModCtrl);
    } else {
      event = KeyEvent(static_cast<std::int16_t>(cp), mods | kModCtrl);
    }
  } else if (cp >= 0x80 && cp < 0xA0) {
    // A C1 code point comes from xterm's 8-bit meta on a control key (Alt+Esc is U+009B,
    // not a CSI introducer).
    return CharacterEvent(cp - 0x80, mods | kModAlt, event);
  } else if (cp < 0x80) {
    bool upper = cp >= 'A' && cp <= 'Z';
    bool letter = upper || (cp >= 'a' && cp <= 'z');
    char32_t lower = upper ? cp + 32 : cp;
    if ((mods & kModAlt) && letter) {
      std::uint8_t shift = (upper || (mods & kModShift)) ? kModShift : 0;
      event = KeyEvent(Scan(kLetterScan[lower - 'a']),
                       static_cast<std::uint8_t>((mods & (kModAlt | kModCtrl)) | shift));
    } else if ((mods & kModAlt) && AltRowScan(cp) != 0) {
      event = KeyEvent(Scan(AltRowScan(cp)), mods);
    } else if ((mods & kModCtrl) && (letter || (cp >= '@' && cp <= '_'))) {
      // What the terminal sends without modifyOtherKeys: the control byte.
      return CharacterEvent(lower & 0x1f, mods & kModAlt, event);
    } else {
      // A printable character carries its own Shift.
      event = KeyEvent(static_cast<std::int16_t>(cp), mods & ~kModShift);
    }
  } else {
    std::uint8_t byte = UnicodeToCp850(cp);
    if (byte == 0) return false;
    event = KeyEvent(static_cast<std::int16_t>(byte), mods & ~kModShift);
  }
  return true;
}

Step Deliver(bool delivered, std::size_t length) {
  return {delivered ? Status::Event : Status::Swallow, length, 0};
}

// One character (ASCII, UTF-8, or a stray byte taken as Latin-1) at pos.
Step ParseCharacter(std::string_view b, std::size_t pos, bool timedOut, std::uint8_t mods,
                    InputEvent& event) {
  auto lead = static_cast<std::uint8_t>(b[pos]);
  std::size_t len = lead < 0x80             ? 1
                    : (lead & 0xE0) == 0xC0 ? 2
                    : (lead & 0xF0) == 0xE0 ? 3
                    : (lead & 0xF8) == 0xF0 ? 4
                                            : 0;
  if (len == 1) return Deliver(CharacterEvent(lead, mods, event), pos + 1);
  bool valid = len != 0;
  char32_t cp = len == 2 ? (lead & 0x1F) : len == 3 ? (lead & 0x0F) : (lead & 0x07);
  std::size_t have = std::min(len, b.size() - pos);
  for (std::size_t k = 1; valid && k < have; ++k) {
    auto next = static_cast<std::uint8_t>(b[pos + k]);
    if ((next & 0xC0) != 0x80) valid = false;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (valid && have < len) {
    if (!timedOut) return {Status::Incomplete, 0, kSequenceTimeoutMs};
    valid = false;
  }
  // An 8-bit terminal (C locale) sends Latin-1 bytes.
  if (!valid) return Deliver(CharacterEvent(lead, mods, event), pos + 1);
  return Deliver(CharacterEvent(cp, mods, event), pos + len);
}

std::string PasteText(std::string_view raw) {
  // Terminals send line breaks in a paste as CR; the program's texts use CR LF.
  std::string text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '\r' || c == '\n') {
      text += "\r\n";
      if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    } else {
      text += c;
    }
  }
  return Utf8ToCp850(text);
}

Step ParsePaste(std::string_view b, std::size_t start, bool timedOut, InputEvent& event) {
  std::size_t end = b.find(kPasteEnd, start);
  std::size_t length = 0;
  std::string_view body;
  if (end != std::string_view::npos) {
    body = b.substr(start, end - start);
    length = end + kPasteEnd.size();
  } else if (timedOut || b.size() - start > kMaxPaste) {
    body = b.substr(start);
    length = b.size();
  } else {
    return {Status::Incomplete, 0, kPasteTimeoutMs};
  }
  event = InputEvent{};
  event.kind = EventKind::Paste;
  event.text = PasteText(body);
  return Deliver(!event.text.empty(), length);
}

Step MouseEvent(const std::vector<int>& p, char final, std::size_t length, InputEvent& event) {
  if (p.size() < 3) return {Status::Swallow, length, 0};
  int code = p[0];
  event = InputEvent{};
  if (code & 4) event.modifiers |= kModShift;
  if (code & 8) event.modifiers |= kModAlt;
  if (code & 16) event.modifiers |= kModCtrl;
  event.column = std::max(p[1], 1);
  event.row = std::max(p[2], 1);
  if (code & 64) {
    // Wheel: a press of buttons 4/5, no release. Reported so it is swallowed cleanly.
    if (final == 'm') return {Status::Swallow, length, 0};
    event.kind = EventKind::MousePress;
    event.button = 4 + (code & 1);
    return {Status::Event, length, 0};
  }
  static constexpr std::array<int, 4> kButtons = {1, 3, 2, 0};
  event.button = kButtons[code & 3];
  if (code & 32) {
    event.kind = EventKind::MouseMove;
  } else {
    event.kind = final == 'M' ? EventKind::MousePress : EventKind::MouseRelease;
  }
  return {Status::Event, length, 0};
}

Step DispatchCsi(std::string_view b, char prefix, const std::vector<int>& p, char final,
                 std::size_t length, std::uint8_t extra, bool timedOut, InputEvent& event) {
  auto param = [&p](std::size_t i) { return i < p.size() ? p[i] : 0; };
  if (prefix == '<') {
    if (final == 'M' || final == 'm') return MouseEvent(p, final, length, event);
    return {Status::Swallow, length, 0};
  }
  if (prefix != 0) return {Status::Swallow, length, 0};  // replies to queries we never send
  if (final == 'M' && p.empty()) {
    // X10 mouse from terminals without SGR reports: three raw bytes follow, each 32 + value.
    if (b.size() < length + 3) {
      return timedOut ? Step{Status::Swallow, b.size(), 0}
                      : Step{Status::Incomplete, 0, kSequenceTimeoutMs};
    }
    auto value = [&b, length](std::size_t i) {
      return std::max(static_cast<int>(static_cast<std::uint8_t>(b[length + i])) - 32, 0);
    };
    int code = value(0);
    std::vector<int> sgr = {code, value(1), value(2)};
    if ((code & 3) == 3 && (code & (32 | 64)) == 0) {
      // X10 does not say which button was released: take the left one.
      sgr[0] = code & ~3;
      return MouseEvent(sgr, 'm', length + 3, event);
    }
    return MouseEvent(sgr, 'M', length + 3, event);
  }
  if (final == '~' || final == '^' || final == '@' || final == '$') {
    int number = param(0);
    std::uint8_t mods = ModifierParameter(param(1)) | extra;
    if (final == '^') mods |= kModCtrl;
    if (final == '@') mods |= kModCtrl | kModShift;
    if (final == '$') mods |= kModShift;
    if (number == 200 && final == '~') return ParsePaste(b, length, timedOut, event);
    if (number == 27 && final == '~') {
      // modifyOtherKeys: CSI 27 ; m ; code ~
      auto code = static_cast<char32_t>(param(2));
      return Deliver(CharacterEvent(code, ModifierParameter(param(1)) | extra, event), length);
    }
    for (const TildeKey& k : kTildeKeys) {
      if (k.number == number && k.key != 0) {
        event = KeyEvent(k.key, mods | k.modifiers);
        return {Status::Event, length, 0};
      }
    }
    return {Status::Swallow, length, 0};
  }
  if (final == 'u') {
    // CSI code ; m u, the fixterms / kitty form of the same idea.
    auto code = static_cast<char32_t>(param(0));
    return Deliver(CharacterEvent(code, ModifierParameter(param(1)) | extra, event), length);
  }
  for (const FinalKey& k : kFinalKeys) {
    if (k.final == final && k.key != 0) {
      std::uint8_t mods = (p.size() >= 2 ? ModifierParameter(p[1]) : 0) | extra | k.modifiers;
      event = KeyEvent(k.key, mods);
      return {Status::Event, length, 0};
    }
  }
  return {Status::Swallow, length, 0};
}

// The caller has read ESC [ (and an optional extra ESC for Alt): start is the first byte
// after the "[".
Step ParseCsi(std::string_view b, std::size_t start, std::uint8_t extra, bool timedOut,
              InputEvent& event) {
  std::size_t i = start;
  if (i >= b.size()) {
    if (!timedOut) return {Status::Incomplete, 0, kSequenceTimeoutMs};
    // Nothing followed: Alt+[ typed with metaSendsEscape.
    if (extra == 0) return Deliver(CharacterEvent('[', kModAlt, event), i);
    return {Status::Swallow, i, 0};
  }
  if (b[i] == '[') {
    // Linux console: F1-F5 as CSI [ A..E.
    if (i + 1 >= b.size()) {
      return timedOut ? Step{Status::Swallow, b.size(), 0}
                      : Step{Status::Incomplete, 0, kSequenceTimeoutMs};
    }
    char f = b[i + 1];
    if (f >= 'A' && f <= 'E') {
      event = KeyEvent(keys::FunctionKey(f - 'A' + 1), extra);
      return {Status::Event, i + 2, 0};
    }
    return {Status::Swallow, (f >= 0x20 && f < 0x7f) ? i + 2 : i + 1, 0};
  }
  char prefix = 0;
  if (b[i] == '<' || b[i] == '=' || b[i] == '>' || b[i] == '?') prefix = b[i++];
  std::vector<int> params;
  int value = 0;
  bool any = false;
  bool intermediate = false;
  for (; i < b.size(); ++i) {
    auto c = static_cast<unsigned char>(b[i]);
    if (c >= '0' && c <= '9') {
      value = std::min(value * 10 + (c - '0'), 100000);
      any = true;
    } else if (c == ';' || c == ':') {
      params.push_back(value);
      value = 0;
      any = true;
    } else if (c == '$' && prefix == 0 && !intermediate && params.empty()) {
      break;  // rxvt's Shift+key final
    } else if (c >= 0x20 && c <= 0x2F) {
      intermediate = true;
    } else if (c >= 0x40 && c <= 0x7E) {
      break;
    } else {
      // Not part of a sequence: drop what was read, keep this byte for itself.
      return {Status::Swallow, i, 0};
    }
    if (i - start > kMaxSequence) return {Status::Swallow, i + 1, 0};
  }
  if (i >= b.size()) {
    return timedOut ? Step{Status::Swallow, b.size(), 0}
                    : Step{Status::Incomplete, 0, kSequenceTimeoutMs};
  }
  if (any) params.push_back(value);
  if (intermediate) return {Status::Swallow, i + 1, 0};
  return DispatchCsi(b, prefix, params, b[i], i + 1, extra, timedOut, event);
}

// The caller has read ESC O: start is the first byte after the "O".
Step ParseSs3(std::string_view b, std::size_t start, std::uint8_t extra, bool timedOut,
              InputEvent& event) {
  std::size_t i = start;
  int modifier = 0;
  while (i < b.size() && b[i] >= '0' && b[i] <= '9' && i - start < 3) {
    modifier = modifier * 10 + (b[i] - '0');
    ++i;
  }
  if (i >= b.size()) {
    if (!timedOut) return {Status::Incomplete, 0, kSequenceTimeoutMs};
    if (i == start && extra == 0) return Deliver(CharacterEvent('O', kModAlt, event), i);
    return {Status::Swallow, i, 0};
  }
  char final = b[i];
  std::uint8_t mods = ModifierParameter(modifier) | extra;
  if (char kp = KeypadChar(final); kp != 0) {
    event = kp == '\r' ? KeyEvent(keys::kEnter, mods) : KeyEvent(kp, mods & ~kModShift);
    return {Status::Event, i + 1, 0};
  }
  if (final >= 'a' && final <= 'd') mods |= kModCtrl;  // rxvt Ctrl+arrows
  char upper = (final >= 'a' && final <= 'd') ? static_cast<char>(final - 32) : final;
  for (const FinalKey& k : kFinalKeys) {
    if (k.final == upper && k.key != 0 && upper != 'Z') {
      event = KeyEvent(k.key, mods);
      return {Status::Event, i + 1, 0};
    }
  }
  auto c = static_cast<unsigned char>(final);
  return {Status::Swallow, (c >= 0x20 && c < 0x7f) ? i + 1 : i, 0};
}

Step ParseOne(std::string_view b, bool timedOut, int escDelayMs, InputEvent& event) {
  if (b[0] != '\x1b') return ParseCharacter(b, 0, timedOut, 0, event);
  if (b.size() == 1) {
    if (!timedOut) return {Status::Incomplete, 0, escDelayMs};
    event = KeyEvent(keys::kEsc, 0);
    return {Status::Event, 1, 0};
  }
  if (b[1] == '[') return ParseCsi(b, 2, 0, timedOut, event);
  if (b[1] == 'O') return ParseSs3(b, 2, 0, timedOut, event);
  if (b[1] == '\x1b') {
    // ESC ESC [ ... is an Alt+key from terminals that prefix whole sequences.
    if (b.size() == 2 && !timedOut) return {Status::Incomplete, 0, escDelayMs};
    if (b.size() > 2 && b[2] == '[') return ParseCsi(b, 3, kModAlt, timedOut, event);
    if (b.size() > 2 && b[2] == 'O') return ParseSs3(b, 3, kModAlt, timedOut, event);
    // Otherwise two Esc presses that arrived together (a quick double Esc, a slow link):
    // deliver the first; the second is decoded on its own. Alt+Esc means nothing here.
    event = KeyEvent(keys::kEsc, 0);
    return {Status::Event, 1, 0};
  }
  // ESC + character: Alt held (metaSendsEscape, tmux).
  return ParseCharacter(b, 1, timedOut, kModAlt, event);
}

}  // namespace

int EscDelayMilliseconds(const Environment& env) {
  std::string text = env.Get("ESCDELAY");
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0) {
    return kDefaultEscDelayMs;
  }
  return std::min(value, 5000);
}

KeyDecoder::KeyDecoder(int escDelayMs) : escDelayMs_(std::clamp(escDelayMs, 0, 5000)) {}

void KeyDecoder::Decode(bool timedOut) {
  std::size_t used = 0;
  pendingWaitMs_ = -1;
  while (used < buffer_.size()) {
    InputEvent event;
    Step step = ParseOne(std::string_view(buffer_).substr(used), timedOut, escDelayMs_, event);
    if (step.status == Status::Incomplete) {
      pendingWaitMs_ = step.waitMs;
      break;
    }
    if (step.status == Status::Event) ready_.push_back(std::move(event));
    used += std::max<std::size_t>(step.length, 1);
  }
  buffer_.erase(0, used);
}

void KeyDecoder::Feed(std::string_view bytes, std::int64_t nowMs) {
  // Input that waited past its deadline is decided before newer bytes can join it.
  if (!buffer_.empty() && nowMs - lastInputMs_ >= pendingWaitMs_) Decode(true);
  buffer_.append(bytes);
  lastInputMs_ = nowMs;
  Decode(false);
}

bool KeyDecoder::Next(InputEvent& event, std::int64_t nowMs) {
  if (ready_.empty() && !buffer_.empty() && nowMs - lastInputMs_ >= pendingWaitMs_) {
    Decode(true);
  }
  if (ready_.empty()) return false;
  event = std::move(ready_.front());
  ready_.pop_front();
  return true;
}

int KeyDecoder::MillisecondsUntilDeadline(std::int64_t nowMs) const {
  if (buffer_.empty()) return -1;
  std::int64_t left = lastInputMs_ + pendingWaitMs_ - nowMs;
  return static_cast<int>(std::clamp<std::int64_t>(left, 0, kPasteTimeoutMs));
}

std::vector<InputEvent> DecodeAll(std::string_view bytes) {
  KeyDecoder decoder;
  decoder.Feed(bytes, 0);
  std::vector<InputEvent> events;
  InputEvent event;
  while (decoder.Next(event, 1'000'000)) events.push_back(event);
  return events;
}

}  // namespace zt

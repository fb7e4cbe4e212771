#include "platform/key_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/codepage.h"
#include "platform/keycodes.h"

namespace zt {
namespace {

using keys::FunctionKey;

InputEvent Key(int key, std::uint8_t mods = 0) {
  InputEvent e;
  e.kind = EventKind::Key;
  e.key = static_cast<std::int16_t>(key);
  e.modifiers = mods;
  return e;
}

InputEvent Mouse(EventKind kind, int button, int row, int column, std::uint8_t mods = 0) {
  InputEvent e;
  e.kind = kind;
  e.button = button;
  e.row = row;
  e.column = column;
  e.modifiers = mods;
  return e;
}

InputEvent Paste(std::string text) {
  InputEvent e;
  e.kind = EventKind::Paste;
  e.text = std::move(text);
  return e;
}

std::string Describe(const std::vector<InputEvent>& events) {
  std::ostringstream out;
  for (const InputEvent& e : events) {
    out << "{kind " << static_cast<int>(e.kind) << " key " << e.key << " mods "
        << static_cast<int>(e.modifiers);
    if (e.kind != EventKind::Key)
      out << " button " << e.button << " at " << e.row << "," << e.column;
    if (!e.text.empty()) out << " text \"" << e.text << "\"";
    out << "} ";
  }
  return out.str();
}

std::string Hex(std::string_view bytes) {
  std::ostringstream out;
  for (char c : bytes) {
    out << std::hex << (static_cast<unsigned>(static_cast<unsigned char>(c)) | 0x100) << ' ';
  }
  std::string s = out.str();
  std::string result;
  for (std::size_t i = 0; i + 3 < s.size() + 1; i += 4) result += s.substr(i + 1, 2) + " ";
  return result;
}

constexpr std::uint8_t S = kModShift;
constexpr std::uint8_t A = kModAlt;
constexpr std::uint8_t C = kModCtrl;

struct Case {
  const char* bytes;
  std::vector<InputEvent> events;
};

// Every form a key can arrive in, written out by hand so the decoder is tested even where
// the recorded terminal tables are not available.
const std::vector<Case>& HandCases() {
  static const std::vector<Case> cases = {
      {"a", {Key('a')}},
      {"\xc3\xa9", {Key(0x82)}},      // é
      {"\xc3\x87", {Key(0x80)}},      // Ç
      {"\xe2\x82\xac", {Key(0xD5)}},  // €
      {"\xe9", {Key(0x82)}},          // é from an 8-bit (Latin-1) terminal
      {"\r", {Key(keys::kEnter)}},
      {"\n", {Key(keys::kEnter)}},  // tmux's KP_Enter
      {"\t", {Key(keys::kTab)}},
      {"\x1b[Z", {Key(keys::kShiftTab, S)}},
      {"\x7f", {Key(keys::kBackspace)}},
      {"\x08", {Key(keys::kBackspace)}},
      {"\x03", {Key(3, C)}},  // Ctrl+C is a key
      {"\x18", {Key(24, C)}},
      {"\x00", {Key(' ', C)}},
      {"\x1b[A", {Key(keys::kUp)}},
      {"\x1bOB", {Key(keys::kDown)}},
      {"\x1b[1;5C", {Key(keys::kRight, C)}},
      {"\x1b[1;5D", {Key(keys::kLeft, C)}},
      {"\x1b[E", {Key(keys::kKeypadCentre)}},
      {"\x1bOE", {Key(keys::kKeypadCentre)}},
      {"\x1b[1;3E", {Key(keys::kKeypadCentre, A)}},
      {"\x1b[2~", {Key(keys::kInsert)}},
      {"\x1b[3~", {Key(keys::kDelete)}},
      {"\x1b[5~", {Key(keys::kPgUp)}},
      {"\x1b[6;3~", {Key(keys::kPgDn, A)}},
      // Home and End in every form.
      {"\x1b[H", {Key(keys::kHome)}},
      {"\x1bOH", {Key(keys::kHome)}},
      {"\x1b[1~", {Key(keys::kHome)}},
      {"\x1b[7~", {Key(keys::kHome)}},
      {"\x1b[1;5H", {Key(keys::kHome, C)}},
      {"\x1b[F", {Key(keys::kEnd)}},
      {"\x1bOF", {Key(keys::kEnd)}},
      {"\x1b[4~", {Key(keys::kEnd)}},
      {"\x1b[8~", {Key(keys::kEnd)}},
      // Function keys: xterm, VT220, Linux console, rxvt, with modifiers.
      {"\x1bOP", {Key(FunctionKey(1))}},
      {"\x1b[11~", {Key(FunctionKey(1))}},
      {"\x1b[[A", {Key(FunctionKey(1))}},
      {"\x1b[[E", {Key(FunctionKey(5))}},
      {"\x1b[14~", {Key(FunctionKey(4))}},
      {"\x1b[15~", {Key(FunctionKey(5))}},
      {"\x1b[21~", {Key(FunctionKey(10))}},
      {"\x1b[23~", {Key(keys::kF11)}},
      {"\x1b[24~", {Key(keys::kF12)}},
      {"\x1b[1;5P", {Key(FunctionKey(1), C)}},
      {"\x1b[1;2S", {Key(FunctionKey(4), S)}},
      {"\x1bO5P", {Key(FunctionKey(1), C)}},
      {"\x1b[24;3~", {Key(keys::kF12, A)}},
      {"\x1b[21;2~", {Key(FunctionKey(10), S)}},
      {"\x1b[1;6Q", {Key(FunctionKey(2), C | S)}},
      {"\x1b[1;8A", {Key(keys::kUp, C | A | S)}},
      {"\x1b[34~", {Key(FunctionKey(10), S)}},  // rxvt Shift+F10
      {"\x1b[2^", {Key(keys::kInsert, C)}},     // rxvt Ctrl+Insert
      {"\x1b[3$", {Key(keys::kDelete, S)}},     // rxvt Shift+Delete
      {"\x1bOd", {Key(keys::kLeft, C)}},        // rxvt Ctrl+Left
      {"\x1b[a", {Key(keys::kUp, S)}},          // rxvt Shift+Up
      // Alt: ESC prefix gives the letter key's scan code.
      {"\x1bx", {Key(keys::kAltX, A)}},
      {"\x1b"
       "c",
       {Key(keys::kAltC, A)}},
      {"\x1b"
       "e",
       {Key(keys::kAltE, A)}},
      {"\x1b"
       "f",
       {Key(keys::kAltF, A)}},
      {"\x1bq", {Key(16 * 256, A)}},
      {"\x1bm", {Key(50 * 256, A)}},
      {"\x1b"
       "E",
       {Key(keys::kAltE, A | S)}},
      {"\x1b"
       "1",
       {Key(0x78 * 256, A)}},
      {"\x1b"
       "0",
       {Key(static_cast<std::int16_t>(0x8100), A)}},
      {"\x1b\x18", {Key(keys::kAltX, A | C)}},
      {"\x1b\x1b", {Key(keys::kEsc), Key(keys::kEsc)}},  // a quick double Esc
      {"\x1b\x1b[A", {Key(keys::kUp, A)}},
      {"\x1b\r", {Key(keys::kEnter, A)}},
      {"\x1b\xc3\xa9", {Key(0x82, A)}},
      // 8-bit meta on control keys: C1 code points, never a CSI.
      {"\xc2\x9b", {Key(keys::kEsc, A)}},
      {"\xc2\x9b[A", {Key(keys::kEsc, A), Key('['), Key('A')}},
      {"\xc2\x89", {Key(keys::kTab, A)}},
      // modifyOtherKeys and CSI u.
      {"\x1b[27;5;9~", {Key(keys::kTab, C)}},
      {"\x1b[27;2;13~", {Key(keys::kEnter, S)}},
      {"\x1b[27;5;99~", {Key(3, C)}},
      {"\x1b[27;3;120~", {Key(keys::kAltX, A)}},
      {"\x1b[27;2;65~", {Key('A')}},
      {"\x1b[27;5;92~", {Key(28, C)}},
      {"\x1b[120;3u", {Key(keys::kAltX, A)}},
      // Application keypad.
      {"\x1bOM", {Key(keys::kEnter)}},
      {"\x1bO3M", {Key(keys::kEnter, A)}},
      {"\x1bOk", {Key('+')}},
      {"\x1bOw", {Key('7')}},
      // Mouse (SGR 1006).
      {"\x1b[<0;10;5M", {Mouse(EventKind::MousePress, 1, 5, 10)}},
      {"\x1b[<0;10;5m", {Mouse(EventKind::MouseRelease, 1, 5, 10)}},
      {"\x1b[<2;80;25m", {Mouse(EventKind::MouseRelease, 2, 25, 80)}},
      {"\x1b[<1;3;4m", {Mouse(EventKind::MouseRelease, 3, 4, 3)}},
      {"\x1b[<8;10;5m", {Mouse(EventKind::MouseRelease, 1, 5, 10, A)}},
      {"\x1b[<64;10;5M", {Mouse(EventKind::MousePress, 4, 5, 10)}},
      {"\x1b[<65;10;5M", {Mouse(EventKind::MousePress, 5, 5, 10)}},
      {"\x1b[<35;7;8M", {Mouse(EventKind::MouseMove, 0, 8, 7)}},
      // X10 reports (no SGR): 32 + button, 32 + column, 32 + row; button 3 is a release.
      {"\x1b[M *%", {Mouse(EventKind::MousePress, 1, 5, 10)}},
      {"\x1b[M#*%", {Mouse(EventKind::MouseRelease, 1, 5, 10)}},
      {"\x1b[M\"*%a", {Mouse(EventKind::MousePress, 2, 5, 10), Key('a')}},
      // Bracketed paste: one event, CR becomes a line break, UTF-8 becomes code page 850.
      {"\x1b[200~paste \xc3\xa9\rline2\x1b[201~", {Paste("paste \x82\r\nline2")}},
      {"\x1b[200~a\r\nb\nc\x1b[201~x", {Paste("a\r\nb\r\nc"), Key('x')}},
      {"\x1b[200~\x1b[A\x03\x1b[201~", {Paste("\x1b[A\x03")}},
      {"\x1b[200~\x1b[201~", {}},
      // Unknown or malformed sequences are swallowed whole.
      {"\x1b[?1;2c", {}},
      {"\x1b[99~", {}},
      {"\x1b[1;5X", {}},
      {"\x1b[>0;95;0c"
       "a",
       {Key('a')}},
      {"\x1b[I\x1b[O", {}},
      {"\x1b[12;34$p", {}},
      {"\x1b[1\x03", {Key(3, C)}},
      {"\x1bOz", {}},
      {"\x1b[[Z", {}},
  };
  return cases;
}

TEST(KeyDecoderTest, HandWrittenTable) {
  for (const Case& c : HandCases()) {
    std::string_view bytes(c.bytes);
    if (bytes.empty()) bytes = std::string_view("\0", 1);  // the NUL case
    std::vector<InputEvent> got = DecodeAll(bytes);
    EXPECT_EQ(got, c.events) << "bytes " << Hex(bytes) << "\n  got      " << Describe(got)
                             << "\n  expected " << Describe(c.events);
  }
}

TEST(KeyDecoderTest, EveryLetterAndDigitWithAlt) {
  // The DOS keyboard's scan codes, row by row.
  const std::string rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
  const int firstScan[] = {16, 30, 44};
  for (int r = 0; r < 3; ++r) {
    for (std::size_t i = 0; i < rows[r].size(); ++i) {
      std::string bytes = std::string("\x1b") + rows[r][i];
      EXPECT_EQ(DecodeAll(bytes), std::vector<InputEvent>{Key((firstScan[r] + int(i)) * 256, A)})
          << rows[r][i];
    }
  }
  const std::string digits = "1234567890";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    std::string bytes = std::string("\x1b") + digits[i];
    EXPECT_EQ(DecodeAll(bytes),
              std::vector<InputEvent>{Key(static_cast<std::int16_t>((0x78 + i) * 256), A)})
        << digits[i];
  }
}

TEST(KeyDecoderTest, CtrlLettersAreCodesOneToTwentySix) {
  for (int code = 1; code <= 26; ++code) {
    if (code == 8 || code == 9 || code == 10 || code == 13) continue;  // Backspace, Tab, Enter
    std::string bytes(1, static_cast<char>(code));
    EXPECT_EQ(DecodeAll(bytes), std::vector<InputEvent>{Key(code, C)}) << code;
  }
}

// Split reads and the Esc delay, with the clock as an input.
TEST(KeyDecoderTest, LoneEscWaitsForTheDelay) {
  KeyDecoder decoder(25);
  InputEvent event;
  decoder.Feed("\x1b", 1000);
  EXPECT_FALSE(decoder.Next(event, 1000));
  EXPECT_FALSE(decoder.Next(event, 1024));
  EXPECT_EQ(decoder.MillisecondsUntilDeadline(1010), 15);
  ASSERT_TRUE(decoder.Next(event, 1025));
  EXPECT_EQ(event, Key(keys::kEsc));
  EXPECT_EQ(decoder.MillisecondsUntilDeadline(1025), -1);
}

TEST(KeyDecoderTest, SequenceSplitAcrossReadsIsOneKey) {
  KeyDecoder decoder(25);
  InputEvent event;
  decoder.Feed("\x1b[", 0);
  // Past the Esc delay but within the sequence wait: still unfinished.
  EXPECT_FALSE(decoder.Next(event, 100));
  decoder.Feed("1;5", 150);
  EXPECT_FALSE(decoder.Next(event, 200));
  decoder.Feed("P", 260);
  ASSERT_TRUE(decoder.Next(event, 260));
  EXPECT_EQ(event, Key(FunctionKey(1), C));
  EXPECT_FALSE(decoder.Next(event, 10000));
}

TEST(KeyDecoderTest, EscThenLateKeyAreTwoKeys) {
  KeyDecoder decoder(25);
  InputEvent event;
  decoder.Feed("\x1b", 0);
  decoder.Feed("x", 40);  // after the delay: Esc, then x (not Alt+X)
  ASSERT_TRUE(decoder.Next(event, 40));
  EXPECT_EQ(event, Key(keys::kEsc));
  ASSERT_TRUE(decoder.Next(event, 40));
  EXPECT_EQ(event, Key('x'));
}

MapEnvironment Env(const char* escDelay) {
  MapEnvironment env;
  env.Set("ESCDELAY", escDelay);
  return env;
}

TEST(KeyDecoderTest, EscDelayFromEnvironment) {
  EXPECT_EQ(EscDelayMilliseconds(MapEnvironment()), kDefaultEscDelayMs);
  EXPECT_EQ(EscDelayMilliseconds(Env("100")), 100);
  EXPECT_EQ(EscDelayMilliseconds(Env("0")), 0);
  EXPECT_EQ(EscDelayMilliseconds(Env("abc")), kDefaultEscDelayMs);
  EXPECT_EQ(EscDelayMilliseconds(Env("-5")), kDefaultEscDelayMs);
  EXPECT_EQ(EscDelayMilliseconds(Env("99999999999")), kDefaultEscDelayMs);
  EXPECT_EQ(EscDelayMilliseconds(Env("9000")), 5000);

  KeyDecoder slow(EscDelayMilliseconds(Env("100")));
  InputEvent event;
  slow.Feed("\x1b", 0);
  EXPECT_FALSE(slow.Next(event, 60));
  EXPECT_TRUE(slow.Next(event, 100));
}

TEST(KeyDecoderTest, SplitUtf8AndPaste) {
  KeyDecoder decoder(25);
  InputEvent event;
  decoder.Feed("\xc3", 0);
  EXPECT_FALSE(decoder.Next(event, 10));
  decoder.Feed("\xa7", 20);
  ASSERT_TRUE(decoder.Next(event, 20));
  EXPECT_EQ(event, Key(0x87));  // ç

  decoder.Feed("\x1b[200~one ", 100);
  EXPECT_FALSE(decoder.Next(event, 500));  // the paste is not over: no typed keys leak
  decoder.Feed("two\x1b[20", 600);
  EXPECT_FALSE(decoder.Next(event, 700));
  decoder.Feed("1~", 800);
  ASSERT_TRUE(decoder.Next(event, 800));
  EXPECT_EQ(event, Paste("one two"));
}

TEST(KeyDecoderTest, UnfinishedInputIsDecidedAfterItsWait) {
  // A truncated sequence is swallowed, never delivered as typed characters.
  KeyDecoder decoder(25);
  InputEvent event;
  decoder.Feed("\x1b[1;5", 0);
  EXPECT_FALSE(decoder.Next(event, kSequenceTimeoutMs - 1));
  EXPECT_FALSE(decoder.Next(event, kSequenceTimeoutMs + 1));
  EXPECT_EQ(decoder.PendingBytes(), 0u);
  // A paste whose end never comes is delivered once its wait has passed.
  decoder.Feed("\x1b[200~abc", 1000);
  EXPECT_FALSE(decoder.Next(event, 1000 + kPasteTimeoutMs - 1));
  ASSERT_TRUE(decoder.Next(event, 1000 + kPasteTimeoutMs));
  EXPECT_EQ(event, Paste("abc"));
  // A flood of sequence bytes without a final byte does not grow without bound.
  decoder.Feed("\x1b[" + std::string(500, '1'), 5000);
  EXPECT_LT(decoder.PendingBytes(), 100u);
}

}  // namespace
}  // namespace zt

namespace zt {
namespace {

// Random terminal noise, rich in ESC, "[", digits and UTF-8 lead bytes, fed in random
// chunks at random times: the decoder never stalls, never holds more than a sequence's
// worth of bytes, and never delivers an empty key.
TEST(KeyDecoderTest, RandomInputIsAlwaysConsumed) {
  using namespace std::string_view_literals;
  const std::string alphabet("\x1b[O;<~0123456789ABCDHPZmMu$^\xc3\xa9\xe2\x82\x00\x7f\r\n\t\x9b"sv);
  std::uint64_t state = 12345;
  auto next = [&state](std::uint64_t bound) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return (state >> 33) % bound;
  };
  for (int round = 0; round < 300; ++round) {
    KeyDecoder decoder(25);
    std::int64_t now = 0;
    for (int chunk = 0; chunk < 20; ++chunk) {
      std::string bytes;
      for (std::uint64_t n = next(12); n > 0; --n) bytes += alphabet[next(alphabet.size())];
      now += static_cast<std::int64_t>(next(60));
      decoder.Feed(bytes, now);
      InputEvent event;
      while (decoder.Next(event, now)) {
        if (event.kind == EventKind::Key) {
          ASSERT_NE(event.key, 0) << "round " << round;
        }
      }
      ASSERT_LE(decoder.PendingBytes(), 80u) << "round " << round;
    }
    // Once every wait has passed, nothing is left over.
    InputEvent event;
    while (decoder.Next(event, now + kPasteTimeoutMs + 1)) {
    }
    EXPECT_EQ(decoder.PendingBytes(), 0u) << "round " << round;
    EXPECT_EQ(decoder.MillisecondsUntilDeadline(now + kPasteTimeoutMs + 1), -1);
  }
}

}  // namespace
}  // namespace zt

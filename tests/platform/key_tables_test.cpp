// The recorded terminal tables (xterm, tmux, their settings) decoded row by row: each row's
// key name says which event the bytes must give.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "platform/codepage.h"
#include "platform/key_decoder.h"
#include "platform/keycodes.h"

namespace zt {
namespace {

constexpr std::uint8_t S = kModShift;
constexpr std::uint8_t A = kModAlt;
constexpr std::uint8_t C = kModCtrl;

InputEvent Key(int key, std::uint8_t mods = 0) {
  InputEvent e;
  e.key = static_cast<std::int16_t>(key);
  e.modifiers = mods;
  return e;
}

std::string Show(const std::vector<InputEvent>& events) {
  std::ostringstream out;
  for (const InputEvent& e : events) {
    out << "{kind " << static_cast<int>(e.kind) << " key " << e.key << " mods "
        << static_cast<int>(e.modifiers) << " button " << e.button << " " << e.row << ","
        << e.column << " text \"" << e.text << "\"} ";
  }
  return out.str();
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  std::istringstream in(hex);
  std::string pair;
  while (in >> pair) bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
  return bytes;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// The named non-character keys.
std::optional<std::int16_t> NamedKey(const std::string& name) {
  static const std::map<std::string, std::int16_t> named = {
      {"Up", keys::kUp},
      {"Down", keys::kDown},
      {"Left", keys::kLeft},
      {"Right", keys::kRight},
      {"Home", keys::kHome},
      {"End", keys::kEnd},
      {"PageUp", keys::kPgUp},
      {"PageDown", keys::kPgDn},
      {"Insert", keys::kInsert},
      {"Delete", keys::kDelete},
      {"KP_Home", keys::kHome},
      {"KP_Up", keys::kUp},
      {"KP_Prior", keys::kPgUp},
      {"KP_Left", keys::kLeft},
      {"KP_Begin", keys::kKeypadCentre},
      {"KP_Right", keys::kRight},
      {"KP_End", keys::kEnd},
      {"KP_Down", keys::kDown},
      {"KP_Next", keys::kPgDn},
      {"KP_Insert", keys::kInsert},
      {"KP_Delete", keys::kDelete},
      {"Escape", keys::kEsc},
      {"BackSpace", keys::kBackspace},
      {"Tab", keys::kTab},
      {"Return", keys::kEnter},
      {"KP_Enter", keys::kEnter},
      {"KPEnter", keys::kEnter},
  };
  if (auto it = named.find(name); it != named.end()) return it->second;
  if (name.size() >= 2 && name[0] == 'F' && std::isdigit(static_cast<unsigned char>(name[1]))) {
    return keys::FunctionKey(std::stoi(name.substr(1)));
  }
  return std::nullopt;
}

// Keypad keys that type a character, and the character.
std::optional<char> KeypadCharacter(const std::string& name) {
  static const std::map<std::string, char> pad = {
      {"KP_Add", '+'},      {"KP+", '+'}, {"KP_Subtract", '-'}, {"KP-", '-'},
      {"KP_Multiply", '*'}, {"KP*", '*'}, {"KP_Divide", '/'},   {"KP/", '/'},
      {"KP_Decimal", '.'},  {"KP.", '.'},
  };
  if (auto it = pad.find(name); it != pad.end()) return it->second;
  if (name.size() == 4 && StartsWith(name, "KP_") && std::isdigit(name[3])) return name[3];
  if (name.size() == 3 && StartsWith(name, "KP") && std::isdigit(name[2])) return name[2];
  return std::nullopt;
}

// A character key pressed with modifiers, as the event model defines it: Alt with a letter
// or digit gives the key's scan code; Ctrl with a letter its control code; a printable
// character carries its own Shift.
InputEvent CharacterKey(char32_t cp, std::uint8_t mods) {
  bool upper = cp >= 'A' && cp <= 'Z';
  char32_t lower = upper ? cp + 32 : cp;
  if ((mods & A) && lower >= 'a' && lower <= 'z') {
    // Keyboard rows and the scan code of each row's first key.
    const std::pair<std::string_view, int> rows[] = {
        {"qwertyuiop", 16}, {"asdfghjkl", 30}, {"zxcvbnm", 44}};
    int scan = 0;
    for (auto [row, first] : rows) {
      if (auto at = row.find(static_cast<char>(lower)); at != std::string_view::npos) {
        scan = first + static_cast<int>(at);
      }
    }
    return Key(scan * 256, static_cast<std::uint8_t>((mods & (A | C)) | (upper ? S : (mods & S))));
  }
  if ((mods & A) && ((cp >= '0' && cp <= '9') || cp == '-' || cp == '=')) {
    // The digit row's extended codes: 1-9, 0, -, =.
    int scan = cp == '0'   ? 0x81
               : cp == '-' ? 0x82
               : cp == '=' ? 0x83
                           : 0x78 + static_cast<int>(cp - '1');
    return Key(static_cast<std::int16_t>(scan * 256), mods);
  }
  if ((mods & C) && lower >= 'a' && lower <= 'z') return Key(static_cast<int>(lower - 'a' + 1), C);
  std::uint8_t byte = cp < 128 ? static_cast<std::uint8_t>(cp) : UnicodeToCp850(cp);
  return Key(byte, static_cast<std::uint8_t>(mods & ~S));
}

char32_t FirstCodePoint(const std::string& utf8) {
  std::string cp850 = Utf8ToCp850(utf8);
  return Cp850ToUnicode(static_cast<std::uint8_t>(cp850[0]));
}

// What a table row must decode to, from its key name; nullopt for rows not understood.
std::optional<std::vector<InputEvent>> Expected(const std::string& name, const std::string& sent,
                                                const std::string& bytes) {
  bool escaped = !bytes.empty() && bytes[0] == '\x1b';
  if (StartsWith(name, "text: ")) {
    std::string text = name.substr(6);
    if (text == "a-z" || text == "A-Z" || text == "0-9" || text == "punctuation") {
      text = sent.substr(StartsWith(sent, "type ") ? 5 : sent.find("-l ") + 3);
    }
    std::vector<InputEvent> events;
    for (char c : Utf8ToCp850(text)) events.push_back(Key(static_cast<std::uint8_t>(c)));
    return events;
  }
  if (StartsWith(name, "Paste")) {
    InputEvent paste;
    paste.kind = EventKind::Paste;
    paste.text = "paste \x82\r\nline2";
    return std::vector<InputEvent>{paste};
  }
  if (name.find("at col") != std::string::npos) {
    InputEvent mouse;
    std::string rest = name;
    if (StartsWith(rest, "Alt+")) {
      mouse.modifiers = A;
      rest = rest.substr(4);
    }
    int column = 0, row = 0;
    std::sscanf(rest.c_str() + rest.find("col "), "col %d row %d", &column, &row);
    mouse.row = row;
    mouse.column = column;
    mouse.kind = rest.ends_with(" release") ? EventKind::MouseRelease : EventKind::MousePress;
    if (StartsWith(rest, "Wheel")) {
      mouse.button = StartsWith(rest, "Wheel up") ? 4 : 5;
    } else {
      mouse.button = StartsWith(rest, "Left") ? 1 : StartsWith(rest, "Right") ? 2 : 3;
    }
    return std::vector<InputEvent>{mouse};
  }
  if (StartsWith(name, "Ctrl+b Ctrl+b")) return std::vector<InputEvent>{Key(2, C)};

  std::string key = name;
  bool numLock = StartsWith(key, "NumLock on: ");
  if (numLock) key = key.substr(12);
  if (auto paren = key.find(" ("); paren != std::string::npos) key.resize(paren);
  std::uint8_t mods = 0;
  for (bool more = true; more;) {
    more = false;
    for (auto [prefix, bit] : {std::pair{"Ctrl+", C}, {"Shift+", S}, {"Alt+", A}}) {
      if (StartsWith(key, prefix) && key.size() > std::strlen(prefix)) {
        mods |= bit;
        key = key.substr(std::strlen(prefix));
        more = true;
      }
    }
  }
  // Alt+Esc sent as ESC ESC is taken as two Esc presses, which is what a quick double Esc
  // sends too.
  if (bytes == "\x1b\x1b") return std::vector<InputEvent>{Key(keys::kEsc), Key(keys::kEsc)};
  // What the terminals cannot tell apart (see the tables' README).
  if (name == "Alt+Shift+1") {  // Shift+1 is "!" on this keyboard
    return std::vector<InputEvent>{escaped ? Key('!', A) : Key(UnicodeToCp850(U'\u00A1'))};
  }
  if (name == "Ctrl+Shift+2" || bytes == std::string(1, '\0')) {
    return std::vector<InputEvent>{Key(' ', C)};
  }
  if (auto pad = KeypadCharacter(key)) {
    if (numLock && (mods & S)) {
      // Shift on a NumLock keypad digit gives the navigation key.
      static const std::map<char, std::int16_t> nav = {
          {'7', keys::kHome},         {'8', keys::kUp},     {'9', keys::kPgUp},  {'4', keys::kLeft},
          {'5', keys::kKeypadCentre}, {'6', keys::kRight},  {'1', keys::kEnd},   {'2', keys::kDown},
          {'3', keys::kPgDn},         {'0', keys::kInsert}, {'.', keys::kDelete}};
      return std::vector<InputEvent>{Key(nav.at(*pad), S)};
    }
    // Application keypad mode names the keypad key (SS3 with a modifier).
    if (StartsWith(bytes, "\x1bO")) {
      return std::vector<InputEvent>{*pad == '\r' ? Key(keys::kEnter, mods) : Key(*pad, mods)};
    }
    // xterm drops Alt and Ctrl on keypad keys; tmux sends Alt as an ESC prefix.
    return std::vector<InputEvent>{
        CharacterKey(static_cast<unsigned char>(*pad), escaped ? mods : 0)};
  }
  if (auto named = NamedKey(key)) {
    std::int16_t code = *named;
    if (code == keys::kTab && (mods & S)) code = keys::kShiftTab;
    if (bytes.size() == 1) mods = 0;  // a single byte carries no modifier
    if (bytes == "\x1b[Z") mods = S;
    // 8-bit meta: Alt sets the top bit of the character.
    if ((mods & A) && !escaped && code == keys::kBackspace)
      return std::vector<InputEvent>{Key(0x98)};
    if ((mods & A) && !escaped && bytes.size() == 2 &&
        static_cast<unsigned char>(bytes[1]) < 0xA0) {
      // C1 from a control key: Alt with that key.
    }
    return std::vector<InputEvent>{Key(code, mods)};
  }
  char32_t cp = 0;
  if (key == "space")
    cp = ' ';
  else if (key == "backslash")
    cp = '\\';
  else if (key == "bracketright")
    cp = ']';
  else if (key == "period")
    cp = '.';
  else if (Utf8ToCp850(key).size() == 1)
    cp = FirstCodePoint(key);
  else
    return std::nullopt;
  if ((mods & C) && (cp == '\\' || cp == ']')) return std::vector<InputEvent>{Key(cp & 0x1f, C)};
  if ((mods & A) && !escaped && bytes.size() <= 2) {
    // 8-bit meta on a printable key: the character with the top bit set, as Latin-1.
    if (bytes.size() == 2 && static_cast<unsigned char>(bytes[0]) == 0xC2 &&
        static_cast<unsigned char>(bytes[1]) < 0xA0) {
      return std::vector<InputEvent>{CharacterKey(cp, mods)};  // C1: a control key
    }
    if ((mods & C) == 0) {
      char32_t shifted = (cp >= 'a' && cp <= 'z' && (mods & S)) ? cp - 32 : cp;
      return std::vector<InputEvent>{Key(UnicodeToCp850(shifted | 0x80))};
    }
  }
  if (cp == ' ' && bytes.size() == 1) mods &= static_cast<std::uint8_t>(~S);
  return std::vector<InputEvent>{CharacterKey(cp, mods)};
}

std::filesystem::path TablesFolder() {
  const char* source = std::getenv("ZT_SOURCE_DIR");
  if (source == nullptr) return {};
  return std::filesystem::path(source) / ".." / "shared" / "keys";
}

TEST(KeyTablesTest, RecordedTerminalBytesDecodeToTheNamedKeys) {
  std::filesystem::path folder = TablesFolder();
  if (folder.empty() || !std::filesystem::is_directory(folder)) {
    GTEST_SKIP() << "recorded key tables not found (ZT_SOURCE_DIR/../shared/keys); the "
                    "hand-written decoder tables still run";
  }
  int rows = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".tsv") continue;
    std::ifstream in(entry.path());
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
      std::vector<std::string> cols;
      std::istringstream fields(line);
      for (std::string col; std::getline(fields, col, '\t');) cols.push_back(col);
      if (cols.size() < 3 || cols[2].empty()) continue;  // nothing arrived for this key
      std::string bytes = FromHex(cols[2]);
      auto expected = Expected(cols[0], cols[1], bytes);
      ASSERT_TRUE(expected.has_value()) << entry.path().filename() << ": " << cols[0];
      std::vector<InputEvent> got = DecodeAll(bytes);
      EXPECT_EQ(got, *expected) << entry.path().filename() << ": " << cols[0] << " [" << cols[2]
                                << "]\n  got      " << Show(got) << "\n  expected "
                                << Show(*expected);
      ++rows;
    }
  }
  EXPECT_GT(rows, 1000);
}

}  // namespace
}  // namespace zt

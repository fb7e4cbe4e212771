#include "platform/codepage.h"

#include <array>

namespace zt {
namespace {

constexpr std::array<char16_t, 32> kLowGlyphs = {
    u' ',    u'\u263A', u'\u263B', u'\u2665', u'\u2666', u'\u2663', u'\u2660', u'\u2022',
    u'\u25D8', u'\u25CB', u'\u25D9', u'\u2642', u'\u2640', u'\u266A', u'\u266B', u'\u263C',
    u'\u25BA', u'\u25C4', u'\u2195', u'\u203C', u'\u00B6', u'\u00A7', u'\u25AC', u'\u21A8',
    u'\u2191', u'\u2193', u'\u2192', u'\u2190', u'\u221F', u'\u2194', u'\u25B2', u'\u25BC'};

constexpr std::array<char16_t, 128> kHighHalf = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x20AC, 0x00CD, 0x00CE,  // D0 (D5: euro)
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

}  // namespace

char32_t Cp850ToUnicode(std::uint8_t byte) {
  if (byte < 32) return kLowGlyphs[byte];
  if (byte == 127) return U'\u2302';
  if (byte < 128) return byte;
  return kHighHalf[byte - 128];
}

std::uint8_t UnicodeToCp850(char32_t codePoint) {
  if (codePoint < 128) return static_cast<std::uint8_t>(codePoint);
  if (codePoint == U'\u25BA') return 0x10;
  if (codePoint == U'\u25C4') return 0x11;
  if (codePoint == U'\u0131') return 0xD5;  // dotless i shares the euro's byte
  for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
    if (kHighHalf[i] == codePoint) return static_cast<std::uint8_t>(128 + i);
  }
  return 0;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Cp850ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<std::uint8_t>(c);
    // Plain text keeps its control characters; only the display maps them to glyphs.
    AppendUtf8(out, byte < 128 ? static_cast<char32_t>(byte) : Cp850ToUnicode(byte));
  }
  return out;
}

std::string Utf8ToCp850(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<std::uint8_t>(text[i]);
    char32_t cp = 0;
    std::size_t len = 1;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      cp = lead & 0x1F;
      len = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      cp = lead & 0x0F;
      len = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      cp = lead & 0x07;
      len = 4;
    } else {
      out += '?';
      ++i;
      continue;
    }
    bool valid = i + len <= text.size();
    for (std::size_t k = 1; valid && k < len; ++k) {
      auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
      } else {
        cp = (cp << 6) | (next & 0x3F);
      }
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    i += len;
    std::uint8_t byte = UnicodeToCp850(cp);
    out += (byte != 0 || cp == 0) ? static_cast<char>(byte) : '?';
  }
  return out;
}

}  // namespace zt

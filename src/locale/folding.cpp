#include "locale/folding.h"

#include <array>
#include <cstdint>

namespace zt {

namespace {

using FoldTable = std::array<unsigned char, 256>;

// Codes 64-237 are translated; everything outside that range maps to itself.
constexpr int kFirstFolded = 64;
constexpr int kLastFolded = 237;

constexpr FoldTable IdentityTable() {
  FoldTable table{};
  for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
  return table;
}

// Upper case that keeps the accent: a-z and the 28 accented small letters of code page 850.
constexpr FoldTable kKeepAccents = [] {
  FoldTable table = IdentityTable();
  for (int c = 'a'; c <= 'z'; ++c)
    table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
  constexpr std::array<std::array<unsigned char, 2>, 28> kPairs = {{
      {129, 154}, {130, 144}, {131, 182}, {132, 142}, {133, 183}, {134, 143}, {135, 128},
      {136, 210}, {137, 211}, {138, 212}, {139, 216}, {140, 215}, {141, 222}, {145, 146},
      {147, 226}, {148, 153}, {149, 227}, {150, 234}, {151, 235}, {160, 181}, {161, 214},
      {162, 224}, {163, 233}, {164, 165}, {198, 199}, {208, 209}, {228, 229}, {236, 237},
  }};
  for (const auto& pair : kPairs) table[pair[0]] = pair[1];
  return table;
}();

// Plain capitals for every letter, accented or not; other symbols become blanks. Entry for
// code c is at c - 64.
constexpr std::string_view kAccentFreeText =
    " ABCDEFGHIJKLMNOPQRSTUVWXYZ      ABCDEFGHIJKLMNOPQRSTUVWXYZ     CUEAAAACEEEIIIAAEAAOOOUUYOU"
    "O O  AIOUNNAO             AAA              AA        DDEEEEIII     I OSOOOO TTUUUYY";
static_assert(kAccentFreeText.size() == kLastFolded - kFirstFolded + 1);

constexpr FoldTable kAccentFree = [] {
  FoldTable table = IdentityTable();
  for (int c = kFirstFolded; c <= kLastFolded; ++c) {
    table[static_cast<std::size_t>(c)] =
        static_cast<unsigned char>(kAccentFreeText[static_cast<std::size_t>(c - kFirstFolded)]);
  }
  return table;
}();

}  // namespace

std::string FoldText(std::string_view text, bool accentFree) {
  const FoldTable& table = accentFree ? kAccentFree : kKeepAccents;
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return folded;
}

std::string FoldText(Runtime& rt, std::string_view text) {
  return FoldText(text, rt.locale.accentFreeFolding);
}

}  // namespace zt

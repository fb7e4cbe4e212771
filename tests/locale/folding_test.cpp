#include "locale/folding.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/test_runtime.h"

namespace zt {
namespace {

std::string Byte(int code) {
  return std::string(1, static_cast<char>(code));
}

TEST(FoldText, SwitchChoosesTheTable) {
  test::TestRuntime t;
  EXPECT_FALSE(t.rt.locale.accentFreeFolding);
  EXPECT_EQ(FoldText(t.rt, "mar\x87 g\x8Ar"), "MAR\x80 G\xD4R");
  t.rt.locale.accentFreeFolding = true;
  EXPECT_EQ(FoldText(t.rt, "mar\x87 g\x8Ar"), "MARC GER");
  EXPECT_EQ(FoldText(t.rt, "@[\xE1"), "  S");
  t.rt.locale.accentFreeFolding = false;
  EXPECT_EQ(FoldText(t.rt, "@[\xE1"), "@[\xE1");
  EXPECT_EQ(FoldText(t.rt, ""), "");
}

TEST(FoldText, CodesOutsideTheTablesNeverChange) {
  for (bool accentFree : {false, true}) {
    for (int c = 0; c < 256; ++c) {
      if (c >= 64 && c <= 237) continue;
      EXPECT_EQ(FoldText(Byte(c), accentFree), Byte(c)) << c << " accentFree " << accentFree;
    }
  }
  EXPECT_EQ(FoldText("0123 9!?", true), "0123 9!?");
  EXPECT_EQ(FoldText(std::string("a\0b", 3), true), std::string("A\0B", 3));
}

TEST(FoldText, AccentKeepingTable) {
  const std::map<int, int> accented = {
      {129, 154}, {130, 144}, {131, 182}, {132, 142}, {133, 183}, {134, 143}, {135, 128},
      {136, 210}, {137, 211}, {138, 212}, {139, 216}, {140, 215}, {141, 222}, {145, 146},
      {147, 226}, {148, 153}, {149, 227}, {150, 234}, {151, 235}, {160, 181}, {161, 214},
      {162, 224}, {163, 233}, {164, 165}, {198, 199}, {208, 209}, {228, 229}, {236, 237}};
  for (int c = 64; c <= 237; ++c) {
    int expected = c;
    if (c >= 'a' && c <= 'z') expected = c - 'a' + 'A';
    if (auto it = accented.find(c); it != accented.end()) expected = it->second;
    EXPECT_EQ(FoldText(Byte(c), false), Byte(expected)) << c;
  }
}

TEST(FoldText, AccentFreeTable) {
  const std::map<char, std::vector<int>> letters = {
      {'A', {131, 132, 133, 134, 142, 143, 145, 146, 160, 166, 181, 182, 183, 198, 199}},
      {'C', {128, 135}},
      {'D', {208, 209}},
      {'E', {130, 136, 137, 138, 144, 210, 211, 212, 213}},
      {'I', {139, 140, 141, 161, 214, 215, 216, 222}},
      {'N', {164, 165}},
      {'O', {147, 148, 149, 153, 155, 157, 162, 167, 224, 226, 227, 228, 229}},
      {'S', {225}},
      {'T', {231, 232}},
      {'U', {129, 150, 151, 154, 163, 233, 234, 235}},
      {'Y', {152, 236, 237}},
  };
  std::map<int, char> expected;
  for (int c = 64; c <= 237; ++c) expected[c] = ' ';
  for (int c = 'A'; c <= 'Z'; ++c) expected[c] = static_cast<char>(c);
  for (int c = 'a'; c <= 'z'; ++c) expected[c] = static_cast<char>(c - 'a' + 'A');
  for (const auto& [letter, codes] : letters) {
    for (int c : codes) expected[c] = letter;
  }
  for (const auto& [c, to] : expected) {
    EXPECT_EQ(FoldText(Byte(c), true), std::string(1, to)) << c;
  }
}

}  // namespace
}  // namespace zt

#include "forms/string_stack.h"

#include <gtest/gtest.h>

#include <string>

namespace zt {
namespace {

TEST(StringStackTest, PopsInReverseOrderAndKeepsTheLengthLayout) {
  StringStack stack;
  ASSERT_TRUE(stack.Push("abc"));
  ASSERT_TRUE(stack.Push(""));
  ASSERT_TRUE(stack.Push(std::string("x\0y", 3)));
  EXPECT_EQ(stack.Packed(), std::string("abc\x03\x00\x00\x00x\0y\x03\x00", 12));
  EXPECT_EQ(stack.Pop(), std::string("x\0y", 3));
  EXPECT_EQ(stack.Pop(), "");
  EXPECT_EQ(stack.Pop(), "abc");
  EXPECT_TRUE(stack.Empty());
}

TEST(StringStackTest, PoppingAnEmptyStackGivesTheEmptyText) {
  StringStack stack;
  EXPECT_EQ(stack.Pop(), "");
  EXPECT_TRUE(stack.Empty());
}

TEST(StringStackTest, EntriesUpTo32767Characters) {
  StringStack stack;
  const std::string longest(32767, 'a');
  EXPECT_TRUE(stack.Push(longest));
  EXPECT_FALSE(stack.Push(std::string(32768, 'b'))) << "its length cannot be recorded";
  EXPECT_EQ(stack.Pop(), longest);
  EXPECT_TRUE(stack.Empty());
}

TEST(StringStackTest, SixteenBitNumbersAsTwoByteTexts) {
  for (std::int16_t value : {0, 1, 255, 256, -1, 32767, -32768}) {
    const std::string text = Int16Text(value);
    ASSERT_EQ(text.size(), 2u);
    EXPECT_EQ(Int16FromText(text), value);
  }
  EXPECT_EQ(Int16Text(0x1234), std::string("\x34\x12", 2));
  EXPECT_EQ(Int16FromText("x"), 0);
}

}  // namespace
}  // namespace zt

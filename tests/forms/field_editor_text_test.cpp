// The field editor's text operations on fixed-width texts, and the number-text check.
#include <gtest/gtest.h>

#include <string>

#include "forms/edit_text_ops.h"
#include "forms/field_editor.h"

namespace zt {
namespace {

struct WordCase {
  std::string text;
  int from;
  int left;
  int right;
};

TEST(FieldEditorText, WordMovesStopAtWordStarts) {
  const WordCase cases[] = {
      // "alfa beta": from end, word left lands on b; from 1, word right lands on b too.
      {"alfa beta", 10, 6, 10},
      {"alfa beta", 1, 1, 6},
      {"alfa beta", 6, 1, 10},  // from b: left to the previous word, right to end
      {"alfa beta", 5, 1, 6},   // on the blank between words
      {"alfa beta", 8, 6, 10},  // inside a word
      {"a, b;c:d", 9, 8, 9},
      {"a, b;c:d", 1, 1, 4},
      {"a, b;c:d", 4, 1, 6},
      {"  lead", 7, 3, 7},
      {"  lead", 1, 1, 3},
      {"word   ", 8, 1, 8},  // trailing separators: right goes to end
      {"x.y", 3, 1, 4},      // left from y skips the "." and passes x to the start
      {"", 1, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\" from " + std::to_string(c.from));
    EXPECT_EQ(edit::WordLeft(c.text, c.from), c.left);
    EXPECT_EQ(edit::WordRight(c.text, c.from), c.right);
  }
}

TEST(FieldEditorText, InsertNeedsATrailingBlankAndKeepsTheWidth) {
  std::string text = "AB ";
  EXPECT_TRUE(edit::InsertChar(text, 1, 'X'));
  EXPECT_EQ(text, "XAB");
  EXPECT_FALSE(edit::InsertChar(text, 1, 'Y'));  // full: nothing moves
  EXPECT_EQ(text, "XAB");

  std::string middle = "ac  ";
  EXPECT_TRUE(edit::InsertChar(middle, 2, 'b'));
  EXPECT_EQ(middle, "abc ");
  EXPECT_FALSE(edit::InsertChar(middle, 5, 'd'));  // at end
  EXPECT_EQ(middle, "abc ");

  std::string empty;
  EXPECT_FALSE(edit::InsertChar(empty, 1, 'x'));
  EXPECT_TRUE(empty.empty());
}

TEST(FieldEditorText, DeleteMovesTheRestLeftAndBlanksTheEnd) {
  std::string text = "abcd";
  EXPECT_TRUE(edit::DeleteChar(text, 2));
  EXPECT_EQ(text, "acd ");
  EXPECT_TRUE(edit::DeleteChar(text, 4));
  EXPECT_EQ(text, "acd ");
  EXPECT_FALSE(edit::DeleteChar(text, 5));
  EXPECT_FALSE(edit::DeleteChar(text, 0));
  EXPECT_EQ(text, "acd ");
}

TEST(FieldEditorText, PastedTextLosesControlsAndOuterBlanks) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"  12\t34  ", "1234"},
      {std::string("a\0b", 3), "ab"},
      {"x\x7Fy\xFFz", "xyz"},
      {"\r\n  mid dle \r\n", "mid dle"},
      {"\xE0\x80", "\xE0\x80"},  // accented letters stay
      {"   ", ""},
      {"\t\n", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(edit::CleanPastedText(c.in), c.out);
  }
}

TEST(FieldEditorText, WriteOverKeepsTheWidth) {
  std::string text = "    ";
  edit::WriteOver(text, 1, "1234");
  EXPECT_EQ(text, "1234");
  edit::WriteOver(text, 3, "abcdef");
  EXPECT_EQ(text, "12ab");
  edit::WriteOver(text, 5, "zz");
  EXPECT_EQ(text, "12ab");
}

TEST(FieldEditorText, TrimBlanksLeavesTabs) {
  EXPECT_EQ(edit::TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(edit::TrimBlanks("\ta\t"), "\ta\t");
  EXPECT_EQ(edit::TrimBlanks("    "), "");
}

TEST(CheckNumberText, Table) {
  struct Case {
    std::string text;
    std::string pattern;
    std::int16_t result;
  };
  const Case cases[] = {
      {"16", ".", 0},     {"  7.5  ", ".", 0}, {"", ".", 0},
      {"    ", ".", 0},   {".5", ".", 0},      {"5.", ".", 0},
      {"1 6", ".", 0},  // blanks are ignored anywhere
      {"1.2.3", ".", -1}, {"-5", ".", -1},     {"+5", ".", -1},
      {"1,5", ".", -1},   {"12a", ".", -1},    {"\t1", ".", -1},
      {"1.5", "", -1},  // no point allowed without "." in the pattern
      {"15", "", 0},      {"-1.5", "-.", 0},   {"+1.5", "+.", 0},
      {"1-", "-", -1},    // a sign after a digit
      {"--1", "-", -1},   // two signs
      {".-1", "-.", -1},  // a sign after the point
      {"- 1", "-", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\" pattern \"" + c.pattern + "\"");
    EXPECT_EQ(CheckNumberText(c.text, c.pattern), c.result);
  }
}

}  // namespace
}  // namespace zt

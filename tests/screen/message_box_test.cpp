#include "screen/message_box.h"

#include <gtest/gtest.h>

#include "screen/styles.h"
#include "screen/windows.h"
#include "screen_fixture.h"

namespace zt {
namespace {

std::string Formatted(std::string text, int indent, int width, const char* alignment) {
  FormatParagraph(text, static_cast<std::int16_t>(indent), static_cast<std::int16_t>(width),
                  alignment);
  return text;
}

TEST(FormatParagraph, Layouts) {
  struct Case {
    const char* name;
    std::string text;
    int indent;
    int width;
    const char* alignment;
    std::string expected;
  };
  const Case cases[] = {
      {"breaks at blanks", "hello world foo", 0, 8, "L", "hello   world   foo     "},
      {"long word is split", "abcdefghij", 0, 4, "L", "abcdefghij  "},
      {"first-line indent", "aa bb cc dd", 2, 6, "L", "  aa  bb cc dd    "},
      {"hanging indent", "aa bb cc dd", -2, 6, "l", "aa bb   cc    dd  "},
      {"centred, odd blank to the right", "abc", 0, 8, "C", "  abc   "},
      {"right", "abc", 0, 8, "r", "     abc"},
      {"right D", "abc de", 0, 4, "D", " abc  de"},
      {"dashes", "abc", 0, 5, "N", "abc--"},
      {"no padding", "abc de", 0, 4, "X", "abcde"},
      {"alignment of two letters pads nothing", "abc", 0, 5, "LL", "abc"},
      {"justified, last line untouched", "aa bb cc dd ee", 0, 10, "A", "aa  bb  ccdd ee"},
      {"justified gaps wrap round", "a b c dddddddd", 0, 8, "B", "a  b   cdddddddd"},
      {"justified line without blanks", "abcdefgh ij", 0, 8, "A", "abcdefghij"},
      {"control character takes no column",
       "ab\x01"
       "cd ef",
       0, 4, "L",
       "ab\x01"
       "cdef  "},
      {"blanks after a break are skipped", "ab    cd", 0, 3, "E", "ab cd "},
      {"empty text", "", 0, 8, "L", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Formatted(c.text, c.indent, c.width, c.alignment), c.expected) << c.name;
  }
}

TEST(FormatParagraph, ControlCharactersWidenTheLine) {
  std::string text = std::string(40, 'a') + "\x1E" + " " + std::string(30, 'b') + "\x1E" + " " +
                     std::string(20, 'c');
  FormatParagraph(text, 0, 76, "i");
  // 40 + 1 + 30 + 1 characters fit in the first line of 76 columns plus its two markers.
  ASSERT_EQ(text.size(), 78u + 76u);
  EXPECT_EQ(text.substr(71, 7), "b\x1E     ");
  EXPECT_EQ(text.substr(78, 20), std::string(20, 'c'));
}

TEST(FormatParagraph, WidthNotAboveTheIndentStillEnds) {
  for (int width : {0, -5, 2}) {
    std::string text = "abc def";
    FormatParagraph(text, 3, static_cast<std::int16_t>(width), "L");
    EXPECT_NE(text.find('a'), std::string::npos) << width;
    EXPECT_NE(text.find('f'), std::string::npos) << width;
  }
  std::string text = "abc";
  FormatParagraph(text, -32768, 32767, "A");
  EXPECT_EQ(text, "abc");
}

using ShowMessageTest = test::ScreenTest;

TEST_F(ShowMessageTest, WorkedExampleAtRow24) {
  FillPattern();
  const auto before = Snapshot();
  SetStyle(rt, "n");
  std::string text = "FITXER BLOQUEJAT. ESPEREU UN MOMENT.";
  ShowMessage(rt, 24, text);
  EXPECT_EQ(text.size(), 76u);
  EXPECT_EQ(rt.screen.windowDepth, 1);
  EXPECT_EQ(rt.screen.currentWindow, (WindowRect{21, 21, 23, 60}));
  EXPECT_EQ(console.RowText(21).substr(20, 40), "\xDA" + std::string(38, '\xC4') + "\xBF");
  EXPECT_EQ(console.RowText(22).substr(20, 40), "\xB3 FITXER BLOQUEJAT. ESPEREU UN MOMENT. \xB3");
  EXPECT_EQ(console.ReadCell(22, 23), (Cell{'F', 0x70}));
  EXPECT_EQ(console.ReadCell(22, 20), before[21 * 80 + 19]);
  // The caller's style is back.
  EXPECT_EQ(rt.screen.currentStyle, 1);
  EXPECT_TRUE(rt.screen.styleStack.empty());
  CloseWindow(rt);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(ShowMessageTest, TwoLinesAtTheBottom) {
  std::string text = std::string(70, 'x') + " " + std::string(10, 'y');
  ShowMessage(rt, 24, text);
  // The longest line (70 characters) sets the width: columns 4 to 77.
  EXPECT_EQ(rt.screen.currentWindow, (WindowRect{21, 4, 24, 77}));
  EXPECT_EQ(console.RowText(22).substr(3, 74), "\xB3 " + std::string(70, 'x') + " \xB3");
  EXPECT_EQ(console.RowText(23).substr(3, 13), "\xB3 " + std::string(10, 'y') + " ");
}

TEST_F(ShowMessageTest, MessageTallerThanTheScreenOpensNothing) {
  std::string text;
  for (int i = 0; i < 24; ++i) text += std::string(70, 'w') + " ";
  SetStyle(rt, "u");
  ShowMessage(rt, 12, text);
  EXPECT_EQ(rt.screen.windowDepth, 0);
  EXPECT_EQ(rt.screen.currentStyle, 4);
  EXPECT_TRUE(rt.screen.styleStack.empty());
  EXPECT_EQ(console.RowText(1), std::string(80, ' '));
}

TEST_F(ShowMessageTest, EmptyMessageDrawsNothingOverTheCallersWindow) {
  OpenWindow(rt, 2, 2, 10, 30);
  console.SetCursor(5, 5);
  console.Write("keep");
  const auto before = Snapshot();
  std::string text;
  ShowMessage(rt, 10, text);
  EXPECT_EQ(rt.screen.windowDepth, 1);
  EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace zt

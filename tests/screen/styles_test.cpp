#include "screen/styles.h"

#include <gtest/gtest.h>

#include "screen_fixture.h"

namespace zt {
namespace {

using StylesTest = test::ScreenTest;

TEST_F(StylesTest, LettersSelectTheStyle) {
  struct Case {
    const char* code;
    int style;
    Attribute attribute;
  };
  const Case cases[] = {
      {"h", 0, 0x0F},  {"n", 1, 0x07}, {"r", 2, 0x70},   {"rh", 2, 0x70},  {"Rn", 3, 0x70},
      {"nR", 3, 0x70}, {"u", 4, 0x70}, {"URN", 4, 0x70}, {"xyz", 0, 0x0F}, {"  n ", 1, 0x07},
  };
  for (const Case& c : cases) {
    rt.screen.currentStyle = 1;
    console.SetAttribute(0x33);
    SetStyle(rt, c.code);
    EXPECT_EQ(rt.screen.currentStyle, c.style) << c.code;
    EXPECT_EQ(console.CurrentAttribute(), c.attribute) << c.code;
    EXPECT_TRUE(rt.screen.styleStack.empty()) << c.code;
  }
}

TEST_F(StylesTest, BlankCodeChangesNothing) {
  for (const char* code : {"", "   "}) {
    rt.screen.currentStyle = 2;
    console.SetAttribute(0x5A);
    SetStyle(rt, code);
    EXPECT_EQ(rt.screen.currentStyle, 2);
    EXPECT_EQ(console.CurrentAttribute(), 0x5A);
  }
}

TEST_F(StylesTest, NestedSavesRestoreTheCallersStyle) {
  SetStyle(rt, "r");
  SetStyle(rt, "+n");
  SetStyle(rt, "+u");
  EXPECT_EQ(rt.screen.currentStyle, 4);
  SetStyle(rt, "-");
  EXPECT_EQ(rt.screen.currentStyle, 1);
  EXPECT_EQ(console.CurrentAttribute(), 0x07);
  SetStyle(rt, "-");
  EXPECT_EQ(rt.screen.currentStyle, 2);
  EXPECT_EQ(console.CurrentAttribute(), 0x70);
  EXPECT_TRUE(rt.screen.styleStack.empty());
}

TEST_F(StylesTest, RestoreWithNothingSavedAppliesStyleZero) {
  SetStyle(rt, "n");
  SetStyle(rt, "-");
  EXPECT_EQ(rt.screen.currentStyle, 0);
  EXPECT_EQ(console.CurrentAttribute(), 0x0F);
}

TEST_F(StylesTest, SaveAndRestoreInOneCodeReappliesTheStyle) {
  SetStyle(rt, "+u");  // stack holds 0
  console.SetAttribute(0x12);
  SetStyle(rt, "+-n");
  EXPECT_EQ(rt.screen.currentStyle, 4);
  EXPECT_EQ(console.CurrentAttribute(), 0x70);
  EXPECT_EQ(rt.screen.styleStack, std::string(1, '\0'));
}

TEST_F(StylesTest, ColoursOutsideThePaletteKeepTheirHalf) {
  rt.session.Colours[0] = {99, 1};
  console.SetAttribute(0x0C);
  SetStyle(rt, "h");
  EXPECT_EQ(console.CurrentAttribute(), 0x1C);
  rt.session.Colours[1] = {-3, 16};
  SetStyle(rt, "n");
  EXPECT_EQ(console.CurrentAttribute(), 0x1C);
  EXPECT_EQ(rt.screen.currentStyle, 1);
}

TEST(IsAllChar, EmptyAndUniformTexts) {
  EXPECT_TRUE(IsAllChar("", ' '));
  EXPECT_TRUE(IsAllChar("   ", ' '));
  EXPECT_FALSE(IsAllChar("  a ", ' '));
  EXPECT_FALSE(IsAllChar("\t", ' '));
  EXPECT_TRUE(IsAllChar("xx", 'x'));
}

}  // namespace
}  // namespace zt

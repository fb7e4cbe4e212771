#include "locale/translate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt {
namespace {

TEST(TranslateFromText, ValueReadingRules) {
  struct Case {
    const char* name;
    std::string data;
    const char* language;
    const char* text;
    std::string expected;
  };
  const Case cases[] = {
      {"quoted on one line", "\"Any\",\"Ano G\",\"An O\",\"A\xA4o\"\r\n", "SPA", "Any", "A\xA4o"},
      {"quoted on four lines", "\"Any\"\r\n\"Ano G\"\r\n\"An O\"\r\n\"A\xA4o\"\r\n", "GLG", "Any",
       "Ano G"},
      {"unquoted", "Any,Ano G,An O,Anyo\r\n", "OCI", "Any", "An O"},
      {"mixed lines", "Mes,Mes G\r\nMes O,\"Mes, S\"\r\n", "SPA", "Mes", "Mes, S"},
      {"second record", "a,b,c,d\r\nIVA,IVE G,IVA O,IVA S\r\n", "SPA", "IVA", "IVA S"},
      {"first match wins", "k,1,2,3\r\nk,4,5,6\r\n", "SPA", "k", "3"},
      {"letter case differs", "any,g,o,s\r\n", "SPA", "Any", "Any"},
      {"trailing blank differs", "\"Any \",g,o,s\r\n", "SPA", "Any", "Any"},
      {"unquoted keeps trailing blanks", "Any  ,g,o,s\r\n", "SPA", "Any  ", "s"},
      {"leading blanks need quotes", "   Any,g,o,s\r\n", "SPA", "   Any", "   Any"},
      {"leading blanks skipped", "   Any,g,o,s\r\n", "SPA", "Any", "s"},
      {"quoted leading blanks", "\"   Any\",g,o,s\r\n", "SPA", "   Any", "s"},
      {"quoted keeps line ends", "\"a\r\nb\",g,o,\"x\r\ny\"\r\n", "SPA", "a\r\nb", "x\r\ny"},
      {"tabs and LF dropped", "k,g,o,s\tx\ny\r\n", "SPA", "k", "sxy"},
      {"blanks after quote", "\"k\"  \t,g,o,s\r\n", "SPA", "k", "s"},
      {"empty translation", "k,g,o,\r\n", "SPA", "k", ""},
      {"ctrl-z ends data", "k,g,o,s\r\n\x1Az,g,o,s\r\n", "SPA", "z", "z"},
      {"ctrl-z cuts record", "k,g,o\x1A,s\r\n", "SPA", "k", "k"},
      {"unknown language", "k,g,o,s\r\n", "XYZ", "k", "k"},
      {"key alone at end", "k", "SPA", "k", "k"},
      {"record cut short", "k,g", "GLG", "k", "g"},
      {"record cut short, missing value", "k,g", "SPA", "k", "k"},
      {"cut inside quoted key", "a,b,c,d\r\n\"k,g,o,s", "SPA", "k", "k"},
      {"cut inside quoted value", "k,g,o,\"s\r\nmore", "SPA", "k", "s\r\nmore"},
      {"lone quote", "\"", "SPA", "", ""},
      {"empty file", "", "SPA", "k", "k"},
      {"CR alone ends value", "k\rg\ro\rs\r", "SPA", "k", "s"},
      {"LF alone does not end a value", "k\ng\n,G,O,S\r\n", "SPA", "kg", "S"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TranslateFromText(c.data, c.language, c.text), c.expected) << c.name;
  }
}

class TranslateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.rt.session.RootDir = dir.Path();
    t.rt.session.ProgramName = "ZENTARIO";
  }
  std::string LanguageFile() const { return dir.Path() + "LOCALE/ZENTARIO.LNG"; }

  test::TempDir dir;
  test::TestRuntime t;
};

TEST_F(TranslateTest, CatalanTouchesNoFile) {
  std::filesystem::create_directories(dir.Path() + "LOCALE");
  t.rt.session.Language = "CAT";
  EXPECT_EQ(Translate(t.rt, "Any"), "Any");
  EXPECT_FALSE(FileExists(LanguageFile()));
}

TEST_F(TranslateTest, MissingFileIsCreatedEmpty) {
  std::filesystem::create_directories(dir.Path() + "LOCALE");
  t.rt.session.Language = "SPA";
  EXPECT_EQ(Translate(t.rt, "Any"), "Any");
  ASSERT_TRUE(FileExists(LanguageFile()));
  EXPECT_EQ(dir.Read("LOCALE/ZENTARIO.LNG"), "");
  EXPECT_EQ(t.rt.locale.languageBase, "ZENTARIO");
}

TEST_F(TranslateTest, MissingFolderReturnsTheText) {
  t.rt.session.Language = "SPA";
  EXPECT_EQ(Translate(t.rt, "Any"), "Any");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "LOCALE"));
}

TEST_F(TranslateTest, ReadsTheFileOnEveryCall) {
  dir.Write("locale/zentario.lng", "\"Any\",\"Ano\",\"An\",\"A\xA4o\"\r\n");
  t.rt.session.Language = "SPA";
  EXPECT_EQ(Translate(t.rt, "Any"), "A\xA4o");
  t.rt.session.Language = "GLG";
  EXPECT_EQ(Translate(t.rt, "Any"), "Ano");
  dir.Write("locale/zentario.lng", "Any,x,y,z\r\n");
  EXPECT_EQ(Translate(t.rt, "Any"), "x");
  EXPECT_EQ(Translate(t.rt, "Mes"), "Mes");
  // The existing file, found whatever its case, is left as it is.
  EXPECT_FALSE(FileExists(LanguageFile()));
  EXPECT_EQ(dir.Read("locale/zentario.lng"), "Any,x,y,z\r\n");
}

TEST_F(TranslateTest, BaseNameIsKeptOnceSet) {
  dir.Write("LOCALE/ZENTARIO.LNG", "k,g,o,s\r\n");
  dir.Write("LOCALE/OTHER.LNG", "k,G,O,S\r\n");
  t.rt.session.Language = "OCI";
  EXPECT_EQ(Translate(t.rt, "k"), "o");
  t.rt.session.ProgramName = "OTHER";
  EXPECT_EQ(Translate(t.rt, "k"), "o");
}

}  // namespace
}  // namespace zt

namespace zt {
namespace {

// Whatever follows it, even a file cut in a quoted value, the first record is found, and a
// key that is nowhere gives the text back.
TEST(TranslateFromText, FirstRecordWinsOverAnyTail) {
  const std::string alphabet =
      "\",\r\n\t \x1A"
      "ab";
  std::uint64_t seed = 7;
  auto next = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(seed >> 33);
  };
  for (int round = 0; round < 2000; ++round) {
    std::string tail(next() % 60, ' ');
    for (char& c : tail) c = alphabet[next() % alphabet.size()];
    const std::string data = "\"Key\",\"G\",\"O\",\"S\"\r\n" + tail;
    ASSERT_EQ(TranslateFromText(data, "SPA", "Key"), "S") << tail;
    ASSERT_EQ(TranslateFromText(data, "GLG", "Key"), "G") << tail;
    // "z" occurs nowhere in the data, so it cannot be a key.
    ASSERT_EQ(TranslateFromText(tail, "SPA", "zz"), "zz") << tail;
  }
}

}  // namespace
}  // namespace zt

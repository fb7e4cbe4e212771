#include "app/session.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

TEST(PackDigits, PacksTwoDigitsPerByte) {
  EXPECT_EQ(PackDigits("15821005"), Bytes({143, 210, 138, 133}));
  EXPECT_EQ(PackDigits("123"), Bytes({140, 158}));  // odd length pairs the last digit with 0
  EXPECT_EQ(PackDigits(""), "");
  EXPECT_EQ(PackDigits(" 12 "), Bytes({128, 140}));  // trimmed, right-aligned, zero-filled
  EXPECT_EQ(PackDigits("1 2"), Bytes({138, 148}));   // inner blanks count as 0
}

class SessionTest : public ::testing::Test {
 protected:
  void SetTmp(const std::string& sessio, const std::string& term) {
    dir.Write("tmp/Sessio.ini", sessio);
    dir.Write("tmp/VornTerm.ini", term);
    t.env.Set("KYBTMP", dir.Path() + "tmp");
    t.env.Set("KYBROOT", dir.Path());
  }
  test::TempDir dir;
  test::TestRuntime t;
};

TEST_F(SessionTest, ReadsEveryField) {
  SetTmp("[Menu]\r\nTitol=IVA\r\nNomMenu=ZENIVA\r\nKybTipOper=2.6\r\n[Terminal]\r\nDir=T1\r\n",
         "[Pantalla]\r\nSeleccio=1\r\nCol1=14010710000700070007\r\n"
         "[Sistema]\r\nData=20241215\r\nSortida=LPT1\r\nIdioma=SPA\r\n");
  dir.Write("Vorn.ini", "[Usuari]\r\nIdioma=GLG\r\n");
  LoadSessionEnvironment(t.rt);
  const SessionContext& s = t.rt.session;
  EXPECT_EQ(s.TempDir, dir.Path() + "tmp\\");
  EXPECT_EQ(s.Title, " IVA ");
  EXPECT_EQ(s.MenuName, "ZENIVA");
  EXPECT_EQ(s.OperatorType, 3);
  EXPECT_EQ(s.TerminalDir, "T1\\");
  EXPECT_EQ(s.Colours[0][0], 14);
  EXPECT_EQ(s.Colours[0][1], 1);
  EXPECT_EQ(s.Colours[1][0], 7);
  EXPECT_EQ(s.Colours[1][1], 10);
  EXPECT_EQ(s.WorkDate, Bytes({148, 152, 140, 143}));
  EXPECT_EQ(s.OutputDevice, "LPT1");
  EXPECT_EQ(s.Language, "SPA");  // the terminal's language wins over the user's
  EXPECT_EQ(s.Platform, "DOS");
}

TEST_F(SessionTest, DefaultsWhenFilesAreMissing) {
  t.env.Set("TERM", "xterm");
  LoadSessionEnvironment(t.rt);
  const SessionContext& s = t.rt.session;
  EXPECT_EQ(s.Title, "  ");
  EXPECT_EQ(s.TerminalDir, "xterm\\");
  EXPECT_EQ(s.TempDir, "xterm\\");  // KYBTMP unset: the terminal folder
  EXPECT_EQ(s.WorkDate, "");
  EXPECT_EQ(s.Language, "   ");
  const ColourTable expected = {{{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}};
  EXPECT_EQ(s.Colours, expected);
}

TEST_F(SessionTest, TempDirSeparatorRules) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\TMP", "C:\\TMP\\"}, {"C:", "C:"}, {"C:\\TMP\\", "C:\\TMP\\"}, {"/tmp/s/", "/tmp/s/"}};
  for (const auto& [value, expected] : cases) {
    t.env.Set("KYBTMP", value);
    LoadSessionEnvironment(t.rt);
    EXPECT_EQ(t.rt.session.TempDir, expected) << value;
  }
}

TEST_F(SessionTest, ColoursFromCol0AndShortOrHugeTexts) {
  SetTmp("", "[Pantalla]\r\nCol0=15\r\n");
  LoadSessionEnvironment(t.rt);
  const ColourTable shortText = {{{15, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}};
  EXPECT_EQ(t.rt.session.Colours, shortText);

  // A selection out of the 16-bit range saturates instead of wrapping.
  SetTmp("", "[Pantalla]\r\nSeleccio=70000\r\nCol32767=01020304050607080910\r\n");
  LoadSessionEnvironment(t.rt);
  EXPECT_EQ(t.rt.session.Colours[0][0], 1);
  EXPECT_EQ(t.rt.session.Colours[4][1], 10);

  SetTmp("", "[Pantalla]\r\nSeleccio=-2\r\nCol-2=99xx\r\n");
  LoadSessionEnvironment(t.rt);
  EXPECT_EQ(t.rt.session.Colours[0][0], 99);
  EXPECT_EQ(t.rt.session.Colours[0][1], 0);
}

TEST_F(SessionTest, LanguageFallsBackToUserOnlyWhenBlank) {
  dir.Write("Vorn.ini", "[Usuari]\r\nIdioma=SPA\r\n");
  SetTmp("", "[Sistema]\r\nIdioma=\r\n");
  LoadSessionEnvironment(t.rt);
  EXPECT_EQ(t.rt.session.Language, "SPA");
  SetTmp("", "[Sistema]\r\nIdioma=CA\r\n");
  LoadSessionEnvironment(t.rt);
  EXPECT_EQ(t.rt.session.Language, "CA ");
  SetTmp("", "[Sistema]\r\nIdioma=CATALA\r\n");
  LoadSessionEnvironment(t.rt);
  EXPECT_EQ(t.rt.session.Language, "CAT");
}

TEST_F(SessionTest, PlatformFromEnvironment) {
  struct Case {
    std::map<std::string, std::string> vars;
    const char* expected;
  };
  const Case cases[] = {
      {{{"HTTP_ACCEPT", "*/*"}}, "CGI"},
      {{{"HTTP_USER_AGENT", "x"}, {"WINDIR", "C:\\W"}}, "CGI"},
      {{{"SYSTEMROOT", "C:\\W"}}, "WIN"},
      {{{"WINDIR", ""}}, "DOS"},
      {{}, "DOS"},
  };
  for (const auto& c : cases) {
    test::TestRuntime fresh;
    for (const auto& [name, value] : c.vars) fresh.env.Set(name, value);
    LoadSessionEnvironment(fresh.rt);
    EXPECT_EQ(fresh.rt.session.Platform, c.expected);
  }
}

}  // namespace
}  // namespace zt

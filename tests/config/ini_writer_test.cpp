#include "config/ini_writer.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "config/ini_reader.h"
#include "support/temp_dir.h"

namespace zt {
namespace {

// Lines joined with CR LF after each, as the writer writes them.
std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

struct RewriteCase {
  const char* name;
  std::string input;
  const char* section;
  const char* key;
  const char* value;
  std::string expected;
};

TEST(RewriteIniText, LineRules) {
  const RewriteCase cases[] = {
      {"replace keeps indentation, key spelling and blanks before =; drops value and comment",
       Lines({"[Iva0]", "  noM  = 21 ; old", "Locals=16"}), "Iva0", "Nom", "IVA",
       Lines({"[Iva0]", "  noM  =IVA", "Locals=16"})},
      {"header with blanks and lower case matches", Lines({"[ iva0 ]  ; c", "Nom=x"}), "Iva0",
       "Nom", "IVA", Lines({"[ iva0 ]  ; c", "Nom=IVA"})},
      {"added key goes after the section's last non-blank line",
       Lines({"[Iva0]", "Nom=IVA", "", "; ret", "[Ret0]", "Locals=15"}), "Iva0", "Serie", "A",
       Lines({"[Iva0]", "Nom=IVA", "Serie=A", "", "; ret", "[Ret0]", "Locals=15"})},
      {"missing section goes after the last non-blank line, trailing blanks follow",
       Lines({"[Usuari]", "Idioma=CAT", "", "  ; end"}), "Iva1", "Nom", "IGIC",
       Lines({"[Usuari]", "Idioma=CAT", "[Iva1]", "Nom=IGIC", "", "  ; end"})},
      {"key twice in the section: both replaced", Lines({"[A]", "k=1", "x=2", "K = 3"}), "A", "k",
       "9", Lines({"[A]", "k=9", "x=2", "K =9"})},
      {"key twice in the section: both removed by an empty value",
       Lines({"[A]", "k=1", "x=2", "k=3"}), "A", "k", "", Lines({"[A]", "x=2"})},
      {"section twice: added to the first, replaced in the second",
       Lines({"[A]", "x=1", "[B]", "y=2", "[A]", "k=old"}), "A", "k", "new",
       Lines({"[A]", "x=1", "k=new", "[B]", "y=2", "[A]", "k=new"})},
      {"a header right after the section ends it without reopening it",
       Lines({"[A]", "[A]", "k=1"}), "A", "k", "2", Lines({"[A]", "k=2", "[A]", "k=1"})},
      {"last line without line end gets one", "[A]\r\nk=1", "A", "k", "2", Lines({"[A]", "k=2"})},
      {"empty file gets the header and the key", "", "Iva0", "Nom", "IVA",
       Lines({"[Iva0]", "Nom=IVA"})},
      {"blanks-only value keeps the key", Lines({"[A]", "k=1"}), "A", "k", "   ",
       Lines({"[A]", "k=   "})},
      {"blank and comment lines at the top are kept", Lines({"", "; top", "", "[A]", "x=1"}), "A",
       "k", "v", Lines({"", "; top", "", "[A]", "x=1", "k=v"})},
      {"key lines before any section are left alone", Lines({"k=1", "[A]"}), "A", "k", "2",
       Lines({"k=1", "[A]", "k=2"})},
      {"removing a missing key adds nothing", Lines({"[A]", "x=1", ""}), "A", "k", "",
       Lines({"[A]", "x=1", ""})},
      {"removal keeps the blank lines around the removed line",
       Lines({"[A]", "x=1", "", "k=1", "", "[B]"}), "A", "k", "",
       Lines({"[A]", "x=1", "", "", "[B]"})},
      {"empty key removes the header and the = lines of the section",
       Lines({"[A]", "; c", "x=1", "note", "", "[B]", "y=2"}), "A", "", "",
       Lines({"; c", "note", "", "[B]", "y=2"})},
      {"empty section removes every non-blank line",
       Lines({"", "[A]", "x=1", "  ; c", "note", "   "}), "", "k", "v",
       Lines({"", "  ; c", "   "})},
      {"a key behind a semicolon is no key line", Lines({"[A]", "k;=1"}), "A", "k", "2",
       Lines({"[A]", "k;=1", "k=2"})},
      {"value may hold = and ;", Lines({"[A]", "k=1"}), "A", "k", "a=b;c",
       Lines({"[A]", "k=a=b;c"})},
      {"CR alone ends a line", "[A]\rk=1\r", "A", "k", "2", Lines({"[A]", "k=2"})},
      {"a lone LF stays inside the line", "[A]\nk=1\n", "A", "k", "2", "[A]\nk=1\n\r\nk=2\r\n"},
      {"Ctrl-Z ends the data", "[A]\r\nk=1\r\n\x1a[B]\r\n", "A", "k", "2", Lines({"[A]", "k=2"})},
      {"name and value are written as passed", Lines({"[B]"}), " Iva0 ", "Nom ", "\"x\"",
       Lines({"[B]", "[ Iva0 ]", "Nom =\"x\""})},
      {"a tab before the bracket is no header", Lines({"\t[A]", "k=1"}), "A", "k", "2",
       Lines({"\t[A]", "k=1", "[A]", "k=2"})},
  };
  for (const RewriteCase& c : cases) {
    EXPECT_EQ(RewriteIniText(c.input, c.section, c.key, c.value), c.expected) << c.name;
  }
}

TEST(RewriteIniText, AgreesWithTheReader) {
  // Whatever the writer sets, the reader finds, for the lines the two must read alike.
  std::string data = Lines({"; settings", "[Usuari]", "  Idioma = SPA", "", "[Iva0]", "Nom=X"});
  data = RewriteIniText(data, "iva0", "locals", "21");
  data = RewriteIniText(data, "Ret0", "Honoraris", "15 ");
  data = RewriteIniText(data, "Usuari", "IDIOMA", "CAT");
  EXPECT_EQ(ReadIniValueFromText(data, "Iva0", "Locals"), "21");
  EXPECT_EQ(ReadIniValueFromText(data, "Ret0", "Honoraris"), "15 ");
  EXPECT_EQ(ReadIniValueFromText(data, "Usuari", "Idioma"), "CAT");
  EXPECT_EQ(ReadIniValueFromText(data, "Iva0", "Nom"), "X");
}

TEST(WriteIniValue, CreatesAMissingFile) {
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteIniValue(dir.Path() + "Vorn.ini", "Iva0", "Nom", "IVA", &error)) << error;
  EXPECT_EQ(dir.Read("Vorn.ini"), Lines({"[Iva0]", "Nom=IVA"}));
}

TEST(WriteIniValue, FindsTheFileWhateverTheCaseAndSeparators) {
  test::TempDir dir;
  dir.Write("SUB/Vorn.ini", Lines({"[Iva0]", "Nom=IVA"}));
  std::string error;
  ASSERT_TRUE(WriteIniValue(dir.Path() + "sub\\VORN.INI", "Iva0", "Nom", "IGIC", &error)) << error;
  EXPECT_EQ(dir.Read("SUB/Vorn.ini"), Lines({"[Iva0]", "Nom=IGIC"}));
}

TEST(WriteIniValue, HandlesFilesLargerThan32KB) {
  test::TempDir dir;
  std::string data = Lines({"[Big]"});
  while (data.size() < 40000) {
    data += "Key" + std::to_string(data.size()) + "=some value that fills the file\r\n\r\n";
  }
  data += Lines({"", "", "[Iva0]", "Nom=IVA", "", "; tail"});
  dir.Write("Vorn.ini", data);
  std::string error;
  ASSERT_TRUE(WriteIniValue(dir.Path() + "Vorn.ini", "Big", "Added", "1", &error)) << error;
  std::string expected = data;
  // After the section's last key line, before the blank lines that follow it.
  std::size_t lastKeyEnd = expected.rfind("the file\r\n") + 10;
  expected.insert(lastKeyEnd, "Added=1\r\n");
  EXPECT_EQ(dir.Read("Vorn.ini"), expected);
}

}  // namespace
}  // namespace zt

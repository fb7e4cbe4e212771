#include "config/ini_reader.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zt {
namespace {

struct ReadCase {
  const char* name;
  std::string data;
  const char* section;
  const char* key;
  std::string expected;
};

TEST(ReadIniValue, LineRules) {
  const ReadCase cases[] = {
      {"plain", "[Menu]\r\nTitol=IVA\r\n", "Menu", "Titol", "IVA"},
      {"header blanks and case", "[ menu ]\r\nTitol=x\r\n", "Menu", "Titol", "x"},
      {"header without bracket", "[Menu\r\nTitol=x\r\n", "Menu", "Titol", "x"},
      {"indented key", "[Menu]\r\n   Titol=x\r\n", "Menu", "Titol", "x"},
      {"key case", "[Menu]\r\ntitol=x\r\n", "Menu", "Titol", "x"},
      {"value keeps leading blank", "[Menu]\r\nTitol = abc\r\n", "Menu", "Titol", " abc"},
      {"value keeps trailing blanks", "[Menu]\r\nTitol=abc   ;c\r\n", "Menu", "Titol", "abc   "},
      {"quotes removed", "[Menu]\r\nTitol=\"abc\"\r\n", "Menu", "Titol", "abc"},
      {"quotes kept after blank", "[Menu]\r\nTitol= \"abc\"\r\n", "Menu", "Titol", " \"abc\""},
      {"semicolon in quotes", "[Menu]\r\nTitol=\"a;b\"\r\n", "Menu", "Titol", "\"a"},
      {"one quote", "[Menu]\r\nTitol=\"\r\n", "Menu", "Titol", "\""},
      {"two quotes", "[Menu]\r\nTitol=\"\"\r\n", "Menu", "Titol", ""},
      {"only first section", "[Menu]\r\nA=1\r\n[Menu]\r\nTitol=x\r\n", "Menu", "Titol", ""},
      {"key before any section", "Titol=x\r\n[Menu]\r\n", "Menu", "Titol", ""},
      {"LF only is one line", "[Menu]\nTitol=x\n", "Menu", "Titol", ""},
      {"tab before bracket", "\t[Menu]\r\nTitol=x\r\n", "Menu", "Titol", ""},
      {"CR without LF", "[Menu]\rTitol=x\r", "Menu", "Titol", "x"},
      {"last line without end", "[Menu]\r\nTitol=x", "Menu", "Titol", "x"},
      {"ctrl-z ends file", "[Menu]\r\n\x1aTitol=x\r\n", "Menu", "Titol", ""},
      {"section ends", "[Menu]\r\n[Other]\r\nTitol=x\r\n", "Menu", "Titol", ""},
      {"first equals splits", "[Menu]\r\nTitol=a=b\r\n", "Menu", "Titol", "a=b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadIniValueFromText(c.data, c.section, c.key), c.expected) << c.name;
  }
}

TEST(ReadIniValue, ReadsFilesAndMissingFileIsEmpty) {
  test::TempDir dir;
  std::string path = dir.Write("Vorn.ini", "[Usuari]\r\nIdioma=SPA\r\n");
  EXPECT_EQ(ReadIniValue(path, "Usuari", "Idioma"), "SPA");
  EXPECT_EQ(ReadIniValue(dir.Path() + "missing.ini", "Usuari", "Idioma"), "");
  // The suite writes paths with backslashes and may differ in case.
  EXPECT_EQ(ReadIniValue(dir.Path() + "VORN.INI", "Usuari", "Idioma"), "SPA");
}

}  // namespace
}  // namespace zt

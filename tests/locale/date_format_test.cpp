#include "locale/date_format.h"

#include <gtest/gtest.h>

#include <string>

#include "app/session.h"
#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt {
namespace {

class FormatDateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.env.Set("KYBROOT", dir.Path());
    t.rt.session.Language = "CAT";
  }
  std::string Format(const char* digits, std::int16_t style, std::string_view parts,
                     const char* language = "CAT") {
    t.rt.session.Language = language;
    return FormatDate(t.rt, PackDigits(digits), style, parts);
  }

  test::TempDir dir;
  test::TestRuntime t;
};

TEST_F(FormatDateTest, WorkedExamplesWithDefaults) {
  struct Case {
    const char* date;
    std::int16_t style;
    const char* parts;
    const char* language;
    std::string expected;
  };
  const Case cases[] = {
      {"20240115", 0, "dma", "SPA", "15/1/2024 "},
      {"20240105", 0, "dma", "OCI", "5/1/2024  "},
      {"20240405", 1, "dma", "CAT", "5/abr/2024 "},
      {"20240115", 2, "dma", "CAT", "15 de gener del 2024"},
      {"20240405", 2, "dma", "CAT", "5 d'abril del 2024"},
      {"20240115", 2, "dma", "SPA", "15 de enero de 2024"},
      {"20240115", 2, "dma", "GLG", "15 de janeiro do 2024"},
      {"20240405", 2, "dma", "OCI", "5 d'abriu deth 2024"},
      {"20240405", 2, "m", "CAT", "abril"},
      {"20240405", -1, "", "GLG", "2024-04-05"},
      {"20240405", -1, "m", "CAT", "2024-04-05"},
      {"00000000", 0, "dma", "CAT", "          "},
      {"00000000", -1, "dma", "CAT", "0000-00-00"},
      {"00000000", 2, "dma", "CAT", ""},
      // Month names in code page 850, accented letters included.
      {"20240301", 2, "dma", "CAT", "1 de mar\x87 del 2024"},
      {"20240301", 1, "dma", "CAT", "1/mar/2024 "},
      {"20240101", 2, "m", "OCI", "g\x8Ar"},
      {"20240215", 1, "dma", "OCI", "15/her/2024"},
      {"20240315", 2, "dma", "GLG", "15 de mar\x87o do 2024"},
      {"20240915", 2, "dma", "SPA", "15 de septiembre de 2024"},
      // Vowel months take the second joiner; Spanish and Galician have no elision.
      {"20240815", 2, "dma", "CAT", "15 d'agost del 2024"},
      {"20241015", 2, "dma", "OCI", "15 d'octobre deth 2024"},
      {"20240815", 2, "dma", "SPA", "15 de agosto de 2024"},
      {"20240415", 2, "dma", "GLG", "15 de abril do 2024"},
      // Unknown languages and Catalan share the Catalan row.
      {"20240115", 2, "dma", "XYZ", "15 de gener del 2024"},
      {"20240115", 2, "dma", "", "15 de gener del 2024"},
      {"20240115", 2, "dma", "SPANISH", "15 de enero de 2024"},
      // The parts text picks components; the date order sets their sequence.
      {"20240415", 0, "MA", "CAT", "4/2024 "},
      {"20240415", 0, "am", "CAT", "4/2024 "},
      {"20240415", 0, "d", "CAT", "15"},
      {"20240415", 0, "", "CAT", ""},
      {"20240415", 0, "x", "CAT", ""},
      {"20240415", 1, "m", "CAT", "abr"},
      {"20240415", 2, "ad", "CAT", "15 del 2024"},
      // Only the day and month count for the empty test: a year alone gives nothing.
      {"20240000", 0, "dma", "CAT", "          "},
      {"20240005", 0, "dma", "CAT", "5/0/2024  "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Format(c.date, c.style, c.parts, c.language), c.expected)
        << c.date << " style " << c.style << " parts " << c.parts << " " << c.language;
  }
}

TEST_F(FormatDateTest, OddDates) {
  // A month outside 1-12 shows its number in the word styles.
  EXPECT_EQ(Format("20241305", 2, "dma"), "5 de 13 del 2024");
  EXPECT_EQ(Format("20241305", 1, "dma"), "5/13/2024  ");
  EXPECT_EQ(Format("20241305", 0, "dma"), "5/13/2024 ");
  // Bytes below 128 unpack to the last two digits of their code.
  EXPECT_EQ(FormatDate(t.rt, std::string("\x14\x18\x01\x0F", 4), 0, "dma"), "15/1/2024 ");
  EXPECT_EQ(FormatDate(t.rt, "", 0, "dma"), "          ");
  EXPECT_EQ(FormatDate(t.rt, "", -1, "dma"), "0000-00-00");
  EXPECT_EQ(FormatDate(t.rt, PackDigits("2024"), -1, "dma"), "2024-00-00");
  // Styles below -1 are not used; they still give a defined, cut text.
  EXPECT_EQ(Format("20241231", -7, "dma"), "31/");
}

TEST_F(FormatDateTest, OrderAndSeparatorFromTheMainIniFileOnce) {
  dir.Write("Vorn.ini", "[Usuari]\r\nDatCaracter=-\r\nDatOrdre=AMD\r\n");
  EXPECT_EQ(Format("20240115", 0, "dma"), "2024-1-15 ");
  EXPECT_EQ(Format("20240115", 2, "dma"), "2024 de gener del 15");
  // Loaded once: a later change is not seen.
  dir.Write("Vorn.ini", "[Usuari]\r\nDatCaracter=.\r\nDatOrdre=DMA\r\n");
  EXPECT_EQ(Format("20240115", 0, "dma"), "2024-1-15 ");
}

TEST_F(FormatDateTest, SettingValuesAndDefaults) {
  struct Case {
    const char* ini;
    std::string expected;
  };
  const Case cases[] = {
      {"[Usuari]\r\nDatCaracter=-\r\n", "15-1-2024 "},
      {"[Usuari]\r\nDatCaracter= -\r\nDatOrdre=   \r\n", "15/1/2024 "},
      {"[Usuari]\r\nDatOrdre=MDAX\r\n", "1/15/2024 "},
      {"[Usuari]\r\nDatOrdre=MD\r\n", "1/15      "},
      {"[Usuari]\r\nDatOrdre=dma\r\n", "          "},  // the letters are used as stored
      {"", "15/1/2024 "},
  };
  for (const Case& c : cases) {
    test::TestRuntime fresh;
    fresh.env.Set("KYBROOT", dir.Path());
    fresh.rt.session.Language = "CAT";
    dir.Write("Vorn.ini", c.ini);
    EXPECT_EQ(FormatDate(fresh.rt, PackDigits("20240115"), 0, "dma"), c.expected) << c.ini;
  }
}

}  // namespace
}  // namespace zt

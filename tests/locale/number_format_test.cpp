#include "locale/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt {
namespace {

std::string Blanks(std::size_t n) {
  return std::string(n, ' ');
}

// A runtime whose suite root is an empty scratch folder (or one holding the given Vorn.ini).
class NumberFormatTest : public ::testing::Test {
 protected:
  void SetUp() override { t.env.Set("KYBROOT", dir.Path()); }
  void WriteVorn(const std::string& text) { dir.Write("Vorn.ini", text); }
  std::string Format(std::string_view mask, double value) {
    return FormatNumber(t.rt, mask, value);
  }

  struct MaskCase {
    const char* mask;
    double value;
    std::string expected;
  };
  void Check(std::initializer_list<MaskCase> cases) {
    for (const MaskCase& c : cases) {
      std::string result = Format(c.mask, c.value);
      EXPECT_EQ(result, c.expected) << "mask \"" << c.mask << "\" value " << c.value;
      EXPECT_EQ(result.size(), std::string_view(c.mask).size()) << c.mask;
    }
  }

  test::TempDir dir;
  test::TestRuntime t;
};

TEST_F(NumberFormatTest, WorkedTableWithDefaultCharacters) {
  const char* big = "Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9";
  Check({
      {big, 0, Blanks(20) + "0"},
      {big, 1234567, Blanks(12) + "1.234.567"},
      {big, -1234567, Blanks(11) + "-1.234.567"},
      {big, 12.5, Blanks(19) + "12"},
      {"Z9.99 %", 16, "16'00 %"},
      {"Z9.99 %", 7.5, " 7'50 %"},
      {"Z9.99 %", 100, " 100'00"},
      {"ZZ9.99", 0.125, "  0'12"},
      {"ZZZ.ZZ", 5, "  5   "},
      {"ZZZ.ZZ", 0.5, "   '5 "},
      {"ZZZ", 0, "   "},
      {"ZZZ", -5, " -5"},
      {"ZZZ", -555, "!!!"},
      {"Z,ZZ9", -1234, "-1234"},
      {"999", -5, "0-5"},
      {"***,**9.99", -1234.5, "*-1.234'50"},
      {"Z,ZZ9-", -5, "    5-"},
      {"+Z,ZZ9", 5, "+    5"},
  });
}

TEST_F(NumberFormatTest, RoundingSuppressionAndSigns) {
  Check({
      // Ties go to the even neighbour, after scaling by the decimals.
      {"ZZ", 12.5, "12"},
      {"ZZ", 13.5, "14"},
      {"Z9.9", 0.25, " 0'2"},
      {"Z9.9", 0.35, " 0'4"},  // the scaled product rounds to 3.5: a tie
      {"Z9.9", 0.45, " 0'4"},
      // Zero leaves an all-"Z" field blank; a tiny value shows one "0".
      {"ZZZ", 0.001, "  0"},
      {"ZZZ", -0.0, "   "},
      {"ZZ.ZZ", 0.0, "     "},
      {"ZZ.ZZ", 0.001, "  '00"},
      // "Z" decimals blank trailing zeros, "9" decimals keep them.
      {"ZZ.ZZ", 1.5, " 1'5 "},
      {"ZZ.99", 1.5, " 1'50"},
      {"ZZ.99", 1, " 1'00"},
      // Signed masks carry the sign in place; "+" shows it for positives.
      {"ZZ9+", 5, "  5+"},
      {"ZZ9+", -5, "  5-"},
      {"-ZZ9", -5, "-  5"},
      {"-ZZ9", 5, "   5"},
      {"ZZ9.99-", -1.5, "  1'50-"},
      // The floating minus takes the first free place left of the digits.
      {"**9", -5, "*-5"},
      {"Z,ZZ9", -123, " -123"},
      {"Z,ZZ9", -1234, "-1234"},
      {"ZZ,ZZ9", -1234, "-1.234"},
      // The digits fill an unsigned mask exactly: plain form.
      {"ZZ.99", -12.5, "-12'5"},
      // Literals are copied; separators once the digits ran out become fill.
      {"Z,ZZ9 EUR", 12, "   12 EUR"},
      {"*,**9", 12, "***12"},
      {"9,999", 12, "0.012"},
  });
}

TEST_F(NumberFormatTest, ValuesThatDoNotFit) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Check({
      {"ZZ9", 12345, "!!!"},
      {"ZZ9.99", 1234.5, "1234'5"},  // integer digits fit, decimals cut at the right
      {"ZZZZ.9", 12345.5, "12345'"},
      {"ZZ.9", 12345, "!!!!"},
      {"ZZZZZ.9", 12345.25, "12345'2"},
      {"Z9.99 %", inf, "!!!!!!!"},
      {"Z9.99 %", -inf, "!!!!!!!"},
      {"Z9.99 %", nan, "!!!!!!!"},
      {"Z,ZZZ,ZZ9", 1e300, "!!!!!!!!!"},
      {"Z,ZZZ,ZZ9", -1e300, "!!!!!!!!!"},
      {"ZZ9", std::numeric_limits<double>::max(), "!!!"},
      {"9.99", std::numeric_limits<double>::denorm_min(), "0'00"},
      {"", 5, ""},
      {"", -5, ""},
      {"", nan, ""},
      // A minus that can find no place would lose the sign: plain form instead.
      {"%Z", -5, "-5"},
      {".99", -0.05, "-'0"},
      // Masks without digit places only have their separators and signs replaced.
      {"a.b,c", 0, "a'b.c"},
      {"a.b,c", 5, "    5"},  // a digit with no place: plain form
      {"(+)", -0.1, "(-)"},
      {"(+)", -0.0, "(+)"},
  });
}

TEST_F(NumberFormatTest, LongMasksKeepTheirLength) {
  const std::string zeds(200, 'Z');
  EXPECT_EQ(Format(zeds, 42), Blanks(198) + "42");
  EXPECT_EQ(Format(zeds, -42), Blanks(197) + "-42");
  // Large whole doubles keep every one of their exact digits.
  EXPECT_EQ(Format(zeds, std::ldexp(1.0, 200)),
            Blanks(139) + "1606938044258990275541962092341162602522202993782792835301376");

  // 100 decimals push the scaled value past any double: every place shows "!".
  const std::string manyDecimals = "Z." + std::string(198, '9');
  EXPECT_EQ(Format(manyDecimals, 1e200), std::string(200, '!'));
  std::string small = Format(manyDecimals, 5);
  ASSERT_EQ(small.size(), 200u);
  EXPECT_EQ(small.substr(0, 2), "5'");

  const std::string calculator = "-" + std::string("Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9") + ".99";
  EXPECT_EQ(Format(calculator, -1234.5), "-" + Blanks(16) + "1.234'50");
  EXPECT_EQ(Format(calculator, 1e15), " 1.000.000.000.000.000'00");
  EXPECT_EQ(Format(calculator, -1e15), "-1.000.000.000.000.000'00");
  EXPECT_EQ(Format(calculator, 1e18), "   1000000000000000000'00");
}

TEST_F(NumberFormatTest, CharactersComeFromTheMainIniFileOnce) {
  WriteVorn("[Usuari]\r\nDecCaracter=,\r\nMilCaracter= \r\n");
  EXPECT_EQ(Format("Z9.99 %", 7.5), " 7,50 %");
  EXPECT_EQ(DecimalCharacter(t.rt), ',');
  EXPECT_EQ(ThousandsCharacter(t.rt), '.');  // a value starting with a blank: default
  // Read once per runtime: a later change of the file is not seen.
  WriteVorn("[Usuari]\r\nDecCaracter=;\r\nMilCaracter=_\r\n");
  EXPECT_EQ(Format("Z,ZZ9.99", 1234.5), "1.234,50");
}

TEST_F(NumberFormatTest, OtherCharactersAndEmptyValues) {
  WriteVorn("[Usuari]\r\nDecCaracter=\r\nMilCaracter=' x\r\n");
  EXPECT_EQ(Format("Z9.99 %", 7.5), " 7'50 %");
  EXPECT_EQ(Format("Z,ZZ9", 1234), "1'234");
}

TEST_F(NumberFormatTest, MissingKybrootReadsNoFile) {
  t.env.Unset("KYBROOT");
  EXPECT_EQ(Format("Z,ZZ9.99", 1234.5), "1.234'50");
}

TEST(PadZeros, WidthAndSign) {
  struct Case {
    double value;
    std::int16_t width;
    std::string expected;
  };
  const Case cases[] = {
      {5, 2, "05"},
      {2024, 2, "24"},
      {7, 4, "0007"},
      {12345, 2, "45"},
      {-5, 3, "005"},
      {0, 2, "00"},
      {-0.0, 1, "0"},
      {2024, 4, "2024"},
      {1e20, 3, "000"},
      {1e20, 25, "0000100000000000000000000"},
      {5, 0, ""},
      {5, -3, ""},
      {2.5, 5, "002.5"},
      {0.1 + 0.2, 3, "0.3"},
      {std::numeric_limits<double>::infinity(), 2, "00"},
      {std::numeric_limits<double>::quiet_NaN(), 2, "00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PadZeros(c.value, c.width), c.expected) << c.value << " width " << c.width;
  }
}

}  // namespace
}  // namespace zt

namespace zt {
namespace {

// Random masks and values, including the extremes: every result keeps the mask's length,
// and values that are not finite fill it with "!".
TEST_F(NumberFormatTest, RandomMasksKeepTheirLength) {
  const std::string alphabet = "9Zz*.,-+ %a";
  const double specials[] = {0.0,
                             -0.0,
                             0.5,
                             -0.5,
                             1e-300,
                             -1e-300,
                             123456789.125,
                             -9.87654321e15,
                             1e19,
                             -1.8446744073709552e19,
                             1e300,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(),
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
  std::uint64_t seed = 42;
  auto next = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(seed >> 33);
  };
  for (int round = 0; round < 3000; ++round) {
    std::string mask(next() % 41, ' ');
    for (char& c : mask) c = alphabet[next() % alphabet.size()];
    double value = round % 2 == 0
                       ? specials[next() % std::size(specials)]
                       : (static_cast<double>(next()) - 2147483648.0) / (1 << (next() % 20));
    std::string result = Format(mask, value);
    ASSERT_EQ(result.size(), mask.size()) << "mask \"" << mask << "\" value " << value;
    if (std::isnan(value) || std::isinf(value)) {
      EXPECT_EQ(result, std::string(mask.size(), '!')) << mask;
    }
  }
}

}  // namespace
}  // namespace zt

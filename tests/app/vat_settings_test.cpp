#include "app/vat_settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/ini_reader.h"
#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt {
namespace {

// Form 1 with sixteen fields of the given widths.
void MakeSettingsForm(Runtime& rt, const std::vector<std::int16_t>& widths) {
  FormDefinition& def = rt.forms.definition;
  def = FormDefinition{};
  def.FormCount = 1;
  def.MaxFields = static_cast<std::int16_t>(widths.size());
  def.forms.resize(2);
  Form& form = def.forms[1];
  form.FieldCount = def.MaxFields;
  form.fields.resize(widths.size() + 1);
  for (std::size_t i = 0; i < widths.size(); ++i) {
    form.fields[i + 1].Width = widths[i];
    AssignValue(form.fields[i + 1], "");
  }
}

std::vector<std::string> Values(Runtime& rt) {
  std::vector<std::string> values;
  for (int field = 1; field <= 16; ++field)
    values.push_back(FindField(rt.forms.definition, 1, field)->Value);
  return values;
}

const std::vector<std::int16_t> kWidths = {8, 5, 5, 5, 5, 5, 5, 2, 8, 5, 5, 5, 5, 5, 5, 2};

class VatSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    t.rt.session.RootDir = dir.Path();
    MakeSettingsForm(t.rt, kWidths);
  }
  test::TempDir dir;
  test::TestRuntime t;
};

TEST_F(VatSettings, MissingFileGivesSectionZeroDefaults) {
  t.rt.forms.definition.Changed = true;
  LoadVatSettings(t.rt);
  EXPECT_FALSE(t.rt.forms.definition.Changed);
  std::vector<std::string> expected = {"IVA     ", "16   ", "     ",    "16   ", "16   ", "15   ",
                                       "15   ",    "  ",    "        ", "     ", "     ", "     ",
                                       "     ",    "     ", "     ",    "  "};
  EXPECT_EQ(Values(t.rt), expected);
}

TEST_F(VatSettings, LoadsEveryKeyFromItsSectionInTableOrder) {
  dir.Write("Vorn.ini",
            "[Iva0]\r\nNom=IGIC\r\nLocals=7\r\nVivendes=3\r\nHonoraris=7.5\r\nSuplerts=0\r\n"
            "Serie=B\r\n[Ret0]\r\nHonoraris=19\r\nLocals=20\r\n[Iva1]\r\nNom=IPSI\r\n"
            "Locals=4\r\nVivendes=1\r\nHonoraris=2\r\nSuplerts=0.5\r\nSerie=C\r\n[Ret1]\r\n"
            "Honoraris=7\r\nLocals=9\r\n");
  LoadVatSettings(t.rt);
  std::vector<std::string> expected = {"IGIC    ", "7    ", "3    ",    "7.5  ", "0    ", "19   ",
                                       "20   ",    "B ",    "IPSI    ", "4    ", "1    ", "2    ",
                                       "0.5  ",    "7    ", "9    ",    "C "};
  EXPECT_EQ(Values(t.rt), expected);
}

TEST_F(VatSettings, BlankValuesTakeDefaultsOnlyInSectionZero) {
  dir.Write("Vorn.ini", "[Iva0]\r\nNom=   \r\nLocals=\r\n[Iva1]\r\nNom=\r\n");
  LoadVatSettings(t.rt);
  auto values = Values(t.rt);
  EXPECT_EQ(values[0], "IVA     ");
  EXPECT_EQ(values[1], "16   ");
  EXPECT_EQ(values[8], "        ");
}

TEST_F(VatSettings, NarrowFieldKeepsTheFirstCharactersAndSavesThem) {
  std::vector<std::int16_t> widths = kWidths;
  widths[1] = 2;
  MakeSettingsForm(t.rt, widths);
  dir.Write("Vorn.ini", "[Iva0]\r\nLocals=125\r\n");
  LoadVatSettings(t.rt);
  EXPECT_EQ(Values(t.rt)[1], "12");
  std::string error;
  ASSERT_TRUE(SaveVatSettings(t.rt, error)) << error;
  EXPECT_EQ(ReadIniValue(dir.Path() + "Vorn.ini", "Iva0", "Locals"), "12");
}

TEST_F(VatSettings, SaveWritesAllSixteenKeysWithTheirBlanks) {
  dir.Write("Vorn.ini",
            "[Usuari]\r\nIdioma=CAT\r\n\r\n[Iva0]\r\nNom=IVA\r\nLocals=21 ; general\r\n\r\n"
            "[Iva1]\r\nNom=IGIC\r\n");
  LoadVatSettings(t.rt);
  std::string error;
  ASSERT_TRUE(SaveVatSettings(t.rt, error)) << error;
  // [Iva1] Locals was missing: it is written as a key of blanks.
  EXPECT_EQ(dir.Read("Vorn.ini"),
            "[Usuari]\r\nIdioma=CAT\r\n\r\n"
            "[Iva0]\r\nNom=IVA     \r\nLocals=21   \r\nVivendes=     \r\nHonoraris=16   \r\n"
            "Suplerts=16   \r\nSerie=  \r\n\r\n"
            "[Iva1]\r\nNom=IGIC    \r\nLocals=     \r\nVivendes=     \r\nHonoraris=     \r\n"
            "Suplerts=     \r\nSerie=  \r\n"
            "[Ret0]\r\nHonoraris=15   \r\nLocals=15   \r\n"
            "[Ret1]\r\nHonoraris=     \r\nLocals=     \r\n");
}

TEST_F(VatSettings, ZeroWidthFieldRemovesItsKey) {
  std::vector<std::int16_t> widths = kWidths;
  widths[7] = 0;  // Iva0 Serie
  MakeSettingsForm(t.rt, widths);
  dir.Write("Vorn.ini", "[Iva0]\r\nSerie=A\r\n");
  LoadVatSettings(t.rt);
  std::string error;
  ASSERT_TRUE(SaveVatSettings(t.rt, error)) << error;
  EXPECT_EQ(dir.Read("Vorn.ini").find("Serie=A"), std::string::npos);
  EXPECT_EQ(dir.Read("Vorn.ini").find("[Iva0]\r\nSerie"), std::string::npos);
}

TEST_F(VatSettings, FailedSaveIsReportedWithTheFileName) {
  ASSERT_TRUE(dir.Write("Vorn.ini/keep", "x").size() > 0);  // Vorn.ini is a folder
  LoadVatSettings(t.rt);
  std::string error;
  EXPECT_FALSE(SaveVatSettings(t.rt, error));
  EXPECT_NE(error.find(dir.Path() + "Vorn.ini"), std::string::npos) << error;
}

}  // namespace
}  // namespace zt

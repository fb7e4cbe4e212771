#include "app/vat_settings.h"

#include "config/ini_reader.h"
#include "config/ini_writer.h"
#include "forms/form_definition.h"
#include "platform/files.h"
#include "screen/styles.h"

namespace zt {

// Section 0 has defaults, section 1 none; fields 3 and 8 default to blank.
const std::array<VatSetting, 16> kVatSettings = {{
    {"Iva0", "Nom", "IVA"},
    {"Iva0", "Locals", "16"},
    {"Iva0", "Vivendes", ""},
    {"Iva0", "Honoraris", "16"},
    {"Iva0", "Suplerts", "16"},
    {"Ret0", "Honoraris", "15"},
    {"Ret0", "Locals", "15"},
    {"Iva0", "Serie", ""},
    {"Iva1", "Nom", nullptr},
    {"Iva1", "Locals", nullptr},
    {"Iva1", "Vivendes", nullptr},
    {"Iva1", "Honoraris", nullptr},
    {"Iva1", "Suplerts", nullptr},
    {"Ret1", "Honoraris", nullptr},
    {"Ret1", "Locals", nullptr},
    {"Iva1", "Serie", nullptr},
}};

std::string VatSettingsPath(const Runtime& rt) {
  return rt.session.RootDir + "Vorn.ini";
}

void LoadVatSettings(Runtime& rt) {
  FormDefinition& def = rt.forms.definition;
  def.Changed = false;
  // One read of the file for the sixteen values: the same result as sixteen reads, from a
  // single consistent state of the file, at a sixteenth of the cost. A missing file reads
  // as empty.
  std::string contents;
  if (!ReadWholeFile(VatSettingsPath(rt), contents)) contents.clear();
  for (std::size_t i = 0; i < kVatSettings.size(); ++i) {
    FormField* field = FindField(def, 1, static_cast<int>(i + 1));
    if (field == nullptr) continue;
    AssignValue(*field,
                ReadIniValueFromText(contents, kVatSettings[i].section, kVatSettings[i].key));
  }
  for (std::size_t i = 0; i < kVatSettings.size(); ++i) {
    FormField* field = FindField(def, 1, static_cast<int>(i + 1));
    if (field == nullptr || kVatSettings[i].defaultValue == nullptr) continue;
    if (IsAllChar(field->Value, ' ')) AssignValue(*field, kVatSettings[i].defaultValue);
  }
}

bool SaveVatSettings(Runtime& rt, std::string& errorMessage) {
  FormDefinition& def = rt.forms.definition;
  const std::string path = VatSettingsPath(rt);
  for (std::size_t i = 0; i < kVatSettings.size(); ++i) {
    FormField* field = FindField(def, 1, static_cast<int>(i + 1));
    if (field == nullptr) continue;
    // Each key is a complete, atomic rewrite of the file; stop at the first that fails,
    // since the rest would fail the same way.
    if (!WriteIniValue(path, kVatSettings[i].section, kVatSettings[i].key, field->Value,
                       &errorMessage)) {
      return false;
    }
  }
  return true;
}

}  // namespace zt

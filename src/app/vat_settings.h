#pragma once
// The sixteen VAT and withholding settings of the main INI file (RootDir + "Vorn.ini") and
// the fields 1..16 of form 1 that show them: section 0 in [Iva0]/[Ret0], section 1 in
// [Iva1]/[Ret1].
#include <array>
#include <string>

#include "app/runtime.h"

namespace zt {

struct VatSetting {
  const char* section;
  const char* key;
  const char* defaultValue;  // used when the loaded value is blank; nullptr = none
};

// Field n of form 1 holds kVatSettings[n - 1]; the same order loads and saves.
extern const std::array<VatSetting, 16> kVatSettings;

// The main INI file's path: RootDir + "Vorn.ini".
std::string VatSettingsPath(const Runtime& rt);

// Clears Changed, then reads the sixteen values into fields 1..16 of form 1 (each fitted
// to its field's width); blank values of section 0 take their defaults.
void LoadVatSettings(Runtime& rt);

// Writes the sixteen values, with their trailing blanks, in table order (one complete
// rewrite of the file per key). Stops at the first write that fails: false, with a message
// naming the file.
bool SaveVatSettings(Runtime& rt, std::string& errorMessage);

}  // namespace zt

#pragma once
// Process-wide state of the localisation and formatting code (owned by src/locale/).
#include <string>

namespace zt {

struct LocaleState {
  // Base name of the language file; empty until the first lookup.
  std::string languageBase;
  // Operator's formatting characters, loaded on first use; '\0' means not loaded yet.
  char decimalChar = '\0';
  char thousandsChar = '\0';
  bool dateSettingsLoaded = false;
  char dateSeparator = '\0';
  std::string dateOrder;
  // Which folding table FoldText uses.
  bool accentFreeFolding = false;
};

}  // namespace zt

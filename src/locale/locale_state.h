#pragma once
// Process-wide state of the localisation and formatting code (owned by src/locale/).
#include <string>

namespace zt {

struct LocaleState {
  // Base name of the language file; empty until the first lookup.
  std::string languageBase;
  // Operator's number characters, loaded by the first number formatting.
  bool numberSettingsLoaded = false;
  char decimalChar = '\'';
  char thousandsChar = '.';
  // Operator's date separator and order (three of "D", "M", "A"), loaded by the first
  // date formatting.
  bool dateSettingsLoaded = false;
  char dateSeparator = '/';
  std::string dateOrder = "DMA";
  // Which folding table FoldText uses: off keeps accents, on removes them.
  bool accentFreeFolding = false;
};

}  // namespace zt

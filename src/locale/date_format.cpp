#include "locale/date_format.h"

#include <array>

#include "config/ini_reader.h"
#include "locale/calendar_math.h"
#include "locale/user_settings.h"

namespace zt {

namespace {

// One language's words and month names (code page 850).
struct LanguageRow {
  std::string_view beforeMonth;
  std::string_view beforeVowelMonth;
  std::string_view beforeDayOrYear;
  std::array<std::string_view, 12> months;
};

constexpr LanguageRow kSpanish = {" de ",
                                  " de ",
                                  " de ",
                                  {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio",
                                   "agosto", "septiembre", "octubre", "noviembre", "diciembre"}};
constexpr LanguageRow kGalician = {
    " de ",
    " de ",
    " do ",
    {"janeiro", "fevereiro", "mar\x87o", "abril", "maio", "junho", "julho", "agosto", "setembro",
     "outubro", "novembro", "dezembro"}};
constexpr LanguageRow kOccitan = {" de ",
                                  " d'",
                                  " deth ",
                                  {"g\x8Ar", "hereu\x8Ar", "mar\x87", "abriu", "mai", "junh",
                                   "junhsega", "agost", "seteme", "octobre", "noveme", "deseme"}};
constexpr LanguageRow kCatalan = {" de ",
                                  " d'",
                                  " del ",
                                  {"gener", "febrer", "mar\x87", "abril", "maig", "juny", "juliol",
                                   "agost", "setembre", "octubre", "novembre", "desembre"}};

const LanguageRow& RowFor(std::string_view language) {
  std::string_view code = language.substr(0, 3);
  if (code == "SPA") return kSpanish;
  if (code == "GLG") return kGalician;
  if (code == "OCI") return kOccitan;
  return kCatalan;
}

void LoadDateSettings(Runtime& rt) {
  LocaleState& state = rt.locale;
  if (state.dateSettingsLoaded) return;
  state.dateSeparator = UserSettingChar(rt, "DatCaracter", '/');
  std::string order = ReadIniValue(MainIniPath(rt), "Usuari", "DatOrdre").substr(0, 3);
  order.resize(3, ' ');
  state.dateOrder = order == "   " ? "DMA" : order;
  state.dateSettingsLoaded = true;
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Contains(std::string_view parts, char upperLetter) {
  for (char c : parts) {
    if (Upper(c) == upperLetter) return true;
  }
  return false;
}

// A two-digit number of the digit text, without leading zeros ("0" for 00 or when absent).
std::string NumberText(const std::string& digits, std::size_t at, std::int32_t& number) {
  number = 0;
  for (std::size_t j = at; j < at + 2 && j < digits.size(); ++j)
    number = number * 10 + (digits[j] - '0');
  return std::to_string(number);
}

std::string PadLeft(std::string text, std::size_t width, char with) {
  if (text.size() < width) text.insert(0, width - text.size(), with);
  return text;
}

}  // namespace

std::string FormatDate(Runtime& rt, std::string_view date, std::int16_t style,
                       std::string_view parts) {
  LoadDateSettings(rt);
  const std::string digits = UnpackDigits(date);
  const std::string yearText = PadLeft(digits.substr(0, 4), 4, '0');
  std::int32_t month = 0;
  std::int32_t day = 0;
  const std::string monthText = NumberText(digits, 4, month);
  const std::string dayText = NumberText(digits, 6, day);

  if (style == -1) {
    return yearText + "-" + PadLeft(monthText, 2, '0') + "-" + PadLeft(dayText, 2, '0');
  }

  const LanguageRow& row = RowFor(rt.session.Language);
  std::string result;
  if (monthText + dayText > "00") {
    for (char letter : rt.locale.dateOrder) {
      // Only the three known letters name a component; anything else in the order is skipped.
      if ((letter != 'D' && letter != 'M' && letter != 'A') || !Contains(parts, letter)) continue;
      std::string_view piece;
      std::string_view joiner = row.beforeDayOrYear;
      if (letter == 'D') {
        piece = dayText;
      } else if (letter == 'A') {
        piece = yearText;
      } else {
        piece = monthText;
        joiner = row.beforeMonth;
        // A month number outside 1-12 has no name: its number stands in for it.
        if (style >= 1 && month >= 1 && month <= 12) {
          piece = row.months[static_cast<std::size_t>(month - 1)];
          if (style == 1) piece = piece.substr(0, 3);
          char first = Upper(piece[0]);
          if (first == 'A' || first == 'E' || first == 'I' || first == 'O' || first == 'U') {
            joiner = row.beforeVowelMonth;
          }
        }
      }
      if (!result.empty()) {
        if (style >= 2) {
          result += joiner;
        } else {
          result += rt.locale.dateSeparator;
        }
      }
      result += piece;
    }
  }
  if (style >= 2) return result;

  std::int32_t width = static_cast<std::int32_t>(parts.size()) - 1;
  if (Contains(parts, 'M')) width += style + 2;
  if (Contains(parts, 'A')) width += 4;
  if (Contains(parts, 'D')) width += 2;
  if (width < 0) width = 0;
  result.resize(static_cast<std::size_t>(width), ' ');
  return result;
}

}  // namespace zt

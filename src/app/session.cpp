#include "app/session.h"

#include <algorithm>

#include "config/ini_reader.h"
#include "config/numeric_text.h"

namespace zt {

namespace {

void AppendSeparator(std::string& dir) {
  if (!dir.empty() && dir.back() != ':' && dir.back() != '\\' && dir.back() != '/') {
    dir += '\\';
  }
}

std::string FitTo3(std::string text) {
  text.resize(3, ' ');
  return text;
}

bool IsBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

constexpr std::string_view kDefaultColours = "15000700000700070007";

}  // namespace

std::string PackDigits(std::string_view digits) {
  std::size_t n = digits.size();
  std::size_t first = digits.find_first_not_of(' ');
  std::string_view trimmed;
  if (first != std::string_view::npos) {
    trimmed = digits.substr(first, digits.find_last_not_of(' ') - first + 1);
  }
  std::string work = std::string(n, '0') + std::string(trimmed);
  work = work.substr(work.size() - n);
  std::replace(work.begin(), work.end(), ' ', '0');
  std::string packed((n + 1) / 2, ' ');
  for (std::size_t i = 0; i < packed.size(); ++i) {
    auto digitAt = [&](std::size_t pos) {
      return pos < work.size() ? static_cast<int>(NumericValue(work.substr(pos, 1))) : 0;
    };
    int value = 10 * digitAt(2 * i) + digitAt(2 * i + 1);
    packed[i] = static_cast<char>(128 | value);
  }
  return packed;
}

void LoadSessionEnvironment(Runtime& rt) {
  SessionContext& s = rt.session;
  s = SessionContext{};
  s.RootDir = rt.env.Get("KYBROOT");
  s.ExeDir = rt.env.Get("KYBEXE");
  s.TempDir = rt.env.Get("KYBTMP");
  AppendSeparator(s.TempDir);

  const std::string sessio = s.TempDir + "Sessio.ini";
  s.Title = " " + ReadIniValue(sessio, "Menu", "Titol") + " ";
  s.MenuName = ReadIniValue(sessio, "Menu", "NomMenu");
  s.MenuProgram = ReadIniValue(sessio, "Menu", "Menu");
  s.MenuChain = ReadIniValue(sessio, "Menu", "ChnMenu");
  s.OperatorName = ReadIniValue(sessio, "Menu", "Operador");
  s.OperatorType = Int16Value(ReadIniValue(sessio, "Menu", "KybTipOper"));

  s.TerminalDir = ReadIniValue(sessio, "Terminal", "Dir");
  if (s.TerminalDir.empty()) s.TerminalDir = rt.env.Get("TERM");
  AppendSeparator(s.TerminalDir);
  if (s.TempDir.empty()) s.TempDir = s.TerminalDir;

  const std::string term = s.TempDir + "VornTerm.ini";
  std::int16_t selection = Int16Value(ReadIniValue(term, "Pantalla", "Seleccio"));
  std::string colours = ReadIniValue(term, "Pantalla", "Col" + std::to_string(selection));
  if (colours.empty()) colours = kDefaultColours;
  for (std::size_t style = 0; style < 5; ++style) {
    for (std::size_t half = 0; half < 2; ++half) {
      std::size_t pos = 4 * style + 2 * half;
      std::string_view group =
          pos < colours.size() ? std::string_view(colours).substr(pos, 2) : std::string_view();
      s.Colours[style][half] = Int16Value(group);
    }
  }

  s.WorkDate = PackDigits(ReadIniValue(term, "Sistema", "Data"));
  s.OutputDevice = ReadIniValue(term, "Sistema", "Sortida");
  s.Language = FitTo3(ReadIniValue(term, "Sistema", "Idioma"));
  const std::string mainIni = rt.env.Get("KYBROOT") + "Vorn.ini";
  if (IsBlank(s.Language)) s.Language = FitTo3(ReadIniValue(mainIni, "Usuari", "Idioma"));

  if (!rt.env.Get("HTTP_USER_AGENT").empty() || !rt.env.Get("HTTP_ACCEPT").empty()) {
    s.Platform = "CGI";
  } else if (!rt.env.Get("WINDIR").empty() || !rt.env.Get("SYSTEMROOT").empty()) {
    s.Platform = "WIN";
  } else {
    s.Platform = "DOS";
  }
}

}  // namespace zt

#include "locale/user_settings.h"

#include "config/ini_reader.h"

namespace zt {

std::string MainIniPath(const Runtime& rt) {
  return rt.env.Get("KYBROOT") + "Vorn.ini";
}

char UserSettingChar(const Runtime& rt, std::string_view key, char fallback) {
  std::string value = ReadIniValue(MainIniPath(rt), "Usuari", key);
  if (value.empty() || value[0] == ' ') return fallback;
  return value[0];
}

}  // namespace zt

#include "platform/environment.h"

#include <cstdlib>

namespace zt {

std::string ProcessEnvironment::Get(const std::string& name) const {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::string(value) : std::string();
}

std::string MapEnvironment::Get(const std::string& name) const {
  auto it = values_.find(name);
  return it != values_.end() ? it->second : std::string();
}

}  // namespace zt

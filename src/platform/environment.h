#pragma once
// Environment variables, behind an interface so tests can give each case its own set.
#include <map>
#include <string>

namespace zt {

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value, or the empty text when it is unset.
  virtual std::string Get(const std::string& name) const = 0;
};

class ProcessEnvironment : public Environment {
 public:
  std::string Get(const std::string& name) const override;
};

class MapEnvironment : public Environment {
 public:
  MapEnvironment() = default;
  explicit MapEnvironment(std::map<std::string, std::string> values)
      : values_(std::move(values)) {}
  std::string Get(const std::string& name) const override;
  void Set(const std::string& name, const std::string& value) { values_[name] = value; }
  void Unset(const std::string& name) { values_.erase(name); }

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace zt

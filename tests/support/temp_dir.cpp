#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zt::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zt-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern + "/";
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(std::string_view relative, std::string_view contents) const {
  std::filesystem::path full = std::filesystem::path(path_) / std::string(relative);
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out << contents;
  return full.string();
}

std::string TempDir::Read(std::string_view relative) const {
  std::ifstream in(std::filesystem::path(path_) / std::string(relative), std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

}  // namespace zt::test

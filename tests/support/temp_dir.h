#pragma once
// A scratch folder for one test, removed with everything in it at the end.
#include <string>
#include <string_view>

namespace zt::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's path, ending in "/".
  const std::string& Path() const { return path_; }
  // Writes a file below the folder (folders on the way are created); returns its path.
  std::string Write(std::string_view relative, std::string_view contents) const;
  // Reads a file below the folder; empty when missing.
  std::string Read(std::string_view relative) const;

 private:
  std::string path_;
};

}  // namespace zt::test

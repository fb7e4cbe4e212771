#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zt {

std::string NativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

bool FileExists(std::string_view path) {
  struct stat info {};
  return ::stat(std::string(path).c_str(), &info) == 0;
}

namespace {

// The entry of folder whose name equals name without regard to case, or name itself.
std::string MatchEntry(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return name;
  std::string found = name;
  while (dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string ResolvePath(std::string_view path) {
  std::string native = NativePath(path);
  if (native.empty() || FileExists(native)) return native;
  std::string resolved;
  std::size_t pos = 0;
  if (native[0] == '/') {
    resolved = "/";
    pos = 1;
  }
  while (pos <= native.size()) {
    std::size_t slash = native.find('/', pos);
    std::string part =
        native.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
    if (!part.empty() && part != "." && part != "..") {
      std::string candidate = resolved + part;
      if (!FileExists(candidate)) {
        std::string folder = resolved;
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        part = MatchEntry(folder, part);
      }
    }
    resolved += part;
    if (slash == std::string::npos) break;
    resolved += '/';
    pos = slash + 1;
  }
  return resolved;
}

bool ReadWholeFile(std::string_view path, std::string& contents) {
  // Plain read(2): settings files are read many times at start-up, and streams cost more
  // than the reading itself.
  int fd = ::open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  contents.clear();
  char buffer[8192];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      contents.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fd);
  return true;
}

bool ChangeDirectory(std::string_view path) {
  return ::chdir(ResolvePath(path).c_str()) == 0;
}

}  // namespace zt

#include "config/ini_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "config/ini_syntax.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace zt {

std::string RewriteIniText(std::string_view data, std::string_view section, std::string_view key,
                           std::string_view value) {
  std::string out;
  out.reserve(data.size() + section.size() + key.size() + value.size() + 8);
  bool inSection = false;
  bool written = false;
  // Blank and comment-only lines read since the last non-blank line. They are written just
  // before the next non-blank line, after anything added at that point, so a key added to a
  // section lands before the blank lines that separate it from the next one.
  std::vector<std::string_view> blankRun;

  auto writeLine = [&out](std::string_view line) {
    out.append(line);
    out.append("\r\n");
  };
  auto addIfMissing = [&] {
    if (!written && !section.empty() && !key.empty() && !value.empty()) {
      if (!inSection) {
        out.append("[").append(section).append("]\r\n");
      }
      out.append(key).append("=").append(value).append("\r\n");
    }
    written = true;
  };
  auto flushBlankLines = [&] {
    for (std::string_view line : blankRun) writeLine(line);
    blankRun.clear();
  };

  ini::ForEachLine(data, [&](std::string_view line, std::size_t, std::size_t) {
    std::string_view clean = ini::TrimBlanks(ini::StripCommentAndIndent(line));
    if (clean.empty()) {
      blankRun.push_back(line);
      return true;
    }
    bool drop = section.empty();
    std::string replaced;
    bool isReplaced = false;
    if (!inSection) {
      if (clean[0] == '[' && ini::NamesEqual(ini::SectionName(clean), section)) {
        inSection = true;
        drop = key.empty() || section.empty();
      }
    } else if (clean[0] == '[') {
      // The section ends here; this header is not compared, so it cannot reopen it.
      addIfMissing();
      inSection = false;
    } else {
      std::size_t equals = clean.find('=');
      if (equals != std::string_view::npos &&
          (key.empty() || ini::NamesEqual(clean.substr(0, equals), key))) {
        replaced.assign(line.substr(0, line.find('=') + 1));
        replaced.append(value);
        isReplaced = true;
        drop = key.empty() || section.empty() || value.empty();
        written = true;
      }
    }
    flushBlankLines();
    if (!drop) writeLine(isReplaced ? std::string_view(replaced) : line);
    return true;
  });
  addIfMissing();
  flushBlankLines();
  return out;
}

namespace {

std::string FailureText(std::string_view path, std::string_view reason) {
  std::string text = "The file ";
  text.append(path);
  text.append(" cannot be written: ");
  text.append(reason);
  text.append(".");
  return text;
}

bool Fail(std::string* error, std::string_view path, std::string_view reason) {
  if (error != nullptr) *error = FailureText(path, reason);
  return false;
}

// The file a chain of symbolic links ends at (the path itself when it is no link), so the
// replace writes through the link instead of replacing the link with a plain file.
bool FollowLinks(std::string path, std::string& target) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      target = path;
      return true;
    }
    std::vector<char> buffer(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
    ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) return false;
    std::string link(buffer.data(), static_cast<std::size_t>(length));
    if (!link.empty() && link[0] != '/') {
      std::size_t slash = path.rfind('/');
      link = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + link;
    }
    path = std::move(link);
  }
  errno = ELOOP;
  return false;
}

// The target's folder as written in its path: up to and including its last "/" (empty =
// the current folder).
std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool ReadDescriptor(int fd, std::string& data) {
  char buffer[16384];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.append(buffer, static_cast<std::size_t>(got));
  }
}

bool WriteDescriptor(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t put = ::write(fd, data.data(), data.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// A new, exclusively created file of eight random digits + ".tmp" in folder.
int CreateTempFile(const std::string& folder, mode_t mode, std::string& name) {
  for (int tries = 0; tries < 100; ++tries) {
    Random random;  // seeded from the time of day at every attempt
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08u", static_cast<unsigned>(random.Below(100000000)));
    name = folder + digits + ".tmp";
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // some file systems cannot sync folders; the rename itself has happened
  ::close(fd);
}

bool IsTransient(int error) {
  return error == EBUSY || error == ETXTBSY || error == EAGAIN || error == EINTR;
}

enum class Attempt { Done, Failed, Retry };

// One complete copy: read the target, write the new contents into a temporary file beside
// it, flush, and rename it over the target. Never leaves the temporary file behind.
Attempt WriteOnce(const std::string& target, std::string_view displayPath, std::string_view section,
                  std::string_view key, std::string_view value, std::string* error,
                  const IniWriteOptions& options) {
  std::string data;
  struct stat info {};
  bool exists = false;
  int readFd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (readFd >= 0) {
    exists = true;
    bool ok = ::fstat(readFd, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
      ::close(readFd);
      Fail(error, displayPath, "it is not a regular file");
      return Attempt::Failed;
    }
    ok = ok && ReadDescriptor(readFd, data);
    int saved = errno;
    ::close(readFd);
    if (!ok) {
      // Copying an unreadable file as if it were empty would lose every other setting.
      Fail(error, displayPath, std::strerror(saved));
      return Attempt::Failed;
    }
  } else if (errno != ENOENT) {
    Fail(error, displayPath, std::strerror(errno));
    return Attempt::Failed;
  }

  std::string contents = RewriteIniText(data, section, key, value);
  std::string folder = FolderOf(target);
  std::string tempName;
  // A new file gets the usual permissions; an existing one's are copied below, so the
  // temporary file starts private.
  int fd = CreateTempFile(folder, exists ? 0600 : 0666, tempName);
  if (fd < 0) {
    Fail(error, displayPath, std::strerror(errno));
    return Attempt::Failed;
  }
  bool ok = WriteDescriptor(fd, contents);
  if (ok && exists) {
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) {
      // Owner and group where allowed (only the group for an ordinary user in that group).
      if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        [[maybe_unused]] int ignored = ::fchown(fd, static_cast<uid_t>(-1), info.st_gid);
      }
    }
    ok = ::fchmod(fd, info.st_mode & 07777) == 0;
  }
  ok = ok && ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(tempName.c_str());
    Fail(error, displayPath, std::strerror(saved));
    return Attempt::Failed;
  }

  int renamed = options.rename ? options.rename(tempName.c_str(), target.c_str())
                               : ::rename(tempName.c_str(), target.c_str());
  if (renamed != 0) {
    saved = errno;
    ::unlink(tempName.c_str());
    Fail(error, displayPath, std::strerror(saved));
    return IsTransient(saved) ? Attempt::Retry : Attempt::Failed;
  }
  SyncFolder(folder);
  return Attempt::Done;
}

}  // namespace

bool WriteIniValue(std::string_view path, std::string_view section, std::string_view key,
                   std::string_view value, std::string* error, const IniWriteOptions& options) {
  std::string target;
  if (!FollowLinks(ResolvePath(path), target)) {
    return Fail(error, path, std::strerror(errno));
  }
  const int attempts = options.maxAttempts > 0 ? options.maxAttempts : 1;
  for (int attempt = 1;; ++attempt) {
    Attempt outcome = WriteOnce(target, path, section, key, value, error, options);
    if (outcome == Attempt::Done) return true;
    if (outcome == Attempt::Failed || attempt >= attempts) return false;
    SleepMilliseconds(options.pauseMilliseconds);
  }
}

bool WriteIniValue(std::string_view path, std::string_view section, std::string_view key,
                   std::string_view value, std::string* error) {
  return WriteIniValue(path, section, key, value, error, IniWriteOptions{});
}

}  // namespace zt

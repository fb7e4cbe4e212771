// The writer's file handling: atomic replace, kept permissions, links, and the ways a write
// can fail (target unchanged, no temporary file left, false with a message naming the file).
#include <dirent.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <regex>
#include <vector>

#include "config/ini_writer.h"
#include "support/temp_dir.h"

namespace zt {
namespace {

const char kSettings[] = "[Iva0]\r\nNom=IVA\r\nLocals=21\r\n";

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  return names;
}

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

// Runs body in a forked child and returns its exit status (or 100 + signal). With
// asNobody the child first becomes an unprivileged user, so that permissions apply even
// when the tests run as root.
int InChild(bool asNobody, const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid == 0) {
    if (asNobody && ::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
        ::_exit(90);
      }
    }
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// A write that must fail: 0 when it returned false with a message naming the file.
int ExpectFailedWrite(const std::string& path) {
  std::string error;
  if (WriteIniValue(path, "Iva0", "Nom", "IGIC", &error)) return 1;
  return error.find(path) != std::string::npos ? 0 : 2;
}

class WriterFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    // Reachable by the unprivileged child.
    ::chmod(dir.Path().c_str(), 0777);
    path = dir.Write("Vorn.ini", kSettings);
    ::chmod(path.c_str(), 0666);
  }
  void ExpectUntouched() {
    EXPECT_EQ(dir.Read("Vorn.ini"), kSettings);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Vorn.ini"});
  }
  test::TempDir dir;
  std::string path;
};

TEST_F(WriterFiles, ReplacesThroughATemporaryFileBesideTheTarget) {
  std::vector<std::string> renames;
  IniWriteOptions options;
  options.rename = [&](const char* from, const char* to) {
    renames.push_back(from);
    EXPECT_EQ(std::string(to), path);
    return ::rename(from, to);
  };
  std::string error;
  ASSERT_TRUE(WriteIniValue(path, "Iva0", "Nom", "IGIC", &error, options)) << error;
  ASSERT_EQ(renames.size(), 1u);
  EXPECT_TRUE(std::regex_match(renames[0], std::regex(dir.Path() + "[0-9]{8}\\.tmp")))
      << renames[0];
  EXPECT_EQ(dir.Read("Vorn.ini"), "[Iva0]\r\nNom=IGIC\r\nLocals=21\r\n");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Vorn.ini"});
}

TEST_F(WriterFiles, KeepsPermissionBitsAndGroup) {
  ::chmod(path.c_str(), 0640);
  bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 0, 65534), 0);
  }
  ASSERT_TRUE(WriteIniValue(path, "Iva0", "Nom", "IGIC"));
  struct stat info = StatOf(path);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(info.st_gid, 65534u);
  }
}

TEST_F(WriterFiles, NewFileGetsTheUsualPermissions) {
  mode_t old = ::umask(022);
  ASSERT_TRUE(WriteIniValue(dir.Path() + "New.ini", "A", "k", "v"));
  ::umask(old);
  EXPECT_EQ(StatOf(dir.Path() + "New.ini").st_mode & 07777, 0644u);
}

TEST_F(WriterFiles, WritesThroughASymbolicLink) {
  ASSERT_EQ(::mkdir((dir.Path() + "shared").c_str(), 0777), 0);
  std::string real = dir.Write("shared/Vorn.ini", kSettings);
  std::string link = dir.Path() + "link.ini";
  ASSERT_EQ(::symlink("shared/Vorn.ini", link.c_str()), 0);
  std::string error;
  ASSERT_TRUE(WriteIniValue(link, "Iva0", "Nom", "IGIC", &error)) << error;
  EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode));
  EXPECT_EQ(dir.Read("shared/Vorn.ini"), "[Iva0]\r\nNom=IGIC\r\nLocals=21\r\n");
  EXPECT_EQ(FolderEntries(dir.Path() + "shared"), std::vector<std::string>{"Vorn.ini"});
}

TEST_F(WriterFiles, ReadOnlyFolder) {
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
  EXPECT_EQ(InChild(true, [&] { return ExpectFailedWrite(path); }), 0);
  ::chmod(dir.Path().c_str(), 0777);
  ExpectUntouched();
}

TEST_F(WriterFiles, UnreadableTargetIsNotCopiedAsEmpty) {
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  EXPECT_EQ(InChild(true, [&] { return ExpectFailedWrite(path); }), 0);
  ::chmod(path.c_str(), 0666);
  ExpectUntouched();
}

TEST_F(WriterFiles, TargetOwnedByAnotherUserInAStickyFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs a second user to own the target";
  // Anyone may create files here, but only the owner may replace this one.
  ASSERT_EQ(::chmod(dir.Path().c_str(), 01777), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  EXPECT_EQ(InChild(true, [&] { return ExpectFailedWrite(path); }), 0);
  ::chmod(dir.Path().c_str(), 0777);
  ExpectUntouched();
}

TEST_F(WriterFiles, BusyTargetIsRetriedABoundedNumberOfTimes) {
  int calls = 0;
  IniWriteOptions options;
  options.maxAttempts = 3;
  options.pauseMilliseconds = 1;
  options.rename = [&](const char*, const char*) {
    ++calls;
    errno = EBUSY;
    return -1;
  };
  std::string error;
  EXPECT_FALSE(WriteIniValue(path, "Iva0", "Nom", "IGIC", &error, options));
  EXPECT_EQ(calls, 3);
  EXPECT_NE(error.find(path), std::string::npos) << error;
  ExpectUntouched();
}

TEST_F(WriterFiles, BusyTargetThatFreesUpIsWritten) {
  int calls = 0;
  IniWriteOptions options;
  options.pauseMilliseconds = 1;
  options.rename = [&](const char* from, const char* to) {
    if (++calls < 2) {
      errno = EBUSY;
      return -1;
    }
    return ::rename(from, to);
  };
  ASSERT_TRUE(WriteIniValue(path, "Iva0", "Nom", "IGIC", nullptr, options));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(dir.Read("Vorn.ini"), "[Iva0]\r\nNom=IGIC\r\nLocals=21\r\n");
}

TEST_F(WriterFiles, PermanentReplaceFailureIsNotRetried) {
  int calls = 0;
  IniWriteOptions options;
  options.rename = [&](const char*, const char*) {
    ++calls;
    errno = EACCES;
    return -1;
  };
  EXPECT_FALSE(WriteIniValue(path, "Iva0", "Nom", "IGIC", nullptr, options));
  EXPECT_EQ(calls, 1);
  ExpectUntouched();
}

TEST_F(WriterFiles, DiskFull) {
  // A file-size limit smaller than the new contents stands in for a full disk.
  std::string big = std::string(kSettings) + std::string(3000, ';') + "\r\n";
  dir.Write("Vorn.ini", big);
  int status = InChild(false, [&] {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = 1024;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 91;
    return ExpectFailedWrite(path);
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(dir.Read("Vorn.ini"), big);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Vorn.ini"});
}

TEST_F(WriterFiles, TargetThatIsAFolder) {
  ASSERT_EQ(::mkdir((dir.Path() + "Dir.ini").c_str(), 0777), 0);
  EXPECT_EQ(ExpectFailedWrite(dir.Path() + "Dir.ini"), 0);
  auto entries = FolderEntries(dir.Path());
  EXPECT_EQ(entries.size(), 2u);
}

}  // namespace
}  // namespace zt

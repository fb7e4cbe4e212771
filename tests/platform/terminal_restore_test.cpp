// The real program in a pseudo-terminal: however it ends, the terminal is given back in
// cooked mode with the main screen, the cursor and the default modes.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace zt {
namespace {

class ProgramInPty {
 public:
  // redirectOutput: standard output goes to a file, as in "zentario > log".
  ProgramInPty(const std::string& binary, const test::TempDir& dir, bool redirectOutput = false) {
    winsize size{};
    size.ws_row = 25;
    size.ws_col = 80;
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      rlimit noCore{0, 0};
      setrlimit(RLIMIT_CORE, &noCore);
      std::string root = dir.Path() + "suite/";
      std::string session = dir.Path() + "suite/TMP/";
      setenv("KYBROOT", root.c_str(), 1);
      setenv("KYBTMP", session.c_str(), 1);
      setenv("KYBEXE", root.c_str(), 1);
      setenv("TERM", "xterm", 1);
      setenv("ESCDELAY", "10", 1);
      if (chdir(dir.Path().c_str()) != 0) _exit(126);
      if (redirectOutput && !freopen("stdout.txt", "w", stdout)) _exit(126);
      execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~ProgramInPty() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
  }

  bool Started() const { return pid_ > 0; }

  // Reads output until it contains text or the time is up.
  bool ReadUntil(std::string_view text, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (output_.find(text) == std::string::npos) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !ReadSome(static_cast<int>(left.count()))) return false;
    }
    return true;
  }
  // Reads until the program has been quiet for quietMs (it is waiting for input).
  void ReadUntilQuiet(int quietMs) {
    while (ReadSome(quietMs)) {
    }
  }
  bool Running() {
    if (ended_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      ended_ = true;
      status_ = status;
    }
    return !ended_;
  }
  int Wait() {
    if (!ended_) {
      // Keep reading so the program never blocks on a full terminal.
      for (int i = 0; i < 500 && Running(); ++i) ReadSome(10);
      if (!ended_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        ended_ = true;
      }
    }
    ReadUntilQuiet(20);
    return status_;
  }
  void Type(std::string_view bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  termios Modes() const {
    termios modes{};
    tcgetattr(master_, &modes);
    return modes;
  }
  pid_t Pid() const { return pid_; }
  const std::string& Output() const { return output_; }

 private:
  bool ReadSome(int timeoutMs) {
    pollfd fd{master_, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0) return false;
    char buffer[4096];
    ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) return false;
    output_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int master_ = -1;
  bool ended_ = false;
  int status_ = 0;
  std::string output_;
};

class TerminalRestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* binary = std::getenv("ZT_BINARY");
    if (binary == nullptr) GTEST_SKIP() << "ZT_BINARY is not set (CTest sets it)";
    binary_ = binary;
    ASSERT_TRUE(std::filesystem::exists(binary_)) << binary_;
    // The shipped demo suite when there is one, else a minimal session.
    const char* source = std::getenv("ZT_SOURCE_DIR");
    std::filesystem::path suite = source ? std::filesystem::path(source) / "suite" : "";
    std::filesystem::create_directories(dir_.Path() + "suite");
    if (!suite.empty() && std::filesystem::is_directory(suite)) {
      std::filesystem::copy(suite, dir_.Path() + "suite",
                            std::filesystem::copy_options::recursive |
                                std::filesystem::copy_options::overwrite_existing);
    }
    if (!std::filesystem::exists(dir_.Path() + "suite/Vorn.ini")) {
      dir_.Write("suite/Vorn.ini", "[Usuari]\r\nIdioma=CAT\r\n");
    }
    if (!std::filesystem::exists(dir_.Path() + "suite/TMP/Sessio.ini")) {
      dir_.Write("suite/TMP/Sessio.ini", "[Menu]\r\nTitol=PROVA\r\n");
    }
  }

  // Starts the program and waits until it has drawn and waits for input.
  std::unique_ptr<ProgramInPty> StartDrawn() {
    auto program = std::make_unique<ProgramInPty>(binary_, dir_);
    EXPECT_TRUE(program->Started());
    EXPECT_TRUE(program->ReadUntil("\x1b[?1049h", 5000)) << program->Output();
    program->ReadUntilQuiet(300);
    return program;
  }

  void ExpectRestored(ProgramInPty& program) {
    const std::string& out = program.Output();
    std::size_t entered = out.find("\x1b[?1049h");
    std::size_t left = out.rfind("\x1b[?1049l");
    ASSERT_NE(left, std::string::npos) << "alternate screen not left";
    EXPECT_GT(left, entered);
    for (const char* sequence : {"\x1b[?25h", "\x1b[0 q", "\x1b[?2004l", "\x1b[?1000l"}) {
      EXPECT_NE(out.find(sequence, entered), std::string::npos) << sequence + 1;
    }
    termios modes = program.Modes();
    EXPECT_NE(modes.c_lflag & ICANON, 0u);
    EXPECT_NE(modes.c_lflag & ECHO, 0u);
    EXPECT_NE(modes.c_lflag & ISIG, 0u);
    EXPECT_NE(modes.c_iflag & ICRNL, 0u);
    EXPECT_NE(modes.c_oflag & OPOST, 0u);
  }

  std::string binary_;
  test::TempDir dir_;
};

TEST_F(TerminalRestoreTest, SignalsEndTheProgramWithTheTerminalRestored) {
  for (int sig : {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGSEGV, SIGABRT}) {
    SCOPED_TRACE(strsignal(sig));
    auto program = StartDrawn();
    ASSERT_TRUE(program->Running()) << "the program ended by itself:\n" << program->Output();
    EXPECT_EQ(program->Modes().c_lflag & (ICANON | ECHO), 0u);  // raw while it runs
    kill(program->Pid(), sig);
    int status = program->Wait();
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), sig);  // the signal still ends it as it would have
    ExpectRestored(*program);
  }
}

TEST_F(TerminalRestoreTest, StopGivesTheTerminalBackAndContinueTakesItAgain) {
  auto program = StartDrawn();
  ASSERT_TRUE(program->Running()) << program->Output();
  std::size_t before = program->Output().size();
  kill(program->Pid(), SIGTSTP);
  int status = 0;
  bool stopped = false;
  for (int i = 0; i < 200 && !stopped; ++i) {
    stopped = waitpid(program->Pid(), &status, WNOHANG | WUNTRACED) == program->Pid();
    if (!stopped) usleep(10000);
  }
  ASSERT_TRUE(stopped && WIFSTOPPED(status)) << "the program did not stop";
  program->ReadUntilQuiet(100);
  EXPECT_NE(program->Output().find("\x1b[?1049l", before), std::string::npos);
  EXPECT_NE(program->Modes().c_lflag & ICANON, 0u);  // the shell gets a cooked terminal

  before = program->Output().size();
  kill(program->Pid(), SIGCONT);
  EXPECT_TRUE(program->ReadUntil("\x1b[?1049h", 2000));
  program->ReadUntilQuiet(200);
  EXPECT_EQ(program->Modes().c_lflag & ICANON, 0u);
  // Everything is drawn again: far more than a few changed cells.
  EXPECT_GT(program->Output().size() - before, 500u);
  program->Type("\x1b");
  EXPECT_TRUE(WIFEXITED(program->Wait()));
  ExpectRestored(*program);
}

TEST_F(TerminalRestoreTest, StartupFailureRestoresTheTerminalBeforeTheMessage) {
  std::filesystem::remove_all(dir_.Path() + "suite/FORMS");
  std::filesystem::remove_all(dir_.Path() + "suite/forms");
  ProgramInPty program(binary_, dir_);
  int status = program.Wait();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_NE(WEXITSTATUS(status), 0);  // a failure is not reported as success
  ExpectRestored(program);
  std::size_t left = program.Output().rfind("\x1b[?1049l");
  EXPECT_NE(program.Output().find("zentario: ", left), std::string::npos) << program.Output();
}

TEST_F(TerminalRestoreTest, DrawsOnTheTerminalWhenOutputIsRedirected) {
  ProgramInPty program(binary_, dir_, /*redirectOutput=*/true);
  ASSERT_TRUE(program.ReadUntil("\x1b[?1049h", 5000)) << program.Output();
  program.ReadUntilQuiet(300);
  ASSERT_TRUE(program.Running()) << program.Output();
  program.Type("\x1b");
  int status = program.Wait();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ExpectRestored(program);
  EXPECT_EQ(dir_.Read("stdout.txt"), "");  // nothing of the screen went to the file
}

TEST_F(TerminalRestoreTest, CtrlCIsAKeyAndEscEndsNormally) {
  auto program = StartDrawn();
  ASSERT_TRUE(program->Running()) << program->Output();
  program->Type("\x03");
  program->ReadUntilQuiet(300);
  EXPECT_TRUE(program->Running()) << "Ctrl+C ended the program";
  program->Type("\x1b");
  int status = program->Wait();
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ExpectRestored(*program);
}

}  // namespace
}  // namespace zt

namespace zt {
namespace {

struct CommandResult {
  int status = -1;
  std::string output;
};

CommandResult RunBinary(const std::string& arguments, const std::string& prefix = "") {
  CommandResult result;
  std::string command = prefix + std::getenv("ZT_BINARY") + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[1024];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(CommandLineTest, HelpVersionAndUnknownArguments) {
  if (std::getenv("ZT_BINARY") == nullptr) GTEST_SKIP() << "ZT_BINARY is not set";
  CommandResult help = RunBinary("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* item :
       {"KYBROOT", "KYBTMP", "KYBEXE", "TERM", "HTTP_USER_AGENT", "HTTP_ACCEPT", "WINDIR",
        "SYSTEMROOT", "COMSPEC", "ESCDELAY", "Sessio.ini", "VornTerm.ini", "Vorn.ini",
        "FORMS/ZENTARIO.QFM", "LOCALE/ZENTARIO.LNG", "AJUDA/"}) {
    EXPECT_NE(help.output.find(item), std::string::npos) << item;
  }
  CommandResult version = RunBinary("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output.rfind("zentario ", 0), 0u) << version.output;

  CommandResult unknown = RunBinary("--frobnicate");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.output.find("--frobnicate"), std::string::npos);
  EXPECT_EQ(RunBinary("--help extra").status, 2);
}

TEST(CommandLineTest, WithoutATerminalItSaysSoAndFails) {
  if (std::getenv("ZT_BINARY") == nullptr) GTEST_SKIP() << "ZT_BINARY is not set";
  // setsid leaves the program without a controlling terminal: /dev/tty cannot be opened.
  CommandResult result = RunBinary("< /dev/null", "setsid -w ");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("zentario: no terminal"), std::string::npos) << result.output;
}

}  // namespace
}  // namespace zt

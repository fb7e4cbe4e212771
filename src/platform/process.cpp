#include "platform/process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/terminal_console.h"

namespace zt {
namespace {

std::string LowerBaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

// Restores SIGINT and SIGQUIT, which the waiting parent ignores (as system() does), so
// Ctrl+C at the command's prompt ends the command and not this program.
class IgnoreInterrupts {
 public:
  IgnoreInterrupts() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGINT, &ignore, &oldInt_);
    sigaction(SIGQUIT, &ignore, &oldQuit_);
  }
  ~IgnoreInterrupts() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGQUIT, &oldQuit_, nullptr);
  }
  IgnoreInterrupts(const IgnoreInterrupts&) = delete;
  IgnoreInterrupts& operator=(const IgnoreInterrupts&) = delete;

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldQuit_ {};
};

}  // namespace

int RunCommandLine(Console& console, const Environment& env, std::string_view commandLine) {
  std::string interpreter = "/bin/sh";
  std::string flag = "-c";
  std::string comspec = env.Get("COMSPEC");
  if (!comspec.empty()) {
    std::string path = ResolvePath(comspec);
    if (access(path.c_str(), X_OK) == 0) {
      interpreter = path;
      std::string name = LowerBaseName(path);
      // DOS-style interpreters take /C; Unix shells take -c.
      if (name == "cmd.exe" || name == "command.com" || name == "cmd") flag = "/C";
    }
  }
  std::string command = Cp850ToUtf8(commandLine);

  auto* terminal = dynamic_cast<TerminalConsole*>(&console);
  console.Flush();
  if (terminal != nullptr) terminal->Suspend();
  int status = -1;
  {
    IgnoreInterrupts ignore;
    pid_t child = fork();
    if (child == 0) {
      signal(SIGINT, SIG_DFL);
      signal(SIGQUIT, SIG_DFL);
      execl(interpreter.c_str(), interpreter.c_str(), flag.c_str(), command.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    if (child > 0) {
      int raw = 0;
      pid_t done;
      do {
        done = waitpid(child, &raw, 0);
      } while (done < 0 && errno == EINTR);
      if (done == child) {
        if (WIFEXITED(raw)) status = WEXITSTATUS(raw);
        if (WIFSIGNALED(raw)) status = 128 + WTERMSIG(raw);
      }
    }
  }
  if (terminal != nullptr) terminal->Resume();
  return status;
}

}  // namespace zt

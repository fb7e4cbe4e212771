// Start-up to the first frame, and exit on Esc, of the real program in a pseudo-terminal,
// with the bytes it writes. The program is found through ZT_BINARY or beside this
// benchmark; it runs on a scratch suite in a temporary folder.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

std::string ProgramPath() {
  if (const char* binary = std::getenv("ZT_BINARY")) return binary;
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "zentario").string();
}

std::string MakeSuite() {
  std::string dir = std::filesystem::temp_directory_path() / "zt-bench-XXXXXX";
  if (mkdtemp(dir.data()) == nullptr) return {};
  std::filesystem::create_directories(dir + "/suite");
  std::filesystem::create_directories(dir + "/suite/TMP");
  if (const char* source = std::getenv("ZT_SOURCE_DIR")) {
    std::filesystem::path suite = std::filesystem::path(source) / "suite";
    if (std::filesystem::is_directory(suite)) {
      std::filesystem::copy(suite, dir + "/suite",
                            std::filesystem::copy_options::recursive |
                                std::filesystem::copy_options::overwrite_existing);
    }
  }
  if (!std::filesystem::exists(dir + "/suite/Vorn.ini")) {
    std::ofstream(dir + "/suite/Vorn.ini") << "[Usuari]\r\nIdioma=CAT\r\n";
  }
  if (!std::filesystem::exists(dir + "/suite/TMP/Sessio.ini")) {
    std::ofstream(dir + "/suite/TMP/Sessio.ini") << "[Menu]\r\nTitol=BENCH\r\n";
  }
  return dir;
}

// Reads whatever arrives within timeoutMs; false when nothing did.
bool ReadSome(int fd, std::string& out, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return false;
  char buffer[8192];
  ssize_t n = read(fd, buffer, sizeof buffer);
  if (n <= 0) return false;
  out.append(buffer, static_cast<std::size_t>(n));
  return true;
}

void BM_StartupToFirstFrameAndExitOnEsc(benchmark::State& state) {
  std::string program = ProgramPath();
  std::string dir = MakeSuite();
  if (dir.empty() || !std::filesystem::exists(program)) {
    state.SkipWithError(("no program at " + program).c_str());
    return;
  }
  double firstFrameMs = 0;
  double exitMs = 0;
  double bytes = 0;
  for (auto _ : state) {
    winsize size{};
    size.ws_row = 25;
    size.ws_col = 80;
    int master = -1;
    auto start = Clock::now();
    pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid == 0) {
      setenv("KYBROOT", (dir + "/suite/").c_str(), 1);
      setenv("KYBTMP", (dir + "/suite/TMP/").c_str(), 1);
      setenv("ESCDELAY", "10", 1);
      setenv("TERM", "xterm", 1);
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    std::string out;
    // The first frame is complete when the program falls quiet waiting for input: the
    // time of the last byte before 100 ms of silence.
    auto lastByte = start;
    while (ReadSome(master, out, 100)) lastByte = Clock::now();
    auto frame = lastByte - start;
    auto escSent = Clock::now();
    if (write(master, "\x1b", 1) != 1) state.SkipWithError("cannot type Esc");
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) ReadSome(master, out, 5);
    auto exited = Clock::now();
    while (ReadSome(master, out, 0)) {
    }
    close(master);
    double frameMs = std::chrono::duration<double, std::milli>(frame).count();
    double escMs = std::chrono::duration<double, std::milli>(exited - escSent).count();
    state.SetIterationTime((frameMs + escMs) / 1000.0);
    firstFrameMs += frameMs;
    exitMs += escMs;
    bytes += static_cast<double>(out.size());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("program failed");
  }
  double runs = static_cast<double>(state.iterations());
  state.counters["first_frame_ms"] = firstFrameMs / runs;
  state.counters["exit_after_esc_ms"] = exitMs / runs;
  state.counters["bytes_written"] = bytes / runs;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StartupToFirstFrameAndExitOnEsc)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace

BENCHMARK_MAIN();

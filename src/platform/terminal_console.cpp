#include "platform/terminal_console.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/codepage.h"
#include "platform/keycodes.h"

namespace zt {
namespace {

// Alternate screen, xterm's metaSendsEscape saved and switched on (so Alt+letter arrives as
// ESC + letter), bracketed paste, no autowrap (writing the last column must not scroll).
constexpr std::string_view kEnterModes =
    "\x1b[?1049h\x1b[?1036s\x1b[?1036h\x1b[?2004h\x1b[?7l\x1b[0m\x1b[2J";
// Everything kEnterModes and the drawing changed, undone; the alternate screen is left last
// so the shell's screen comes back with its cursor.
constexpr std::string_view kRestoreModes =
    "\x1b[?1000l\x1b[?1006l\x1b[?2004l\x1b[?1036r\x1b[0 q\x1b[?25h\x1b[?7h\x1b[0m\x1b[?1049l";

// The only process-wide state of the console: what a signal handler needs to put the
// terminal back, prepared while a console that handles signals is active. A handler can
// only reach it through a static.
struct SignalRestore {
  volatile sig_atomic_t armed = 0;
  int fd = -1;
  termios saved{};
  termios raw{};
  int wakeFd = -1;
};
SignalRestore gRestore;

// Changed cells at the end of a row from which erasing the rest of the line is cheaper
// than writing them.
constexpr int kEraseWorth = 3;

// Esc keys handed out after a hang-up before the program is ended.
constexpr int kMaxHangUpEscs = 1000;

constexpr int kFatalSignals[] = {SIGTERM, SIGHUP, SIGINT,  SIGQUIT, SIGSEGV,
                                 SIGBUS,  SIGFPE, SIGABRT, SIGILL};
constexpr int kOtherSignals[] = {SIGWINCH, SIGTSTP};
struct sigaction gPrevious[sizeof(kFatalSignals) / sizeof(int) + 2];

void RestoreFromSignal() {
  if (!gRestore.armed) return;
  gRestore.armed = 0;
  ssize_t ignored = write(gRestore.fd, kRestoreModes.data(), kRestoreModes.size());
  (void)ignored;
  tcsetattr(gRestore.fd, TCSANOW, &gRestore.saved);
}

void OnFatalSignal(int sig) {
  int savedErrno = errno;
  RestoreFromSignal();
  signal(sig, SIG_DFL);
  raise(sig);
  errno = savedErrno;
}

void Wake(char what) {
  if (gRestore.wakeFd < 0) return;
  ssize_t ignored = write(gRestore.wakeFd, &what, 1);
  (void)ignored;
}

void OnWindowChange(int) {
  int savedErrno = errno;
  Wake('W');
  errno = savedErrno;
}

void OnStop(int) {
  int savedErrno = errno;
  bool wasArmed = gRestore.armed;
  RestoreFromSignal();
  // Stop for real, then take the terminal back when continued. SIGSTOP, because the
  // kernel drops a default SIGTSTP for a process group without a job-control shell.
  raise(SIGSTOP);
  if (wasArmed) {
    tcsetattr(gRestore.fd, TCSANOW, &gRestore.raw);
    gRestore.armed = 1;
    Wake('C');
  }
  errno = savedErrno;
}

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Base64(std::string_view data) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < data.size(); i += 3) {
    std::uint32_t chunk = static_cast<std::uint8_t>(data[i]) << 16;
    if (i + 1 < data.size()) chunk |= static_cast<std::uint8_t>(data[i + 1]) << 8;
    if (i + 2 < data.size()) chunk |= static_cast<std::uint8_t>(data[i + 2]);
    out += kDigits[(chunk >> 18) & 63];
    out += kDigits[(chunk >> 12) & 63];
    out += i + 1 < data.size() ? kDigits[(chunk >> 6) & 63] : '=';
    out += i + 2 < data.size() ? kDigits[chunk & 63] : '=';
  }
  return out;
}

}  // namespace

int TerminalConsole::AnsiColour(int consoleColour) {
  static constexpr int kAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  return kAnsi[consoleColour & 7];
}

std::string TerminalConsole::SgrParameters(Attribute attribute, bool linuxConsole) {
  int fg = attribute & 15;
  int bg = (attribute >> 4) & 15;
  if (linuxConsole) {
    // Bold and blink stick until reset, so every change starts from 0.
    return std::string("0;") + (fg >= 8 ? "1;" : "") + (bg >= 8 ? "5;" : "") +
           std::to_string(30 + AnsiColour(fg)) + ";" + std::to_string(40 + AnsiColour(bg));
  }
  return std::to_string((fg < 8 ? 30 : 90) + AnsiColour(fg)) + ";" +
         std::to_string((bg < 8 ? 40 : 100) + AnsiColour(bg));
}

std::unique_ptr<TerminalConsole> TerminalConsole::Open(const Environment& env, std::string& error) {
  Options options;
  options.escDelayMs = EscDelayMilliseconds(env);
  options.handleSignals = true;
  options.linuxConsole = env.Get("TERM").rfind("linux", 0) == 0;
  int inFd = STDIN_FILENO;
  int outFd = STDOUT_FILENO;
  bool owns = false;
  if (!isatty(inFd) || !isatty(outFd)) {
    int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      error = std::string("no terminal to run on (/dev/tty: ") + std::strerror(errno) + ")";
      return nullptr;
    }
    inFd = outFd = fd;
    owns = true;
  }
  std::unique_ptr<TerminalConsole> console(new TerminalConsole(inFd, outFd, owns, options));
  if (!console->Enter(error)) return nullptr;
  return console;
}

std::unique_ptr<TerminalConsole> TerminalConsole::OpenOn(int ttyFd, const Options& options,
                                                         std::string& error) {
  std::unique_ptr<TerminalConsole> console(new TerminalConsole(ttyFd, ttyFd, false, options));
  if (!console->Enter(error)) return nullptr;
  return console;
}

TerminalConsole::TerminalConsole(int inFd, int outFd, bool ownsFds, const Options& options)
    : inFd_(inFd),
      outFd_(outFd),
      ownsFds_(ownsFds),
      options_(options),
      decoder_(options.escDelayMs) {}

TerminalConsole::~TerminalConsole() {
  Restore();
  if (handlersInstalled_) {
    std::size_t n = 0;
    for (int sig : kFatalSignals) sigaction(sig, &gPrevious[n++], nullptr);
    for (int sig : kOtherSignals) sigaction(sig, &gPrevious[n++], nullptr);
    gRestore.wakeFd = -1;
  }
  for (int fd : wakePipe_) {
    if (fd >= 0) close(fd);
  }
  if (ownsFds_) close(inFd_);
}

bool TerminalConsole::Enter(std::string& error) {
  termios saved{};
  if (tcgetattr(inFd_, &saved) != 0) {
    error = std::string("the terminal cannot be set up: ") + std::strerror(errno);
    return false;
  }
  termios raw = saved;
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON | INLCR | IGNCR);
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_cflag |= CS8;
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
  // Reads never block: waiting is done with poll().
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = std::string("the terminal cannot be set up: ") + std::strerror(errno);
    return false;
  }
  if (options_.handleSignals && !gRestore.armed && gRestore.wakeFd < 0) {
    gRestore.fd = outFd_;
    gRestore.saved = saved;
    gRestore.raw = raw;
    gRestore.wakeFd = wakePipe_[1];
    std::size_t n = 0;
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = OnFatalSignal;
    for (int sig : kFatalSignals) sigaction(sig, &action, &gPrevious[n++]);
    action.sa_flags = SA_RESTART;
    action.sa_handler = OnWindowChange;
    sigaction(SIGWINCH, &action, &gPrevious[n++]);
    action.sa_handler = OnStop;
    sigaction(SIGTSTP, &action, &gPrevious[n++]);
    handlersInstalled_ = true;
  }
  if (tcsetattr(inFd_, TCSADRAIN, &raw) != 0) {
    error = std::string("the terminal cannot be put in raw mode: ") + std::strerror(errno);
    return false;
  }
  out_.insert(0, kEnterModes);
  active_ = true;
  if (handlersInstalled_) gRestore.armed = 1;
  ForgetShownState();
  QueryTerminalSize();
  WriteOut();
  return true;
}

void TerminalConsole::ForgetShownState() {
  frontValid_ = false;
  tooSmallShown_ = false;
  outRow_ = 0;
  outColumn_ = 0;
  outAttr_ = -1;
  shownCursorVisible_ = -1;
  shownCursorHeight_ = -1;
  shownMouse_ = -1;
}

void TerminalConsole::Restore() {
  if (!active_) return;
  if (handlersInstalled_) gRestore.armed = 0;
  out_.clear();  // unsent drawing is of no use on the shell's screen
  if (options_.linuxConsole) out_ += "\x1b[?0c";
  out_ += kRestoreModes;
  WriteOut();
  termios saved{};
  if (handlersInstalled_) {
    saved = gRestore.saved;
  } else {
    // Tests' consoles keep no signal state; raw mode is undone by the caller's own setup.
    tcgetattr(inFd_, &saved);
    saved.c_lflag |= ECHO | ICANON | IEXTEN | ISIG;
    saved.c_iflag |= ICRNL | IXON;
    saved.c_oflag |= OPOST;
  }
  tcsetattr(inFd_, TCSADRAIN, &saved);
  active_ = false;
}

bool TerminalConsole::Resume() {
  if (active_) return true;
  std::string error;
  termios raw = gRestore.raw;
  if (!handlersInstalled_) {
    tcgetattr(inFd_, &raw);
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
  }
  if (tcsetattr(inFd_, TCSADRAIN, &raw) != 0) return false;
  out_ += kEnterModes;
  active_ = true;
  if (handlersInstalled_) gRestore.armed = 1;
  ForgetShownState();
  QueryTerminalSize();
  Flush();
  return true;
}

void TerminalConsole::QueryTerminalSize() {
  winsize size{};
  if (ioctl(outFd_, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
    termRows_ = size.ws_row;
    termColumns_ = size.ws_col;
  } else {
    termRows_ = kRows;
    termColumns_ = kColumns;
  }
}

void TerminalConsole::HandleWakeups() {
  char buffer[64];
  bool resize = false;
  bool continued = false;
  for (;;) {
    ssize_t n = read(wakePipe_[0], buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] == 'W') resize = true;
      if (buffer[i] == 'C') continued = true;
    }
  }
  if (continued && active_) {
    // Back from a stop: the handler restored raw mode; the screen modes need sending again.
    out_ += kEnterModes;
    ForgetShownState();
    resize = true;
  }
  if (resize) {
    QueryTerminalSize();
    frontValid_ = false;
    tooSmallShown_ = false;
    resized_ = true;
    Flush();
  }
}

void TerminalConsole::ReadInput() {
  char buffer[4096];
  for (;;) {
    ssize_t n = read(inFd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) hungUp_ = true;
    if (n <= 0) break;
    decoder_.Feed(std::string_view(buffer, static_cast<std::size_t>(n)), NowMs());
    if (static_cast<std::size_t>(n) < sizeof buffer) break;
  }
}

bool TerminalConsole::PollEvent(InputEvent& event) {
  HandleWakeups();
  if (resized_) {
    resized_ = false;
    event = InputEvent{};
    event.kind = EventKind::Resize;
    return true;
  }
  // While the screen does not fit, input stays in the terminal until the operator can see.
  if (!active_ || !ScreenFits()) return false;
  ReadInput();
  if (decoder_.Next(event, NowMs())) return true;
  if (!hungUp_) return false;
  // Nobody can answer any more. Should the program not leave on Esc after all, end it the
  // way a hang-up would have.
  if (++hangUpEscs_ > kMaxHangUpEscs) {
    Restore();
    signal(SIGHUP, SIG_DFL);
    raise(SIGHUP);
  }
  event = InputEvent{};
  event.key = keys::kEsc;
  return true;
}

bool TerminalConsole::WaitForInput(int timeoutMs) {
  Flush();
  std::int64_t start = NowMs();
  for (;;) {
    if (decoder_.HasEvent() || resized_ || hungUp_) return true;
    bool readTty = active_ && ScreenFits();
    int wait = timeoutMs < 0
                   ? -1
                   : static_cast<int>(std::max<std::int64_t>(0, timeoutMs - (NowMs() - start)));
    int deadline = readTty ? decoder_.MillisecondsUntilDeadline(NowMs()) : -1;
    if (deadline >= 0 && (wait < 0 || deadline < wait)) wait = deadline;
    pollfd fds[2] = {{wakePipe_[0], POLLIN, 0}, {inFd_, POLLIN, 0}};
    int ready = poll(fds, readTty ? 2 : 1, wait);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (ready == 0) {
      if (deadline >= 0 && deadline <= wait) return true;  // unfinished input is now due
      return false;
    }
    if (fds[0].revents != 0) {
      HandleWakeups();
      if (resized_) return true;
    }
    if (readTty && fds[1].revents != 0) {
      // Input still waiting is read first; the Esc answers come after it.
      if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) hungUp_ = true;
      return true;
    }
  }
}

void TerminalConsole::MoveTo(int row, int column) {
  if (outRow_ == row && outColumn_ == column) return;
  if (outRow_ == row && column > outColumn_ && outColumn_ > 0) {
    int gap = column - outColumn_;
    out_ += gap == 1 ? "\x1b[C" : "\x1b[" + std::to_string(gap) + "C";
  } else if (column == 1 && outRow_ == row) {
    out_ += '\r';
  } else if (column == 1 && outRow_ > 0 && outRow_ + 1 == row) {
    // Without output post-processing a line feed only moves down, and no row below the
    // last one is ever asked for, so it never scrolls.
    out_ += "\r\n";
  } else if (column == 1) {
    out_ += row == 1 ? "\x1b[H" : "\x1b[" + std::to_string(row) + "H";
  } else {
    out_ += "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
  }
  outRow_ = row;
  outColumn_ = column;
}

void TerminalConsole::SetShownAttribute(Attribute attribute) {
  if (attribute == outAttr_) return;
  int fg = attribute & 15;
  int bg = (attribute >> 4) & 15;
  int oldFg = outAttr_ & 15;
  int oldBg = (outAttr_ >> 4) & 15;
  std::string params;
  auto add = [&params](int value) {
    if (!params.empty()) params += ';';
    params += std::to_string(value);
  };
  if (outAttr_ < 0) {
    params = SgrParameters(attribute, options_.linuxConsole);
  } else if (options_.linuxConsole) {
    // Bold (22 ends it) and blink (25 ends it) give the bright halves there.
    if ((fg ^ oldFg) & 8) add(fg >= 8 ? 1 : 22);
    if ((bg ^ oldBg) & 8) add(bg >= 8 ? 5 : 25);
    if ((fg ^ oldFg) & 7) add(30 + AnsiColour(fg));
    if ((bg ^ oldBg) & 7) add(40 + AnsiColour(bg));
  } else {
    if (fg != oldFg) add((fg < 8 ? 30 : 90) + AnsiColour(fg));
    if (bg != oldBg) add((bg < 8 ? 40 : 100) + AnsiColour(bg));
  }
  out_ += "\x1b[" + params + "m";
  outAttr_ = attribute;
}

void TerminalConsole::ClearForRepaint(const Grid& cells) {
  if (termRows_ != kRows || termColumns_ != kColumns) {
    // Erasing would colour the terminal beyond the 80 x 25 too: clear it in the terminal's
    // own colours and draw every cell.
    out_ += "\x1b[0m\x1b[2J";
    outAttr_ = -1;
    frontValid_ = false;
    return;
  }
  // The terminal fills a cleared screen with the current background, so clearing in the
  // colours most of the blanks have leaves only the rest of the screen to send.
  std::array<int, 256> counts{};
  int blanks = 0;
  for (const auto& row : cells) {
    for (const Cell& cell : row) {
      if (cell.ch != ' ') continue;
      ++counts[cell.attr];
      ++blanks;
    }
  }
  int fill = outAttr_ >= 0 ? outAttr_ : cells[0][0].attr;
  if (blanks > 0) {
    for (int a = 0; a < 256; ++a) {
      if (counts[a] > counts[fill]) fill = a;
    }
  }
  SetShownAttribute(static_cast<Attribute>(fill));
  out_ += "\x1b[2J";
  for (auto& row : front_) row.fill(Cell{' ', static_cast<Attribute>(fill)});
  frontValid_ = true;
}

void TerminalConsole::DrawTooSmallMessage() {
  out_ += "\x1b[0m\x1b[2J\x1b[H";
  out_ += "This program needs a terminal of at least 80 x 25 (now " + std::to_string(termColumns_) +
          " x " + std::to_string(termRows_) + "). Please enlarge it.";
  ForgetShownState();
  tooSmallShown_ = true;
}

void TerminalConsole::Flush() {
  if (!active_) return;
  if (!ScreenFits()) {
    if (!tooSmallShown_) DrawTooSmallMessage();
    WriteOut();
    return;
  }
  const Grid& cells = Cells();
  bool hidden = false;
  auto hideCursor = [&] {
    if (!hidden && shownCursorVisible_ != 0) {
      out_ += "\x1b[?25l";  // no cursor flicker across the screen while drawing
      shownCursorVisible_ = 0;
    }
    hidden = true;
  };
  if (!frontValid_) {
    hideCursor();
    ClearForRepaint(cells);
  }
  for (int r = 0; r < kRows; ++r) {
    const auto& row = cells[r];
    // Where the row's closing run of blanks in one colour starts; erasing to the end of the
    // line draws such a run in three bytes (when the line ends where the screen does).
    const Cell& last = row[kColumns - 1];
    int tail = kColumns;
    if (last.ch == ' ' && termColumns_ == kColumns) {
      tail = kColumns - 1;
      while (tail > 0 && row[tail - 1] == last) --tail;
    }
    for (int c = 0; c < kColumns; ++c) {
      const Cell& cell = row[c];
      if (frontValid_ && front_[r][c] == cell) continue;
      hideCursor();
      MoveTo(r + 1, c + 1);
      if (c >= tail) {
        int changed = 0;
        for (int k = c; k < kColumns; ++k) {
          changed += frontValid_ && front_[r][k] == row[k] ? 0 : 1;
        }
        if (changed >= kEraseWorth) {
          SetShownAttribute(last.attr);
          out_ += "\x1b[K";
          for (int k = c; k < kColumns; ++k) front_[r][k] = last;
          break;
        }
        tail = kColumns;  // not worth it here, nor further along the row
      }
      SetShownAttribute(cell.attr);
      AppendUtf8(out_, Cp850ToUnicode(cell.ch));
      front_[r][c] = cell;
      // Past the last column the terminal's cursor column is not certain.
      outColumn_ = c + 2 <= kColumns ? c + 2 : 0;
    }
  }
  frontValid_ = true;
  int height = CursorHeight() >= 100 ? 100 : 50;
  if (height != shownCursorHeight_) {
    if (options_.linuxConsole) {
      out_ += height == 100 ? "\x1b[?6c" : "\x1b[?4c";  // full block / lower half
    } else {
      out_ += height == 100 ? "\x1b[2 q" : "\x1b[4 q";  // steady block / steady underline
    }
    shownCursorHeight_ = height;
  }
  int mouse = mouseWanted_ ? 1 : 0;
  if (mouse != shownMouse_) {
    out_ += mouse ? "\x1b[?1000h\x1b[?1006h" : "\x1b[?1000l\x1b[?1006l";
    shownMouse_ = mouse;
  }
  if (CursorVisible()) {
    MoveTo(CursorRow(), CursorColumn());
    if (shownCursorVisible_ != 1) {
      out_ += "\x1b[?25h";
      shownCursorVisible_ = 1;
    }
  } else if (shownCursorVisible_ != 0) {
    out_ += "\x1b[?25l";
    shownCursorVisible_ = 0;
  }
  WriteOut();
}

void TerminalConsole::WriteOut() {
  std::size_t done = 0;
  while (done < out_.size()) {
    ssize_t n = write(outFd_, out_.data() + done, out_.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      pollfd fd{outFd_, POLLOUT, 0};
      poll(&fd, 1, 1000);
    } else {
      break;  // the terminal is gone; nothing more can be shown
    }
  }
  out_.clear();
}

void TerminalConsole::SetMouseReporting(bool on) {
  mouseWanted_ = on;
}

void TerminalConsole::Beep() {
  out_ += '\a';
}

void TerminalConsole::CopyToClipboard(std::string_view cp850Text) {
  if (!active_) return;
  out_ += "\x1b]52;c;" + Base64(Cp850ToUtf8(cp850Text)) + "\x07";
}

}  // namespace zt

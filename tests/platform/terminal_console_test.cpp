// TerminalConsole on a pseudo-terminal: what it sends for a flush, the colours, input,
// and the tty modes it leaves behind.
#include "platform/terminal_console.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/keycodes.h"

namespace zt {
namespace {

// What a bce terminal (xterm, tmux, the Linux console) shows after the bytes it is sent:
// characters, colours (16 each) and erasing in the current background, for the sequences
// the console uses to draw. Modes, cursor shape and the like are skipped.
class ScreenModel {
 public:
  struct Shown {
    char32_t ch = '?';
    int fg = 15;  // console colour numbers
    int bg = 15;
  };

  void Feed(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
      unsigned char b = static_cast<unsigned char>(bytes[i]);
      if (b == 0x1b && i + 1 < bytes.size() && bytes[i + 1] == '[') {
        std::size_t end = i + 2;
        while (end < bytes.size() && (bytes[end] < 0x40 || bytes[end] > 0x7e)) ++end;
        Csi(bytes.substr(i + 2, end - i - 2), end < bytes.size() ? bytes[end] : 0);
        i = end + 1;
      } else if (b == 0x1b && i + 1 < bytes.size() && bytes[i + 1] == ']') {
        i = bytes.find('\a', i);
        i = i == std::string_view::npos ? bytes.size() : i + 1;
      } else if (b == '\r') {
        column_ = 1;
        ++i;
      } else if (b == '\n') {
        row_ = std::min(row_ + 1, 25);
        ++i;
      } else if (b < 0x20) {
        ++i;
      } else {
        int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? b : b & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < bytes.size(); ++k) {
          cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        }
        i += length;
        cells_[row_ - 1][column_ - 1] = Shown{cp, Fg(), Bg()};
        column_ = std::min(column_ + 1, 80);  // no autowrap
      }
    }
  }

  const Shown& At(int row, int column) const { return cells_[row - 1][column - 1]; }

 private:
  static int Console(int ansi) { return TerminalConsole::AnsiColour(ansi); }  // its own inverse
  int Fg() const { return Console(fg_) | (fgBright_ || bold_ ? 8 : 0); }
  int Bg() const { return Console(bg_) | (bgBright_ || blink_ ? 8 : 0); }

  void Csi(std::string_view body, char final) {
    if (!body.empty() && (body[0] == '?' || body.back() == ' ')) return;  // modes, shape
    std::vector<int> params;
    int value = -1;
    for (char ch : body) {
      if (ch == ';') {
        params.push_back(value);
        value = -1;
      } else {
        value = (value < 0 ? 0 : value * 10) + (ch - '0');
      }
    }
    params.push_back(value);
    auto param = [&](std::size_t n, int fallback) {
      return n < params.size() && params[n] > 0 ? params[n] : fallback;
    };
    switch (final) {
      case 'H':
        row_ = param(0, 1);
        column_ = param(1, 1);
        break;
      case 'C':
        column_ = std::min(column_ + param(0, 1), 80);
        break;
      case 'K':
        for (int c = column_; c <= 80; ++c) cells_[row_ - 1][c - 1] = Shown{' ', Fg(), Bg()};
        break;
      case 'J':
        if (param(0, 0) == 2) {
          for (auto& line : cells_) line.fill(Shown{' ', Fg(), Bg()});
        }
        break;
      case 'm':
        for (int p : params) Sgr(p < 0 ? 0 : p);
        break;
      default:
        break;
    }
  }

  void Sgr(int p) {
    if (p == 0) {
      fg_ = 7;
      bg_ = 0;
      fgBright_ = bgBright_ = bold_ = blink_ = false;
    } else if (p == 1 || p == 22) {
      bold_ = p == 1;
    } else if (p == 5 || p == 25) {
      blink_ = p == 5;
    } else if (p >= 30 && p <= 37) {
      fg_ = p - 30;
      fgBright_ = false;
    } else if (p >= 90 && p <= 97) {
      fg_ = p - 90;
      fgBright_ = true;
    } else if (p >= 40 && p <= 47) {
      bg_ = p - 40;
      bgBright_ = false;
    } else if (p >= 100 && p <= 107) {
      bg_ = p - 100;
      bgBright_ = true;
    }
  }

  std::array<std::array<Shown, 80>, 25> cells_{};
  int row_ = 1;
  int column_ = 1;
  int fg_ = 7;
  int bg_ = 0;
  bool fgBright_ = false;
  bool bgBright_ = false;
  bool bold_ = false;
  bool blink_ = false;
};

class PtyTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(25, 80); }
  void TearDown() override {
    console_.reset();
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
  }

  void Open(int rows, int columns) {
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    ASSERT_EQ(openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
  }

  void StartConsole(bool handleSignals = false, bool linuxConsole = false) {
    TerminalConsole::Options options;
    options.handleSignals = handleSignals;
    options.linuxConsole = linuxConsole;
    std::string error;
    console_ = TerminalConsole::OpenOn(slave_, options, error);
    ASSERT_TRUE(console_) << error;
  }

  // Everything the console has written, once it has been quiet for a moment.
  std::string Drain(int quietMs = 50) {
    std::string out;
    char buffer[4096];
    pollfd fd{master_, POLLIN, 0};
    while (poll(&fd, 1, quietMs) > 0) {
      ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
  }

  void Type(std::string_view bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  bool NextEvent(InputEvent& event, int timeoutMs = 1000) {
    for (int i = 0; i < 10; ++i) {
      if (console_->PollEvent(event)) return true;
      console_->WaitForInput(timeoutMs);
    }
    return false;
  }

  termios Modes() {
    termios modes{};
    tcgetattr(slave_, &modes);
    return modes;
  }

  int master_ = -1;
  int slave_ = -1;
  std::unique_ptr<TerminalConsole> console_;
};

TEST(TerminalColourTest, ConsoleColoursMapToAnsi) {
  // Console order: black, blue, green, cyan, red, magenta, brown, grey.
  const int ansi[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  for (int c = 0; c < 16; ++c) EXPECT_EQ(TerminalConsole::AnsiColour(c), ansi[c & 7]) << c;
  EXPECT_EQ(TerminalConsole::SgrParameters(0x07), "37;40");
  EXPECT_EQ(TerminalConsole::SgrParameters(0x17), "37;44");  // grey on blue
  EXPECT_EQ(TerminalConsole::SgrParameters(0x1E), "93;44");  // yellow on blue
  EXPECT_EQ(TerminalConsole::SgrParameters(0x4F), "97;41");  // bright white on red
  EXPECT_EQ(TerminalConsole::SgrParameters(0x70), "30;47");
  EXPECT_EQ(TerminalConsole::SgrParameters(0xF8), "90;107");  // dark grey on bright white
  EXPECT_EQ(TerminalConsole::SgrParameters(0x36), "33;46");   // brown on cyan
  EXPECT_EQ(TerminalConsole::SgrParameters(0x5C), "91;45");
  // The Linux console has no 90-97/100-107: bold and blink give the bright halves.
  EXPECT_EQ(TerminalConsole::SgrParameters(0x17, true), "0;37;44");
  EXPECT_EQ(TerminalConsole::SgrParameters(0x1E, true), "0;1;33;44");
  EXPECT_EQ(TerminalConsole::SgrParameters(0xF8, true), "0;1;5;30;47");
}

TEST_F(PtyTest, EntersRawModeAndTheAlternateScreenAndRestoresBoth) {
  StartConsole();
  termios raw = Modes();
  EXPECT_EQ(raw.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(raw.c_iflag & (IXON | ICRNL), 0u);
  EXPECT_EQ(raw.c_oflag & OPOST, 0u);
  std::string entered = Drain();
  EXPECT_NE(entered.find("\x1b[?1049h"), std::string::npos);
  EXPECT_NE(entered.find("\x1b[?2004h"), std::string::npos);
  EXPECT_NE(entered.find("\x1b[?1036s\x1b[?1036h"), std::string::npos);

  console_->Restore();
  console_->Restore();  // idempotent: nothing more is sent
  std::string restored = Drain();
  for (const char* sequence : {"\x1b[?1049l", "\x1b[?25h", "\x1b[0 q", "\x1b[?2004l", "\x1b[?1000l",
                               "\x1b[?1006l", "\x1b[?1036r", "\x1b[0m"}) {
    EXPECT_NE(restored.find(sequence), std::string::npos) << sequence + 1;
  }
  EXPECT_EQ(restored.find("\x1b[?1049l"), restored.rfind("\x1b[?1049l"));
  termios cooked = Modes();
  EXPECT_NE(cooked.c_lflag & ICANON, 0u);
  EXPECT_NE(cooked.c_lflag & ECHO, 0u);
  EXPECT_NE(cooked.c_lflag & ISIG, 0u);
}

TEST_F(PtyTest, FlushSendsOnlyTheChangedCells) {
  StartConsole();
  console_->SetCursorVisible(false);
  console_->Flush();
  std::string first = Drain();
  EXPECT_NE(first.find("\x1b[2J"), std::string::npos);  // the first flush draws everything

  console_->WriteCell(10, 20, Cell{'X', 0x1E});
  console_->Flush();
  EXPECT_EQ(Drain(), "\x1b[10;20H\x1b[93;44mX");
  console_->Flush();
  EXPECT_EQ(Drain(), "");  // nothing changed, nothing sent

  // Neighbours in one run need no cursor move between them; a gap on the row moves forward.
  console_->SetAttribute(0x1E);
  console_->SetCursor(3, 5);
  console_->Write("AB");
  console_->WriteCell(3, 10, Cell{'C', 0x1E});
  console_->Flush();
  EXPECT_EQ(Drain(), "\x1b[3;5HAB\x1b[3CC");
}

// A repaint in both dialects: xterm's bright colours, and the Linux console's bold/blink.
class RepaintTest : public PtyTest, public ::testing::WithParamInterface<bool> {
 protected:
  // Every cell of the console as the model terminal shows it (a blank's foreground is not
  // visible, so only its background counts).
  void ExpectShown(const ScreenModel& model) {
    int wrong = 0;
    for (int r = 1; r <= 25; ++r) {
      for (int c = 1; c <= 80; ++c) {
        Cell cell = console_->ReadCell(r, c);
        const ScreenModel::Shown& shown = model.At(r, c);
        bool same = shown.ch == Cp850ToUnicode(cell.ch) && shown.bg == (cell.attr >> 4) &&
                    (cell.ch == ' ' || shown.fg == (cell.attr & 15));
        if (!same && ++wrong <= 5) {
          ADD_FAILURE() << "row " << r << " column " << c << ": shows U+" << std::hex
                        << static_cast<int>(shown.ch) << std::dec << " in " << shown.fg << "/"
                        << shown.bg << ", cell is " << static_cast<int>(cell.ch) << " in "
                        << static_cast<int>(cell.attr);
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }

  // A form: blank in grey on blue, a title bar, labels, bright values, a key line whose
  // blanks run to the end of the row in black on grey, and a black row above it.
  void DrawForm() {
    console_->SetAttribute(0x17);
    console_->Clear();
    console_->SetAttribute(0x30);
    console_->SetCursor(1, 28);
    console_->Write(" Settings ");
    for (int r = 3; r <= 12; ++r) {
      console_->SetAttribute(0x17);
      console_->SetCursor(r, 2);
      console_->Write("Rate \x82 ....");
      console_->SetAttribute(0x1F);
      console_->SetCursor(r, 21);
      console_->Write("21,00 %");
    }
    console_->SetAttribute(0x07);
    for (int c = 1; c <= 80; ++c) console_->WriteCell(24, c, Cell{' ', 0x07});
    console_->SetAttribute(0x70);
    for (int c = 1; c <= 80; ++c) console_->WriteCell(25, c, Cell{' ', 0x70});
    console_->SetCursor(25, 2);
    console_->Write("F1 Help  F10 Save  Esc Leave");
  }
};

TEST_P(RepaintTest, FullRepaintClearsInTheCommonColourAndShowsEveryCell) {
  StartConsole(/*handleSignals=*/false, /*linuxConsole=*/GetParam());
  console_->SetCursorVisible(false);
  DrawForm();
  console_->Flush();
  std::string first = Drain();
  ScreenModel model;
  model.Feed(first);
  ExpectShown(model);
  // 2,000 cells, most of them blank in one colour: far fewer bytes than cells (about 200
  // printable characters and their moves and colours, modes included).
  EXPECT_LT(first.size(), 700u);
  EXPECT_NE(first.find("\x1b[K"), std::string::npos);  // the key line's and row 24's blanks

  // A repaint from scratch must not rely on anything the terminal showed before.
  ScreenModel stale;
  stale.Feed("\x1b[101m\x1b[2J\x1b[12;40Hleftover");
  console_->Invalidate();
  console_->Flush();
  std::string again = Drain();
  stale.Feed(again);
  ExpectShown(stale);
  EXPECT_LT(again.size(), 700u);

  // Changes after it: a shorter key line (its tail erased), a value blanked out.
  console_->SetAttribute(0x70);
  console_->SetCursor(25, 2);
  console_->Write("F1 Help         ");
  console_->SetAttribute(0x17);
  console_->SetCursor(7, 21);
  console_->Write("       ");
  console_->Flush();
  stale.Feed(Drain());
  ExpectShown(stale);
}

TEST_P(RepaintTest, ColourChangesSendOnlyWhatDiffers) {
  bool linux = GetParam();
  StartConsole(/*handleSignals=*/false, linux);
  console_->SetCursorVisible(false);
  DrawForm();
  console_->Flush();
  ScreenModel model;
  model.Feed(Drain());

  console_->WriteCell(20, 30, Cell{'X', 0x1F});  // bright white on blue
  console_->WriteCell(20, 31, Cell{'Y', 0x1E});  // yellow: only the foreground changes
  console_->WriteCell(20, 32, Cell{'Z', 0x16});  // brown: the foreground's bright half goes
  console_->WriteCell(20, 33, Cell{'W', 0x26});  // brown on green: only the background
  console_->Flush();
  std::string out = Drain();
  model.Feed(out);
  ExpectShown(model);
  // On the Linux console bold makes a foreground bright: brown is yellow without it.
  const char* expected = linux ? "X\x1b[33mY\x1b[22mZ\x1b[42mW" : "X\x1b[93mY\x1b[33mZ\x1b[42mW";
  EXPECT_NE(out.find(expected), std::string::npos) << out;
}

TEST_P(RepaintTest, LargerTerminalKeepsItsOwnColoursBeyondTheScreen) {
  winsize large{};
  large.ws_row = 30;
  large.ws_col = 100;
  ASSERT_EQ(ioctl(master_, TIOCSWINSZ, &large), 0);
  StartConsole(/*handleSignals=*/false, /*linuxConsole=*/GetParam());
  console_->SetCursorVisible(false);
  DrawForm();
  console_->Flush();
  std::string out = Drain();
  // Erasing in a colour would paint the columns and rows outside the screen as well.
  EXPECT_EQ(out.find("\x1b[K"), std::string::npos);
  for (std::size_t at = out.find("\x1b[2J"); at != std::string::npos;
       at = out.find("\x1b[2J", at + 1)) {
    EXPECT_EQ(out.compare(at - 4, 4, "\x1b[0m"), 0) << "cleared in a colour at " << at;
  }
  ScreenModel model;
  model.Feed(out);
  ExpectShown(model);
}

INSTANTIATE_TEST_SUITE_P(Dialects, RepaintTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Linux" : "Xterm"; });

TEST_F(PtyTest, CellsAreShownAsUnicode) {
  StartConsole();
  console_->SetCursorVisible(false);
  console_->Flush();
  Drain();
  console_->SetAttribute(0x07);
  console_->SetCursor(1, 1);
  console_->Write("\xC9\xCD\xBB \x82\x80\xD5");  // ╔═╗ é Ç €
  console_->WriteCodePoint(U'\u25BA');
  console_->Flush();
  // The blank was already there in the same colours: skipped with a cursor step.
  EXPECT_EQ(Drain(), "\x1b[H╔═╗\x1b[CéÇ€►");
}

TEST_F(PtyTest, CursorShapeVisibilityMouseClipboardAndBeep) {
  StartConsole();
  console_->Flush();
  Drain();
  console_->SetCursorHeight(100);
  console_->SetCursor(5, 7);
  console_->SetMouseReporting(true);
  console_->Beep();
  console_->CopyToClipboard("\x82");
  console_->Flush();
  std::string out = Drain();
  EXPECT_NE(out.find("\x1b[2 q"), std::string::npos);
  EXPECT_NE(out.find("\x1b[5;7H"), std::string::npos);
  EXPECT_NE(out.find("\x1b[?1000h\x1b[?1006h"), std::string::npos);
  EXPECT_NE(out.find('\a'), std::string::npos);
  EXPECT_NE(out.find("\x1b]52;c;w6k=\x07"), std::string::npos);  // base64 of UTF-8 "é"

  console_->SetCursorHeight(50);
  console_->SetCursorVisible(false);
  console_->SetMouseReporting(false);
  console_->Flush();
  out = Drain();
  EXPECT_NE(out.find("\x1b[4 q"), std::string::npos);
  EXPECT_NE(out.find("\x1b[?25l"), std::string::npos);
  EXPECT_NE(out.find("\x1b[?1000l\x1b[?1006l"), std::string::npos);
}

TEST_F(PtyTest, LinuxConsoleCursorShapes) {
  StartConsole(/*handleSignals=*/false, /*linuxConsole=*/true);
  console_->SetCursorHeight(100);
  console_->Flush();
  EXPECT_NE(Drain().find("\x1b[?6c"), std::string::npos);
  console_->SetCursorHeight(50);
  console_->Flush();
  EXPECT_NE(Drain().find("\x1b[?4c"), std::string::npos);
  console_->Restore();
  EXPECT_NE(Drain().find("\x1b[?0c"), std::string::npos);  // the console's own cursor again
}

TEST_F(PtyTest, InputArrivesDecoded) {
  StartConsole();
  InputEvent event;
  EXPECT_FALSE(console_->PollEvent(event));
  EXPECT_FALSE(console_->WaitForInput(30));  // times out when nothing comes

  Type("\x03\x1b[1;5P\x1b[<2;10;5m");
  ASSERT_TRUE(NextEvent(event));
  EXPECT_EQ(event.key, 3);  // Ctrl+C is a key in raw mode
  ASSERT_TRUE(NextEvent(event));
  EXPECT_EQ(event.key, keys::kF1);
  EXPECT_EQ(event.modifiers, kModCtrl);
  ASSERT_TRUE(NextEvent(event));
  EXPECT_EQ(event.kind, EventKind::MouseRelease);
  EXPECT_EQ(event.button, 2);
  EXPECT_EQ(event.row, 5);
  EXPECT_EQ(event.column, 10);

  // A lone Esc is delivered after the delay; WaitForInput wakes up for it by itself.
  Type("\x1b");
  ASSERT_TRUE(NextEvent(event));
  EXPECT_EQ(event.key, keys::kEsc);
  EXPECT_EQ(event.modifiers, 0);
}

TEST_F(PtyTest, HangUpAnswersEscInsteadOfSpinning) {
  StartConsole();
  close(master_);
  master_ = -1;
  EXPECT_TRUE(console_->WaitForInput(1000));
  InputEvent event;
  ASSERT_TRUE(console_->PollEvent(event));
  EXPECT_EQ(event.key, keys::kEsc);
  EXPECT_TRUE(console_->WaitForInput(-1));  // returns at once: no blocking on a dead terminal
}

TEST_F(PtyTest, SmallTerminalShowsTheSizeNeededUntilResized) {
  winsize small{};
  small.ws_row = 24;
  small.ws_col = 80;
  ASSERT_EQ(ioctl(master_, TIOCSWINSZ, &small), 0);
  StartConsole(/*handleSignals=*/true);
  console_->Write("hello");
  console_->Flush();
  std::string out = Drain();
  EXPECT_NE(out.find("80 x 25"), std::string::npos);
  EXPECT_EQ(out.find("hello"), std::string::npos);
  Type("a");
  InputEvent event;
  EXPECT_FALSE(console_->PollEvent(event));  // held back while the screen is not visible

  winsize fits{};
  fits.ws_row = 30;
  fits.ws_col = 100;
  ASSERT_EQ(ioctl(master_, TIOCSWINSZ, &fits), 0);
  raise(SIGWINCH);
  EXPECT_TRUE(console_->WaitForInput(1000));
  ASSERT_TRUE(console_->PollEvent(event));
  EXPECT_EQ(event.kind, EventKind::Resize);
  EXPECT_NE(Drain().find("hello"), std::string::npos);  // repainted
  ASSERT_TRUE(NextEvent(event));
  EXPECT_EQ(event.key, 'a');
}

TEST_F(PtyTest, SuspendGivesTheTerminalBackAndResumeRepaints) {
  StartConsole();
  console_->Write("screen text");
  console_->Flush();
  Drain();
  console_->Suspend();
  EXPECT_NE(Drain().find("\x1b[?1049l"), std::string::npos);
  EXPECT_NE(Modes().c_lflag & ICANON, 0u);
  ASSERT_TRUE(console_->Resume());
  EXPECT_EQ(Modes().c_lflag & ICANON, 0u);
  std::string out = Drain();
  EXPECT_NE(out.find("\x1b[?1049h"), std::string::npos);
  ScreenModel model;
  model.Feed(out);
  std::u32string shown;
  for (int c = 1; c <= 11; ++c) shown += model.At(1, c).ch;
  EXPECT_EQ(shown, U"screen text");
}

}  // namespace
}  // namespace zt

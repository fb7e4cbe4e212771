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

#include "platform/keycodes.h"

namespace zt {
namespace {

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
  EXPECT_NE(out.find("screen text"), std::string::npos);
}

}  // namespace
}  // namespace zt

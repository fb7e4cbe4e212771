#pragma once
// The console on a real terminal (xterm-compatible, tmux, Linux console), written on termios
// and xterm control sequences. The 80 x 25 cells live in BufferedConsole; Flush sends only
// the cells that changed since the last flush, and a full repaint starts from a screen
// cleared in the frame's most common blank colours. The terminal is put back as it was on
// every way out: destruction, Restore(), and the termination and crash signals.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/buffered_console.h"
#include "platform/environment.h"
#include "platform/key_decoder.h"

namespace zt {

class TerminalConsole : public BufferedConsole {
 public:
  struct Options {
    int escDelayMs = kDefaultEscDelayMs;
    // Install the restore-on-signal handlers and the SIGWINCH/SIGTSTP handling. Only one
    // console per process may do this; tests that drive a pseudo-terminal leave it off.
    bool handleSignals = true;
    // The Linux console: bright colours as bold/blink, cursor shape with CSI ? n c.
    bool linuxConsole = false;
  };

  // Opens the controlling terminal: standard input and output when both are terminals,
  // else /dev/tty. Enters raw mode and the alternate screen. nullptr with a message in
  // error when there is no usable terminal.
  static std::unique_ptr<TerminalConsole> Open(const Environment& env, std::string& error);
  // The same on a given terminal descriptor (not closed by the console), e.g. the slave
  // side of a pseudo-terminal in a test.
  static std::unique_ptr<TerminalConsole> OpenOn(int ttyFd, const Options& options,
                                                 std::string& error);

  ~TerminalConsole() override;
  TerminalConsole(const TerminalConsole&) = delete;
  TerminalConsole& operator=(const TerminalConsole&) = delete;

  bool PollEvent(InputEvent& event) override;
  bool WaitForInput(int timeoutMs) override;
  void Flush() override;
  void SetMouseReporting(bool on) override;
  int MouseButtons() const override { return 3; }
  void Beep() override;
  void CopyToClipboard(std::string_view cp850Text) override;

  // Puts the terminal back as it was (cooked mode, main screen, default cursor, mouse and
  // bracketed paste off). Idempotent; the destructor calls it.
  void Restore();
  // Hands the terminal to another program for a while (Restore), then takes it back and
  // repaints everything (Resume).
  void Suspend() { Restore(); }
  bool Resume();
  // Forces the next Flush to redraw every cell.
  void Invalidate() { frontValid_ = false; }

  // The ANSI colour number (0-7) for a console colour's low three bits: console 1 is blue,
  // ANSI 4 is blue.
  static int AnsiColour(int consoleColour);
  // The SGR parameters for an attribute, e.g. "34;47" or "93;100"; on the Linux console
  // "0;1;5;34;47" style (bold for a bright foreground, blink for a bright background).
  static std::string SgrParameters(Attribute attribute, bool linuxConsole = false);

 private:
  TerminalConsole(int inFd, int outFd, bool ownsFds, const Options& options);
  bool Enter(std::string& error);
  void QueryTerminalSize();
  bool ScreenFits() const { return termRows_ >= kRows && termColumns_ >= kColumns; }
  void DrawTooSmallMessage();
  void HandleWakeups();
  void ReadInput();
  void WriteOut();
  void MoveTo(int row, int column);
  // Sends the SGR change from the shown attribute to this one, only the parts that differ.
  void SetShownAttribute(Attribute attribute);
  // Clears the screen in the attribute most blanks of the frame have and takes that blank
  // screen as what is shown (a larger terminal is cleared plainly, nothing taken as shown).
  void ClearForRepaint(const Grid& cells);
  void ForgetShownState();

  int inFd_;
  int outFd_;
  bool ownsFds_;
  Options options_;
  bool active_ = false;  // raw mode and alternate screen are on
  bool handlersInstalled_ = false;
  int wakePipe_[2] = {-1, -1};
  KeyDecoder decoder_;
  std::string out_;
  Grid front_{};
  bool frontValid_ = false;
  bool tooSmallShown_ = false;
  int termRows_ = kRows;
  int termColumns_ = kColumns;
  bool resized_ = false;  // a Resize event is owed to the caller
  // What the terminal currently shows besides the cells; -1 or 0: not known.
  int outRow_ = 0;
  int outColumn_ = 0;
  int outAttr_ = -1;
  int shownCursorVisible_ = -1;
  int shownCursorHeight_ = -1;
  int shownMouse_ = -1;
  bool mouseWanted_ = false;
  // The terminal hung up: input answers Esc so the program winds down as if left by hand.
  bool hungUp_ = false;
  int hangUpEscs_ = 0;
};

}  // namespace zt

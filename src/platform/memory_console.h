#pragma once
// An in-memory console: the 80 x 25 cells, the cursor and a script of input events. Every
// screen behaviour can be tested on it without a terminal.
#include <deque>
#include <string>
#include <vector>

#include "platform/buffered_console.h"

namespace zt {

class MemoryConsole : public BufferedConsole {
 public:
  // Script: events are handed out in order by PollEvent.
  void PushEvent(const InputEvent& event) { script_.push_back(event); }
  // A key with optional modifiers (codes as in keycodes.h).
  void PushKey(std::int16_t key, std::uint8_t modifiers = 0);
  // Each byte of text as a character key.
  void PushText(std::string_view cp850Text);
  void PushMouseRelease(int button, int row, int column);
  void PushPaste(std::string_view cp850Text);
  std::size_t PendingEvents() const { return script_.size(); }

  bool PollEvent(InputEvent& event) override;
  // With an empty script a real console would block for good. Instead the wait delivers
  // Esc (so the code under test can leave) and counts it: a test checks
  // ExhaustedWaits() == 0. Past a hard limit the process aborts rather than spin.
  bool WaitForInput(int timeoutMs) override;
  void Flush() override { ++flushes_; }

  void SetMouseReporting(bool on) override { mouseReporting_ = on; }
  bool MouseReporting() const { return mouseReporting_; }
  int MouseButtons() const override { return mouseButtons_; }
  void SetMouseButtons(int buttons) { mouseButtons_ = buttons; }
  void Beep() override { ++beeps_; }
  void CopyToClipboard(std::string_view cp850Text) override { clipboard_.assign(cp850Text); }

  int Beeps() const { return beeps_; }
  int ExhaustedWaits() const { return exhaustedWaits_; }
  int Flushes() const { return flushes_; }
  const std::string& TerminalClipboard() const { return clipboard_; }

 private:
  std::deque<InputEvent> script_;
  bool mouseReporting_ = false;
  int mouseButtons_ = 2;
  int beeps_ = 0;
  int exhaustedWaits_ = 0;
  int flushes_ = 0;
  std::string clipboard_;
};

}  // namespace zt

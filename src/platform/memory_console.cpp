#include "platform/memory_console.h"

#include <cstdio>
#include <cstdlib>

#include "platform/keycodes.h"

namespace zt {

void MemoryConsole::PushKey(std::int16_t key, std::uint8_t modifiers) {
  InputEvent event;
  event.kind = EventKind::Key;
  event.key = key;
  event.modifiers = modifiers;
  script_.push_back(event);
}

void MemoryConsole::PushText(std::string_view cp850Text) {
  for (char c : cp850Text) PushKey(static_cast<std::uint8_t>(c));
}

void MemoryConsole::PushMouseRelease(int button, int row, int column) {
  InputEvent event;
  event.kind = EventKind::MouseRelease;
  event.button = button;
  event.row = row;
  event.column = column;
  script_.push_back(event);
}

void MemoryConsole::PushPaste(std::string_view cp850Text) {
  InputEvent event;
  event.kind = EventKind::Paste;
  event.text.assign(cp850Text);
  script_.push_back(event);
}

bool MemoryConsole::PollEvent(InputEvent& event) {
  if (script_.empty()) return false;
  event = script_.front();
  script_.pop_front();
  return true;
}

bool MemoryConsole::WaitForInput(int timeoutMs) {
  Flush();
  if (!script_.empty()) return true;
  if (timeoutMs >= 0) return false;
  constexpr int kLimit = 1000;
  if (++exhaustedWaits_ > kLimit) {
    std::fputs("MemoryConsole: input script exhausted, the code under test keeps waiting\n",
               stderr);
    std::abort();
  }
  PushKey(keys::kEsc);
  return true;
}

}  // namespace zt

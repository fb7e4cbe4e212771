#include "app/main_sequence.h"

#include "app/session.h"
#include "platform/files.h"
#include "platform/keycodes.h"

namespace zt {

int RunMainSequence(Runtime& rt, std::string& errorMessage) {
  errorMessage.clear();
  rt.console.SetCursorVisible(false);
  LoadSessionEnvironment(rt);
  if (!rt.session.RootDir.empty()) ChangeDirectory(rt.session.RootDir);
  rt.session.ProgramName = "ZENTARIO";
  // The form engine and the settings application take over from here once they exist;
  // until then a placeholder screen that ends on Esc.
  rt.console.Clear();
  rt.console.SetCursor(1, 1);
  rt.console.Write(rt.session.Title);
  InputEvent event;
  for (;;) {
    while (rt.console.PollEvent(event)) {
      if (event.kind == EventKind::Key && event.key == keys::kEsc) return 0;
    }
    rt.console.WaitForInput(-1);
  }
}

}  // namespace zt

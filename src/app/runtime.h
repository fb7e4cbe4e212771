#pragma once
// Everything the program keeps for the whole run, in one object: the console, the
// environment, the session record and each subsystem's state. A test builds a fresh one.
#include "app/session_context.h"
#include "forms/form_state.h"
#include "locale/locale_state.h"
#include "platform/console.h"
#include "platform/environment.h"
#include "records/record_state.h"
#include "screen/screen_state.h"

namespace zt {

struct Runtime {
  Runtime(Console& consoleIn, const Environment& envIn) : console(consoleIn), env(envIn) {}
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  Console& console;
  const Environment& env;
  SessionContext session;
  LocaleState locale;
  ScreenState screen;
  FormState forms;
  RecordState records;
};

}  // namespace zt

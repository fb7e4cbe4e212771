// The program's entry: command-line help, then the terminal console around the main
// sequence. The terminal is restored before any message is printed.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/main_sequence.h"
#include "app/runtime.h"
#include "platform/codepage.h"
#include "platform/environment.h"
#include "platform/terminal_console.h"

namespace {

constexpr const char* kVersion = "zentario 1.0.0";

constexpr const char* kHelp =
    "Usage: zentario [--help | --version]\n"
    "\n"
    "Edits the VAT and withholding settings of the suite's main INI file (Vorn.ini) on a\n"
    "full-screen form of 80 x 25 characters. It takes no other arguments.\n"
    "\n"
    "Environment variables read:\n"
    "  KYBROOT          the suite's root folder (the program works from there)\n"
    "  KYBTMP           the session's temporary folder\n"
    "  KYBEXE           the suite's program folder\n"
    "  TERM             the terminal type\n"
    "  HTTP_USER_AGENT, HTTP_ACCEPT   session details of a web terminal\n"
    "  WINDIR, SYSTEMROOT             the system folder, where the session keeps it\n"
    "  COMSPEC          the command interpreter for help documents (else /bin/sh)\n"
    "  ESCDELAY         milliseconds a lone Esc waits for a key sequence (default 25)\n"
    "\n"
    "Files read:\n"
    "  Sessio.ini, VornTerm.ini   in the session folder (KYBTMP)\n"
    "  Vorn.ini                   in the suite root: settings, language, number and date\n"
    "                             formats; the settings are written back when changed\n"
    "  FORMS/ZENTARIO.QFM         the form definition, under the suite root\n"
    "  LOCALE/ZENTARIO.LNG        the language file, under the suite root\n"
    "  AJUDA/                     help texts and documents, under the suite root\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
      std::puts(kVersion);
      return 0;
    }
    std::fprintf(stderr, "zentario: unknown argument '%s' (try --help)\n", argv[1]);
    return 2;
  }

  zt::ProcessEnvironment env;
  std::string error;
  std::unique_ptr<zt::TerminalConsole> console = zt::TerminalConsole::Open(env, error);
  if (!console) {
    std::fprintf(stderr, "zentario: %s\n", error.c_str());
    return 1;
  }
  int status = 0;
  std::string errorMessage;
  {
    zt::Runtime rt(*console, env);
    status = zt::RunMainSequence(rt, errorMessage);
  }
  console.reset();  // restores the terminal before anything is printed
  if (!errorMessage.empty()) {
    // Messages are code page 850 text; the terminal shows UTF-8.
    std::fprintf(stderr, "zentario: %s\n", zt::Cp850ToUtf8(errorMessage).c_str());
  }
  return status;
}

#include "platform/process.h"

#include <gtest/gtest.h>

#include "platform/memory_console.h"
#include "support/temp_dir.h"

namespace zt {
namespace {

TEST(ProcessTest, RunsThroughTheInterpreterAndReportsTheStatus) {
  test::TempDir dir;
  MemoryConsole console;
  MapEnvironment env;
  struct Case {
    const char* comspec;
    std::string command;
    int status;
  };
  const Case cases[] = {
      {"", "exit 3", 3},
      {"/bin/sh", "true", 0},
      {"/BIN/SH", "exit 4", 4},                   // found without regard to case
      {"C:\\WINDOWS\\COMMAND.COM", "exit 5", 5},  // not here: the shell runs it
      {"", "kill -TERM $$", 128 + 15},
      {"", "printf '%s' \"$0\" > '" + dir.Path() + "arg0'", 0},
  };
  for (const Case& c : cases) {
    env.Set("COMSPEC", c.comspec);
    EXPECT_EQ(RunCommandLine(console, env, c.command), c.status) << c.comspec << " " << c.command;
  }
  EXPECT_EQ(dir.Read("arg0"), "/bin/sh");
  EXPECT_GE(console.Flushes(), 1);  // what was drawn is shown before the command runs
}

TEST(ProcessTest, CommandTextIsCodePage850) {
  test::TempDir dir;
  MemoryConsole console;
  MapEnvironment env;
  std::string command = "printf 'MAR\x80' > '" + dir.Path() + "out'";
  EXPECT_EQ(RunCommandLine(console, env, command), 0);
  EXPECT_EQ(dir.Read("out"), "MAR\xC3\x87");  // shown to the shell as UTF-8 "MARÇ"
}

TEST(ProcessTest, UnknownCommandGivesTheShellsStatus) {
  MemoryConsole console;
  MapEnvironment env;
  env.Set("COMSPEC", "/bin/sh");
  // A command the shell cannot find ends with the shell's 127.
  EXPECT_EQ(RunCommandLine(console, env, "/no/such/program"), 127);
}

}  // namespace
}  // namespace zt

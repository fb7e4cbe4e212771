#pragma once
// A fresh runtime on a MemoryConsole with its own environment, for one test.
#include "app/runtime.h"
#include "platform/memory_console.h"

namespace zt::test {

struct TestRuntime {
  MemoryConsole console;
  MapEnvironment env;
  Runtime rt{console, env};
};

}  // namespace zt::test

#include <cstdio>
#include <cstring>

#include "app/main_sequence.h"
#include "platform/memory_console.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("zentario 1.0.0");
    return 0;
  }
  std::fputs("zentario: the terminal console is not built yet\n", stderr);
  return 1;
}

// The host build of the tool: batch mode only, for tests and benchmarks.
#include <cstdio>

#include "shell/startup.h"

namespace {

int NoWindowOnHost() {
  std::fputs("The window needs Windows; run with the argument a.\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return StartUp(arguments, NoWindowOnHost);
}

#pragma once

#include <cstdio>
#include <string_view>

// Every benchmark says first how to get its figures again: the script that
// builds and runs it, and the program it ran, with the same arguments.
inline void printHowToReproduce(std::string_view script, int argc, char** argv) {
  std::printf("Reproduce with: %.*s\n  or, once built:", static_cast<int>(script.size()), script.data());
  for (int i = 0; i < argc; ++i) std::printf(" %s", argv[i]);
  std::printf("\n\n");
  std::fflush(stdout);
}

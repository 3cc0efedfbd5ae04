// Registered as a text file's shell verbs in the end-to-end tests' Wine
// prefixes: appends the command line it was started with to a log, so the
// tests see which verb the shell ran for which file.
#include <windows.h>

#include <cstdio>

int main() {
  std::FILE* log = std::fopen("C:\\shell-calls.log", "ab");
  if (log == nullptr) return 1;
  std::fprintf(log, "%s\n", GetCommandLineA());
  return std::fclose(log) == 0 ? 0 : 1;
}

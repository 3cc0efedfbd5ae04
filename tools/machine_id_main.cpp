#include <unistd.h>

#include <iostream>
#include <string_view>

#include "tools/machine_id_tool.h"
#include "tools/recover_command.h"

int main(int argc, char** argv) {
  int status;
  if (argc > 1 && std::string_view(argv[1]) == "recover") {
    hwid::RecoverEnvironment environment;
    environment.show_progress = isatty(STDERR_FILENO) != 0;
    status = hwid::run_recover_command(argc - 1, argv + 1, std::cin, std::cout, std::cerr,
                                       environment);
  } else {
    status = hwid::run_machine_id_tool(argc, argv, std::cout, std::cerr);
  }
  // A full disk or a closed pipe must not pass for success.
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "machine-id: could not write the output\n";
    return hwid::kToolOutputError;
  }
  return status;
}

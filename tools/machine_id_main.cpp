#include <iostream>

#include "tools/machine_id_tool.h"

int main(int argc, char** argv) {
  return hwid::run_machine_id_tool(argc, argv, std::cout, std::cerr);
}

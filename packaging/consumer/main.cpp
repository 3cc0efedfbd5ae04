// Prints the identifier of the worked example (dev01 / PC-4F / 1A2B-3C4D).
#include <hwid/identifier/machine_id.h>

#include <iostream>

int main() {
  std::cout << hwid::derive_machine_id({"dev01", 0x1A2B3C4D, "PC-4F"}) << '\n';
  return 0;
}

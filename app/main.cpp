// The HWID program: reads no arguments, prints nothing, always exits 0.
#include "app/run.h"

int main() {
  try {
    hwid::run();
  } catch (...) {
    // Nothing to tell anyone: the exit status is 0 whatever happened.
  }
  return 0;
}

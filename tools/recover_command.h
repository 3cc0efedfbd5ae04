// machine-id recover: the seed behind identifiers, and with the user and
// computer names the volume serial number of drive C: that gave them.
#ifndef HWID_TOOLS_RECOVER_COMMAND_H_
#define HWID_TOOLS_RECOVER_COMMAND_H_

#include <istream>
#include <ostream>

#include "recovery/seed_search.h"

namespace hwid {

struct RecoverEnvironment {
  bool show_progress = false;  // a progress bar on err while searching
  SeedRange range;             // all seeds; tests search less
};

// argv[0] is "recover". Identifiers come from the arguments, or from `in`
// when the only one is "-". Returns the exit status.
int run_recover_command(int argc, const char* const* argv, std::istream& in,
                        std::ostream& out, std::ostream& err,
                        const RecoverEnvironment& environment);

}  // namespace hwid

#endif  // HWID_TOOLS_RECOVER_COMMAND_H_

// Tests' control of the stand-in platform: what each query yields, and the
// log of every call made with its arguments.
#ifndef HWID_APP_PLATFORM_STAND_IN_H_
#define HWID_APP_PLATFORM_STAND_IN_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hwid::stand_in {

// What the queries yield; an empty optional makes that query fail. A name
// that does not fit the buffer offered fails as Windows' does.
struct Machine {
  std::optional<std::string> user_name;
  std::optional<std::uint32_t> volume_serial_number;
  std::optional<std::string> computer_name;
};

// Starts a new machine with an empty call log.
void reset(const Machine& machine);

// Each call so far, as NAME(ARGUMENTS) with strings quoted, null pointers as
// null and other pointers as the word for what they point to.
const std::vector<std::string>& calls();

}  // namespace hwid::stand_in

#endif  // HWID_APP_PLATFORM_STAND_IN_H_

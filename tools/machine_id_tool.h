// machine-id: recomputes and explains the identifier of given machine
// properties, for the people who issue and support identifiers.
#ifndef HWID_TOOLS_MACHINE_ID_TOOL_H_
#define HWID_TOOLS_MACHINE_ID_TOOL_H_

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "identifier/machine_id.h"

namespace hwid {

// Exit statuses of the tool.
inline constexpr int kToolSuccess = 0;
inline constexpr int kToolNotFound = 1;  // recover: some identifier has no seed
inline constexpr int kToolUsageError = 2;
inline constexpr int kToolOutputError = 3;  // standard output could not be written

// A volume serial number in hex: 1 to 8 digits of either case, optionally
// prefixed 0x, or XXXX-XXXX as Windows' vol prints it. nullopt otherwise.
std::optional<std::uint32_t> parse_serial(std::string_view text);

// "XXXX-XXXX": a volume serial number as Windows' vol prints it.
std::string vol_form(std::uint32_t serial);

// An option that takes a value, and where its value goes.
struct ValueOption {
  std::string_view name;
  std::optional<std::string>* value;
};

// If argv[i] names one of `options`, stores argv[i + 1] as its value and
// steps i past it. Returns nullopt when argv[i] names none of them, else the
// problem with it for a usage error (empty when there is none).
std::optional<std::string> take_value_option(std::span<const ValueOption> options,
                                             int argc, const char* const* argv, int& i);

// Writes, for a person, how `properties` become their identifier.
void write_explanation(const MachineProperties& properties, std::ostream& out);

// The whole tool: argv in, identifier (or explanation) on `out`, a problem
// and the usage on `err`. Returns the exit status.
int run_machine_id_tool(int argc, const char* const* argv, std::ostream& out,
                        std::ostream& err);

}  // namespace hwid

#endif  // HWID_TOOLS_MACHINE_ID_TOOL_H_

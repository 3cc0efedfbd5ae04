// The rule that turns a machine's properties into its identifier.
#ifndef HWID_IDENTIFIER_MACHINE_ID_H_
#define HWID_IDENTIFIER_MACHINE_ID_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hwid {

struct MachineProperties {
  std::string user_name;  // bytes as the platform gives them, no terminator
  std::uint32_t volume_serial_number;
  std::string computer_name;
};

// Only this many leading bytes of a name count towards its fold.
inline constexpr std::size_t kFoldedNameLength = 8;

// What one byte of a name adds to its fold: 0-9 for digits, 10-15 for A-F,
// else the byte read as signed 8-bit minus 92 (so a-f are NOT 10-15).
int fold_contribution(unsigned char byte);

// acc = acc * 16 + contribution over the first kFoldedNameLength bytes,
// modulo 2^32.
std::uint32_t fold_name(std::string_view text);

// fold(user) + fold(computer) + serial, modulo 2^32.
std::uint32_t seed_value(const MachineProperties& properties);

// seed_value as signed 32-bit decimal ("%d").
std::string seed_text(const MachineProperties& properties);

// MD5 of the seed text as 32 lower-case hex characters.
std::string derive_machine_id(const MachineProperties& properties);

}  // namespace hwid

#endif  // HWID_IDENTIFIER_MACHINE_ID_H_

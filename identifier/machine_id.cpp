#include "identifier/machine_id.h"

#include <cstdio>

#include "identifier/md5.h"

namespace hwid {
namespace {

// Room for any "%d" of a 32-bit value, with plenty to spare.
constexpr std::size_t kSeedTextBufferSize = 1000;

}  // namespace

int fold_contribution(unsigned char byte) {
  if (byte >= '0' && byte <= '9') return byte - 48;
  if (byte >= 'A' && byte <= 'F') return byte - 55;
  return static_cast<signed char>(byte) - 92;
}

std::uint32_t fold_name(std::string_view text) {
  const std::size_t n = text.size() < kFoldedNameLength ? text.size() : kFoldedNameLength;
  std::uint32_t acc = 0;
  for (std::size_t k = 0; k < n; ++k) {
    // A negative contribution wraps modulo 2^32, as intended.
    acc = acc * 16 + static_cast<std::uint32_t>(
                         fold_contribution(static_cast<unsigned char>(text[k])));
  }
  return acc;
}

std::uint32_t seed_value(const MachineProperties& properties) {
  return fold_name(properties.user_name) + fold_name(properties.computer_name) +
         properties.volume_serial_number;
}

std::string seed_text(const MachineProperties& properties) {
  char text[kSeedTextBufferSize];
  const int length =
      std::snprintf(text, sizeof text, "%d",
                    static_cast<int>(static_cast<std::int32_t>(seed_value(properties))));
  return std::string(text, static_cast<std::size_t>(length));
}

std::string derive_machine_id(const MachineProperties& properties) {
  return md5_hex(seed_text(properties));
}

}  // namespace hwid

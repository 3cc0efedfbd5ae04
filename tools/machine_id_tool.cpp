#include "tools/machine_id_tool.h"

#include <cstdio>
#include <string>

#include "identifier/md5.h"

namespace hwid {
namespace {

constexpr const char kUsage[] =
    "usage: machine-id --user NAME --computer NAME --serial SERIAL [--explain]\n"
    "       machine-id recover [--user NAME --computer NAME] [--threads N] "
    "IDENTIFIER...\n"
    "       machine-id --help | --version\n"
    "\n"
    "Prints the identifier that the HWID program gives a machine with these\n"
    "properties, and a line end.\n"
    "\n"
    "  --user NAME       logon name of the user, taken as the bytes given\n"
    "                    (may be empty)\n"
    "  --computer NAME   NetBIOS name of the computer, taken as the bytes given\n"
    "                    (may be empty)\n"
    "  --serial SERIAL   volume serial number of drive C: in hex, 1 to 8 digits\n"
    "                    of either case, optionally prefixed 0x, or as vol\n"
    "                    prints it (1A2B-3C4D)\n"
    "  --explain         show each step of the derivation instead\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "machine-id recover finds the seed (and with the names, the serial) behind\n"
    "identifiers; machine-id recover --help tells more.\n"
    "\n"
    "Exit status: 0 success, 2 usage error, 3 the output could not be written.\n";

// The name between quotes, with anything but printable ASCII as \xHH so
// that look-alike bytes (a code-page letter, a trailing space) show.
std::string quoted(std::string_view text) {
  std::string result = "\"";
  for (char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte >= 0x20 && byte < 0x7F && ch != '"' && ch != '\\') {
      result += ch;
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      result += escape;
    }
  }
  return result + "\"";
}

void explain_name(const char* label, std::string_view name, std::ostream& out) {
  out << label << ' ' << quoted(name) << ", " << name.size()
      << (name.size() == 1 ? " byte\n" : " bytes\n");
  char line[128];
  std::uint32_t fold = 0;
  const std::size_t counted =
      name.size() < kFoldedNameLength ? name.size() : kFoldedNameLength;
  if (counted > 0) out << "  byte        contribution  fold so far\n";
  for (std::size_t k = 0; k < counted; ++k) {
    const auto byte = static_cast<unsigned char>(name[k]);
    const int contribution = fold_contribution(byte);
    fold = fold_name(name.substr(0, k + 1));
    const char shown = byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : ' ';
    std::snprintf(line, sizeof line, "  0x%02X %c  %+15d  0x%08X\n", byte, shown,
                  contribution, static_cast<unsigned>(fold));
    out << line;
  }
  if (name.size() > kFoldedNameLength) {
    std::snprintf(line, sizeof line,
                  "  bytes %zu to %zu ignored: only the first %zu count\n",
                  kFoldedNameLength + 1, name.size(), kFoldedNameLength);
    out << line;
  }
  std::snprintf(line, sizeof line, "  fold 0x%08X\n", static_cast<unsigned>(fold));
  out << line;
}

int usage_error(const std::string& problem, std::ostream& err) {
  err << "machine-id: " << problem << "\n\n" << kUsage;
  return kToolUsageError;
}

}  // namespace

std::optional<std::uint32_t> parse_serial(std::string_view text) {
  std::string digits;
  if (text.size() == 9 && text[4] == '-') {
    digits.append(text.substr(0, 4)).append(text.substr(5));
  } else {
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
      text.remove_prefix(2);
    }
    digits = text;
  }
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char ch : digits) {
    const int digit = hex_digit_value(ch);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

void write_explanation(const MachineProperties& properties, std::ostream& out) {
  explain_name("user name", properties.user_name, out);
  explain_name("computer name", properties.computer_name, out);
  const std::uint32_t serial = properties.volume_serial_number;
  char line[160];
  std::snprintf(line, sizeof line, "serial 0x%08X (vol prints %s)\n",
                static_cast<unsigned>(serial), vol_form(serial).c_str());
  out << line;
  std::snprintf(
      line, sizeof line, "sum 0x%08X + 0x%08X + 0x%08X = 0x%08X (modulo 2^32)\n",
      static_cast<unsigned>(fold_name(properties.user_name)),
      static_cast<unsigned>(fold_name(properties.computer_name)),
      static_cast<unsigned>(serial), static_cast<unsigned>(seed_value(properties)));
  out << line;
  const std::string seed = seed_text(properties);
  out << "seed text \"" << seed << "\" (the sum as signed 32-bit decimal)\n";
  out << "identifier " << md5_hex(seed) << " (MD5 of the seed text)\n";
}

std::string vol_form(std::uint32_t serial) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X-%04X", static_cast<unsigned>(serial >> 16),
                static_cast<unsigned>(serial & 0xFFFF));
  return text;
}

std::optional<std::string> take_value_option(std::span<const ValueOption> options,
                                             int argc, const char* const* argv, int& i) {
  const std::string_view arg = argv[i];
  for (const ValueOption& option : options) {
    if (arg != option.name) continue;
    if (i + 1 >= argc) return "option " + std::string(arg) + " needs a value";
    if (option.value->has_value())
      return "option " + std::string(arg) + " is given twice";
    *option.value = argv[++i];
    return std::string();
  }
  return std::nullopt;
}

int run_machine_id_tool(int argc, const char* const* argv, std::ostream& out,
                        std::ostream& err) {
  std::optional<std::string> user, computer, serial_text;
  const ValueOption value_options[] = {
      {"--user", &user}, {"--computer", &computer}, {"--serial", &serial_text}};
  bool explain = false;
  bool help = false;
  bool version = false;

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help") {
      help = true;
      continue;
    }
    if (arg == "--version") {
      version = true;
      continue;
    }
    if (arg == "--explain") {
      explain = true;
      continue;
    }
    const std::optional<std::string> problem =
        take_value_option(value_options, argc, argv, i);
    if (!problem) return usage_error("unknown option '" + std::string(arg) + "'", err);
    if (!problem->empty()) return usage_error(*problem, err);
  }

  if (help) {
    out << kUsage;
    return kToolSuccess;
  }
  if (version) {
    out << "machine-id " << HWID_VERSION << '\n';
    return kToolSuccess;
  }
  for (const auto& option : value_options) {
    if (!option.value->has_value()) {
      return usage_error("missing option " + std::string(option.name), err);
    }
  }
  const std::optional<std::uint32_t> serial = parse_serial(*serial_text);
  if (!serial) {
    return usage_error("invalid serial '" + *serial_text +
                           "': expected 1 to 8 hex digits, optionally prefixed "
                           "0x, or XXXX-XXXX",
                       err);
  }

  const MachineProperties properties{*user, *serial, *computer};
  if (explain) {
    write_explanation(properties, out);
  } else {
    out << derive_machine_id(properties) << '\n';
  }
  return kToolSuccess;
}

}  // namespace hwid

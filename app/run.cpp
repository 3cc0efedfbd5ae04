#include "app/run.h"

#include <cstddef>
#include <string>

#include "app/platform.h"
#include "identifier/machine_id.h"
#include "report/report_writer.h"

namespace hwid {
namespace {

// Name buffers hold 256 bytes but are offered as 255 characters, so a name
// has at most 254 characters and its terminator.
constexpr std::size_t kNameBufferSize = 256;
constexpr platform::Dword kNameBufferOffered = 255;

constexpr char kVolumeRootPath[] = "C:\\";
constexpr char kReportLineFormat[] = "Your HWID : %s";
constexpr char kShellVerb[] = "open";

// The name the query left in `buffer`, `length` bytes without terminator,
// never reading past what was offered whatever the platform reports.
std::string name_in_buffer(const char* buffer, platform::Dword length) {
  return std::string(buffer, length < kNameBufferOffered ? length : kNameBufferOffered);
}

}  // namespace

void run() {
  platform::delete_file(kReportPath);  // a missing or undeletable file is fine

  MachineProperties properties{};

  char user_name[kNameBufferSize] = {};
  platform::Dword user_name_size = kNameBufferOffered;
  if (!platform::get_user_name(user_name, &user_name_size)) return;
  // GetUserNameA's size counts the terminator.
  properties.user_name =
      name_in_buffer(user_name, user_name_size > 0 ? user_name_size - 1 : 0);

  platform::Dword serial_number = 0;
  if (!platform::get_volume_information(kVolumeRootPath, nullptr, 0, &serial_number,
                                        nullptr, nullptr, nullptr, 0)) {
    return;
  }
  properties.volume_serial_number = static_cast<std::uint32_t>(serial_number);

  char computer_name[kNameBufferSize] = {};
  platform::Dword computer_name_size = kNameBufferOffered;
  if (!platform::get_computer_name(computer_name, &computer_name_size)) return;
  // GetComputerNameA's size does not count the terminator.
  properties.computer_name = name_in_buffer(computer_name, computer_name_size);

  const std::string identifier = derive_machine_id(properties);
  // Showing a report this run did not write would pass off a stale
  // identifier as this machine's.
  if (write_report_line(kReportLineFormat, identifier.c_str())) {
    platform::shell_execute(nullptr, kShellVerb, kReportPath, nullptr, nullptr,
                            platform::kShowNormal);
  }
}

}  // namespace hwid

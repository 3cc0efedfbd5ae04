#include "app/platform_stand_in.h"

#include <cstring>

#include "app/platform.h"

namespace hwid {
namespace {

stand_in::Machine machine;
std::vector<std::string> call_log;

std::string text_argument(const char* text) {
  return text == nullptr ? "null" : '"' + std::string(text) + '"';
}

std::string pointer_argument(const void* pointer, const char* what) {
  return pointer == nullptr ? "null" : what;
}

void record(const char* operation, const std::vector<std::string>& arguments) {
  std::string call = std::string(operation) + '(';
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    if (k > 0) call += ", ";
    call += arguments[k];
  }
  call_log.push_back(call + ')');
}

// Copies `name` and its terminator when *size (counting the terminator)
// leaves room; otherwise, as Windows does, sets *size to the room needed.
bool copy_name(const std::optional<std::string>& name, char* buffer,
               platform::Dword* size) {
  if (!name) return false;
  const std::size_t needed = name->size() + 1;
  if (buffer == nullptr || *size < needed) {
    *size = static_cast<platform::Dword>(needed);
    return false;
  }
  std::memcpy(buffer, name->c_str(), needed);
  return true;
}

}  // namespace

namespace stand_in {

void reset(const Machine& new_machine) {
  machine = new_machine;
  call_log.clear();
}

const std::vector<std::string>& calls() { return call_log; }

}  // namespace stand_in

namespace platform {

bool delete_file(const char* path) {
  record("DeleteFileA", {text_argument(path)});
  return true;
}

bool get_user_name(char* buffer, Dword* size) {
  record("GetUserNameA", {pointer_argument(buffer, "buffer"), std::to_string(*size)});
  if (!copy_name(machine.user_name, buffer, size)) return false;
  *size = static_cast<Dword>(machine.user_name->size() + 1);  // counts the terminator
  return true;
}

bool get_volume_information(const char* root_path, char* volume_name_buffer,
                            Dword volume_name_size, Dword* volume_serial_number,
                            Dword* maximum_component_length, Dword* file_system_flags,
                            char* file_system_name_buffer, Dword file_system_name_size) {
  record("GetVolumeInformationA",
         {text_argument(root_path), pointer_argument(volume_name_buffer, "buffer"),
          std::to_string(volume_name_size),
          pointer_argument(volume_serial_number, "&serial"),
          pointer_argument(maximum_component_length, "&length"),
          pointer_argument(file_system_flags, "&flags"),
          pointer_argument(file_system_name_buffer, "buffer"),
          std::to_string(file_system_name_size)});
  if (!machine.volume_serial_number) return false;
  if (volume_serial_number != nullptr)
    *volume_serial_number = *machine.volume_serial_number;
  return true;
}

bool get_computer_name(char* buffer, Dword* size) {
  record("GetComputerNameA", {pointer_argument(buffer, "buffer"), std::to_string(*size)});
  if (!copy_name(machine.computer_name, buffer, size)) return false;
  *size = static_cast<Dword>(machine.computer_name->size());  // without the terminator
  return true;
}

void shell_execute(void* owner_window, const char* verb, const char* file,
                   const char* parameters, const char* directory, int show_command) {
  record("ShellExecuteA", {pointer_argument(owner_window, "window"), text_argument(verb),
                           text_argument(file), text_argument(parameters),
                           text_argument(directory), std::to_string(show_command)});
}

}  // namespace platform
}  // namespace hwid

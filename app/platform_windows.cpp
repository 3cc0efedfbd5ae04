#include <windows.h>
// After windows.h, whose types they use.
#include <objbase.h>
#include <shellapi.h>

#include <type_traits>

#include "app/platform.h"

namespace hwid::platform {

static_assert(kShowNormal == SW_SHOWNORMAL);
static_assert(std::is_same_v<Dword, DWORD>);

bool delete_file(const char* path) { return DeleteFileA(path) != 0; }

bool get_user_name(char* buffer, Dword* size) { return GetUserNameA(buffer, size) != 0; }

bool get_volume_information(const char* root_path, char* volume_name_buffer,
                            Dword volume_name_size, Dword* volume_serial_number,
                            Dword* maximum_component_length, Dword* file_system_flags,
                            char* file_system_name_buffer, Dword file_system_name_size) {
  return GetVolumeInformationA(root_path, volume_name_buffer, volume_name_size,
                               volume_serial_number, maximum_component_length,
                               file_system_flags, file_system_name_buffer,
                               file_system_name_size) != 0;
}

bool get_computer_name(char* buffer, Dword* size) {
  return GetComputerNameA(buffer, size) != 0;
}

// ShellExecuteA may hand the verb to a shell extension (the default viewer
// of text files can be a packaged app reached that way), which needs COM on
// the calling thread: Microsoft's documentation asks for a single-threaded
// apartment with OLE1 DDE off. The call is made even if that fails, and
// COM is left as found.
void shell_execute(void* owner_window, const char* verb, const char* file,
                   const char* parameters, const char* directory, int show_command) {
  const HRESULT com =
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ShellExecuteA(static_cast<HWND>(owner_window), verb, file, parameters, directory,
                show_command);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace hwid::platform

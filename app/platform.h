// The five Windows operations one run makes, as plain functions with the
// Win32 calls' own parameters. platform_windows.cpp makes the real calls;
// platform_stand_in.cpp, picked by the build where Windows is absent,
// records them for the tests.
#ifndef HWID_APP_PLATFORM_H_
#define HWID_APP_PLATFORM_H_

namespace hwid::platform {

// Win32's DWORD (32 bits on Windows).
using Dword = unsigned long;

// ShellExecuteA's SW_SHOWNORMAL.
inline constexpr int kShowNormal = 1;

// DeleteFileA.
bool delete_file(const char* path);

// GetUserNameA. On success *size counts the name and its terminator.
bool get_user_name(char* buffer, Dword* size);

// GetVolumeInformationA.
bool get_volume_information(const char* root_path, char* volume_name_buffer,
                            Dword volume_name_size, Dword* volume_serial_number,
                            Dword* maximum_component_length, Dword* file_system_flags,
                            char* file_system_name_buffer, Dword file_system_name_size);

// GetComputerNameA. On success *size counts the name without terminator.
bool get_computer_name(char* buffer, Dword* size);

// ShellExecuteA; owner_window is an HWND.
void shell_execute(void* owner_window, const char* verb, const char* file,
                   const char* parameters, const char* directory, int show_command);

}  // namespace hwid::platform

#endif  // HWID_APP_PLATFORM_H_

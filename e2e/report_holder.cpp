// Holds C:\HWID.txt open the way another program might: reading and
// writing shared, deleting not. Says when it holds the file by creating
// C:\holder-ready and lets go once C:\holder-release exists (or after a
// minute).
#include <windows.h>

namespace {

bool file_exists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main() {
  HANDLE report = CreateFileA("C:\\HWID.txt", GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (report == INVALID_HANDLE_VALUE) return 1;
  HANDLE ready = CreateFileA("C:\\holder-ready", GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(ready);
  for (int waited = 0; waited < 60000 && !file_exists("C:\\holder-release"); waited += 50) {
    Sleep(50);
  }
  CloseHandle(report);
  return 0;
}

# Cross-builds the 32-bit x86 Windows program with MinGW-w64. The -posix
# compilers: GoogleTest needs std::mutex, which the -win32 ones lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(HWID_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${HWID_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HWID_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${HWID_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HWID_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows test binaries under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)

# Cross-builds the 32-bit x86 Windows program with MinGW-w64. The -posix
# compilers: GoogleTest needs std::mutex, which the -win32 ones lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

if(NOT DEFINED HWID_MINGW_TRIPLET)
  set(HWID_MINGW_TRIPLET i686-w64-mingw32)
endif()

# Stop before compiler detection when the cross compiler is missing: a
# failed detection would leave the release flags empty in the cache for
# good (see the top-level CMakeLists.txt).
find_program(HWID_MINGW_CXX ${HWID_MINGW_TRIPLET}-g++-posix NO_CACHE)
if(NOT HWID_MINGW_CXX)
  message(FATAL_ERROR "${HWID_MINGW_TRIPLET}-g++-posix not found. Install the "
          "cross compiler first (apt-get install g++-mingw-w64-i686, or: cat "
          "scripts/windows-packages.txt | xargs bash scripts/install-packages.sh), "
          "then configure again.")
endif()
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

# GoogleTest built from the sources Debian's googletest package installs;
# nothing is downloaded.
set(HWID_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest source tree")
if(NOT EXISTS ${HWID_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in "
          "${HWID_GOOGLETEST_SOURCE_DIR} (apt-get install googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${HWID_GOOGLETEST_SOURCE_DIR}
                 ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GCC 12 warns falsely inside GoogleTest's own string code.
target_compile_options(gtest PRIVATE -Wno-restrict)

include(GoogleTest)

# hwid_add_gtest(NAME SOURCES... LIBRARIES...): one test binary in bin/,
# registered with CTest.
function(hwid_add_gtest name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES")
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest_main
                        hwid_warnings)
  if(CMAKE_CROSSCOMPILING)
    # One Wine start per binary rather than per case. It passes only with
    # exit status 0 and GoogleTest's verdict, so that a binary Wine never
    # ran, or one that crashed after its summary, cannot pass.
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/cmake/expect.sh 0 "^\\[  PASSED  \\] [0-9]+ test"
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()

# hwid_add_program_test(NAME STATUS REGEX TARGET ARGS...): runs a built
# program as a user would (under Wine in the Windows build) and passes only
# when it exits with STATUS and prints a line matching REGEX. Skipped where
# the program cannot run here.
function(hwid_add_program_test name status regex target)
  add_test(NAME ${name}
           COMMAND ${PROJECT_SOURCE_DIR}/cmake/expect.sh ${status} ${regex}
                   ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

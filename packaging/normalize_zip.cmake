# Run by CPack after it has made the Windows zip (CPACK_POST_BUILD_SCRIPTS).
# libarchive stores each file's access and change times, which no build can
# fix, so the zip is made again with Info-ZIP's zip: the same files in the
# same order, with fixed times and no extra fields (-X), times read as UTC.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.zip$")
    continue()
  endif()
  find_program(zip_program zip REQUIRED)
  set(work ${CPACK_TEMPORARY_DIRECTORY}/normalize-zip)
  file(REMOVE_RECURSE ${work})
  file(MAKE_DIRECTORY ${work})
  file(ARCHIVE_EXTRACT INPUT ${package} DESTINATION ${work})
  set(files README.md LICENSE hwid.exe machine-id.exe SHA256SUMS)
  foreach(file IN LISTS files)
    if(NOT EXISTS ${work}/${file})
      message(FATAL_ERROR "${package} lacks ${file}")
    endif()
  endforeach()
  execute_process(COMMAND touch -d @${CPACK_HWID_FILE_TIME} ${files} WORKING_DIRECTORY ${work}
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${package})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${zip_program} -X -D -q -9 ${package} ${files}
                  WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${work})
endforeach()

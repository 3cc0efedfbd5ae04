# What is shipped, and the packages CPack makes of it:
#   Windows: hwid-<version>-win32.zip with hwid.exe, machine-id.exe, README,
#            LICENSE and SHA256SUMS of the two programs;
#   native:  a .tar.gz and a .deb with machine-id, the identifier library,
#            its headers under include/hwid/ and a CMake package config.

include(CMakePackageConfigHelpers)

set(CPACK_PACKAGE_NAME hwid)
set(CPACK_PACKAGE_VENDOR "The HWID authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Machine identifiers: derivation library and machine-id tool")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

# Installed files get this modification time, so that archives do not
# carry the time of the build: SOURCE_DATE_EPOCH when set.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(HWID_FILE_TIME $ENV{SOURCE_DATE_EPOCH})
else()
  set(HWID_FILE_TIME 315532800)  # 1980-01-01, the earliest a zip file holds
endif()
set(CPACK_HWID_FILE_TIME ${HWID_FILE_TIME})  # for normalize_zip.cmake

if(WIN32)
  install(TARGETS hwid machine-id RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
  # SHA256SUMS in sha256sum's format, from the installed programs.
  install(CODE [[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    set(sums "")
    foreach(program hwid.exe machine-id.exe)
      file(SHA256 "${root}/${program}" sum)
      string(APPEND sums "${sum}  ${program}\n")
    endforeach()
    file(WRITE "${root}/SHA256SUMS" "${sums}")
  ]])
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME hwid-${PROJECT_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/normalize_zip.cmake)
else()
  install(TARGETS machine-id RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS hwid_identifier EXPORT hwidTargets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/identifier/machine_id.h
                ${PROJECT_SOURCE_DIR}/identifier/md5.h
                ${PROJECT_SOURCE_DIR}/identifier/md5_constants.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/hwid/identifier)
  set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/hwid)
  install(EXPORT hwidTargets NAMESPACE hwid:: DESTINATION ${config_dir})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/packaging/hwidConfig.cmake.in
                                ${PROJECT_BINARY_DIR}/hwidConfig.cmake
                                INSTALL_DESTINATION ${config_dir})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/hwidConfigVersion.cmake
                                   COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/hwidConfig.cmake
                ${PROJECT_BINARY_DIR}/hwidConfigVersion.cmake
          DESTINATION ${config_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
          DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR "TGZ;DEB")
  set(CPACK_PACKAGE_FILE_NAME hwid-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The HWID authors")
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/cpack_generator_options.cmake)
endif()

install(CODE "
  file(GLOB_RECURSE installed LIST_DIRECTORIES true \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*\")
  if(installed)
    execute_process(COMMAND touch -h -d @${HWID_FILE_TIME} \${installed} COMMAND_ERROR_IS_FATAL ANY)
  endif()
")

include(CPack)

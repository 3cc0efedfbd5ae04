# hwid_add_version_resource(TARGET DESCRIPTION FILE_NAME): gives a Windows
# executable a VERSIONINFO resource with the project's version.
function(hwid_add_version_resource target description file_name)
  set(version_description "${description}")
  set(version_file_name "${file_name}")
  get_filename_component(version_internal_name "${file_name}" NAME_WE)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

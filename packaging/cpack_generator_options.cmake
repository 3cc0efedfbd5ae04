# Read by CPack for each generator: the .deb installs under /usr, the
# archives hold a relocatable tree.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

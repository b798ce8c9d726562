# Read by cpack once per generator: the archives carry the drop-in plug-in folder, the Debian package the
# tools under /usr. Neither carries config.json: unpacking over a server must never replace the admin's.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL tools)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulated game server to try the Heraldix plug-in")
else()
  set(CPACK_COMPONENTS_ALL plugin)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()

# The Debian package rz37m-connect: the payload under /opt/Norvane/RZ-37m, a
# command in /usr/bin, the launcher and icon, the udev rule. scripts/package builds it.

get_property(_sources GLOBAL PROPERTY RZ37M_PAYLOAD_SOURCES)
get_property(_dests GLOBAL PROPERTY RZ37M_PAYLOAD_DESTS)
get_property(_modes GLOBAL PROPERTY RZ37M_PAYLOAD_MODES)
list(LENGTH _sources _count)
math(EXPR _last "${_count} - 1")
foreach(_i RANGE ${_last})
  list(GET _sources ${_i} _src)
  list(GET _dests ${_i} _dest)
  list(GET _modes ${_i} _mode)
  get_filename_component(_dir ${_dest} DIRECTORY)
  get_filename_component(_name ${_dest} NAME)
  if(_mode STREQUAL "755")
    set(_perm OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  else()
    set(_perm OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
  install(FILES ${_src} DESTINATION ${RZ37M_PAYLOAD_DEST}/${_dir} RENAME ${_name} PERMISSIONS ${_perm})
endforeach()

set(_pkg ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${_pkg})
file(CREATE_LINK /${RZ37M_PAYLOAD_DEST}/RZ-37m ${_pkg}/rz37m-connect SYMBOLIC)
install(FILES ${_pkg}/rz37m-connect DESTINATION usr/bin)
install(FILES ${CMAKE_SOURCE_DIR}/setup/package/rz37m-connect.desktop DESTINATION usr/share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/setup/payload/rz37m-connect.svg
        DESTINATION usr/share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/setup/payload/udev/70-rz37m-connect.rules
        DESTINATION usr/lib/udev/rules.d)
install(FILES ${CMAKE_SOURCE_DIR}/setup/package/copyright DESTINATION usr/share/doc/rz37m-connect)
install(FILES ${CMAKE_SOURCE_DIR}/setup/package/lintian-overrides
        DESTINATION usr/share/lintian/overrides RENAME rz37m-connect)
# A native package's changelog, compressed the way dpkg tools expect it.
add_custom_command(
  OUTPUT ${_pkg}/changelog.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/setup/package/changelog > ${_pkg}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/setup/package/changelog)
add_custom_command(
  OUTPUT ${_pkg}/rz37m-connect.1.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/setup/package/rz37m-connect.1 > ${_pkg}/rz37m-connect.1.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/setup/package/rz37m-connect.1)
install(FILES ${_pkg}/rz37m-connect.1.gz DESTINATION usr/share/man/man1)
add_custom_target(rz37m_package_files ALL DEPENDS ${_pkg}/changelog.gz ${_pkg}/rz37m-connect.1.gz ${RZ37M_PAYLOAD_DIR}/RZ-37m
                                                  ${RZ37M_PAYLOAD_DIR}/rz37m-udev.tar.gz)
install(FILES ${_pkg}/changelog.gz DESTINATION usr/share/doc/rz37m-connect)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rz37m-connect)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "Norvane <support@norvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of the RZ-37m metal stress indicator")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "RZ-37m connect downloads the Br measurements stored in the RZ-37m metal\n\
stress indicator and the RZ-48 scanner over their USB-to-serial adapters,\n\
shows them as linear, circular, contour and surface charts, removes trends,\n\
converts Br to mechanical stress, and saves and exports the results.")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/setup/package/postinst ${CMAKE_SOURCE_DIR}/setup/package/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

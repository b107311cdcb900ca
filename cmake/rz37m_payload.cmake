# The one list of what an installation holds. Setup carries these files inside
# itself and the Debian package installs the same files under /opt; a test
# compares the two trees.
#
# rz37m_payload_file(<source> <path in the application folder> <octal mode>)
function(rz37m_payload_file SOURCE DEST MODE)
  set_property(GLOBAL APPEND PROPERTY RZ37M_PAYLOAD_LINES "${MODE}\t${DEST}\t${SOURCE}")
  set_property(GLOBAL APPEND PROPERTY RZ37M_PAYLOAD_SOURCES "${SOURCE}")
  set_property(GLOBAL APPEND PROPERTY RZ37M_PAYLOAD_DESTS "${DEST}")
  set_property(GLOBAL APPEND PROPERTY RZ37M_PAYLOAD_MODES "${MODE}")
endfunction()

set(RZ37M_PAYLOAD_DIR ${CMAKE_BINARY_DIR}/payload)
set(RZ37M_PAYLOAD_DEST opt/Norvane/RZ-37m)

# The program without its debugging symbols: what users run needs none of them.
add_custom_command(
  OUTPUT ${RZ37M_PAYLOAD_DIR}/RZ-37m
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RZ37M_PAYLOAD_DIR}
  COMMAND ${CMAKE_STRIP} --strip-all -o ${RZ37M_PAYLOAD_DIR}/RZ-37m $<TARGET_FILE:RZ-37m>
  DEPENDS RZ-37m
  COMMENT "Stripping RZ-37m for the installation")

# The udev rule, its README and its install script, packed as the driver archives.
set(_udev ${CMAKE_SOURCE_DIR}/setup/payload/udev)
set(_udev_files ${_udev}/70-rz37m-connect.rules ${_udev}/README ${_udev}/install.sh)
add_custom_command(
  OUTPUT ${RZ37M_PAYLOAD_DIR}/rz37m-udev.tar.gz
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${RZ37M_PAYLOAD_DIR}/udev-stage
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RZ37M_PAYLOAD_DIR}/udev-stage
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${_udev} ${RZ37M_PAYLOAD_DIR}/udev-stage/rz37m-udev
  # The same bytes on every build: fixed order, owner and times, no name or time in gzip.
  COMMAND tar -C ${RZ37M_PAYLOAD_DIR}/udev-stage --sort=name --owner=0 --group=0 --numeric-owner
          --mtime=@1767225600 -cf - rz37m-udev | gzip -9n > ${RZ37M_PAYLOAD_DIR}/rz37m-udev.tar.gz
  DEPENDS ${_udev_files}
  COMMENT "Packing the udev rule archive")

rz37m_payload_file(${RZ37M_PAYLOAD_DIR}/RZ-37m RZ-37m 755)
rz37m_payload_file(${CMAKE_SOURCE_DIR}/setup/payload/Config.ini Config.ini 644)
rz37m_payload_file(${CMAKE_SOURCE_DIR}/app/analysis/Stress_DB.csv Stress_DB.csv 644)
# The manuals are built from docs/ sources; RZ37M_MANUALS lists their PDFs.
foreach(_manual IN LISTS RZ37M_MANUALS)
  get_filename_component(_name ${_manual} NAME)
  rz37m_payload_file(${_manual} ${_name} 644)
endforeach()
rz37m_payload_file(${CMAKE_SOURCE_DIR}/setup/payload/rz37m-connect.svg rz37m-connect.svg 644)
rz37m_payload_file(${RZ37M_PAYLOAD_DIR}/rz37m-udev.tar.gz VCP/Lin/X64/rz37m-udev.tar.gz 644)
rz37m_payload_file(${RZ37M_PAYLOAD_DIR}/rz37m-udev.tar.gz VCP/Lin/X86/rz37m-udev.tar.gz 644)

get_property(_lines GLOBAL PROPERTY RZ37M_PAYLOAD_LINES)
string(REPLACE ";" "\n" _lines "${_lines}")
file(GENERATE OUTPUT ${RZ37M_PAYLOAD_DIR}/payload.list CONTENT "${_lines}\n")

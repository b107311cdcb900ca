# The three manuals were built as PDFs whose text holds their key headings.
# Run as: cmake -DPDFTOTEXT=... -DBIN=... -P check_manuals.cmake
function(expect_text pdf)
  if(NOT EXISTS "${BIN}/${pdf}")
    message(FATAL_ERROR "${BIN}/${pdf} was not built")
  endif()
  execute_process(COMMAND "${PDFTOTEXT}" "${BIN}/${pdf}" - OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${pdf} is not a readable PDF (pdftotext: ${rc})")
  endif()
  # Line breaks of the layout become blanks, so a heading may wrap.
  string(REGEX REPLACE "[ \r\n]+" " " text "${text}")
  # The typesetter joins f+i and f+l into ligatures.
  string(REPLACE "ﬁ" "fi" text "${text}")
  string(REPLACE "ﬂ" "fl" text "${text}")
  # A ";" cannot stand in a CMake list item: "[" stands for it in the headings.
  string(REPLACE ";" "[" text "${text}")
  foreach(heading IN LISTS ARGN)
    string(FIND "${text}" "${heading}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${pdf} lacks \"${heading}\"")
    endif()
  endforeach()
endfunction()

expect_text(EN_Program_manual.pdf
  "RZ-37m connect — Application manual" "Menus" "Receive data" "Open the stress database"
  "Convert to stress (MPa)" "Arrange by record" "Linear chart" "Circular chart"
  "Contour plot 3x12" "Surface (custom)" "The instrument's files" "Stress_DB.csv"
  "Apply item" "Save DB" "Reload DB" "Export to Excel file (XLS)" "Settings (Config.ini)"
  "StressDBItem" "Transparent3D" "Troubleshooting the connection on Linux" "dialout"
  "idVendor}==\"0403\"" "The port is in use" "Measurement files (CSV)" "10:42:05[05,43")
expect_text(EN_RZ-37m_manual.pdf
  "RZ-37m metal stress indicator" "Connecting the RZ-37m" "Identification" "RZ-37m SN01234"
  "The clock" "Synchronize clock" "The stored files" "Delete all" "What each view shows for the RZ-37m")
expect_text(EN_RZ-48_manual.pdf
  "RZ-48 metal stress scanner" "Connecting the RZ-48" "Identification" "RZ-48 SN01234"
  "The clock" "Synchronize clock" "The stored files" "What each view shows for the RZ-48")

# Shared build settings: warnings and sanitizers are set per target, never by
# overwriting CMAKE_CXX_FLAGS.
function(rz37m_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
  if(RZ37M_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# rz37m_add_test(NAME <name> SOURCES <files...> LIBS <targets...> LABEL core|gui|gl [TIMEOUT s])
# core tests run anywhere; gui tests on the offscreen platform; gl tests under xvfb-run.
function(rz37m_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(RZ37M_CORE_ONLY AND NOT T_LABEL STREQUAL "core")
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  rz37m_target_defaults(${T_NAME})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    RZ37M_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    RZ37M_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  if(T_LABEL STREQUAL "gl")
    add_test(NAME ${T_NAME} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${T_NAME}>)
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT})
  if(T_LABEL STREQUAL "gui")
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

# RZ37M_FUZZ builds the libFuzzer programs of tests/fuzz with clang (scripts/fuzz);
# RZ37M_TSAN builds with ThreadSanitizer to run the serial-port and file-exchange
# tests. Both go with RZ37M_CORE_ONLY.
option(RZ37M_FUZZ "Build the libFuzzer targets (clang only)" OFF)
option(RZ37M_TSAN "Build with ThreadSanitizer" OFF)

# Shared build settings: warnings and sanitizers are set per target, never by
# overwriting CMAKE_CXX_FLAGS.
function(rz37m_target_defaults target)
  if(RZ37M_FUZZ)
    # Another compiler sees other warnings; the normal build keeps them errors.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
  endif()
  if(RZ37M_SANITIZE)
    # GCC leaves float-cast-overflow out of "undefined": a real too big for its
    # integer would pass unseen.
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined,float-cast-overflow
                                             -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined,float-cast-overflow)
  endif()
  if(RZ37M_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined,float-cast-overflow
                                             -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined,float-cast-overflow)
  endif()
  if(RZ37M_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
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

# add_native_test(NAME <name> SOURCES <files...> [LIBS <targets...>])
#   a GoogleTest executable registered with CTest.
# add_octave_test(<file.m>)
#   one CTest entry that runs the test blocks of <file.m> in octave-cli with
#   the built plug-ins, the test-only plug-ins (TEST_MEX_DIR) and tests/octave
#   on the path; it fails on any failed block and on a file without tests.

find_package(GTest REQUIRED)

set(TEST_MEX_DIR "${CMAKE_BINARY_DIR}/test-mex")

function(add_native_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_options(${T_NAME} PRIVATE ${STRICT_WARNINGS})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
endfunction()

set(OCTAVE_TEST_ENV "")
if(SANITIZE)
  # octave-cli itself is not instrumented, so the sanitizer runtime has to be
  # loaded first for the instrumented plug-ins to find it.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                  OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libubsan.so
                  OUTPUT_VARIABLE ubsan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(OCTAVE_TEST_ENV
      "LD_PRELOAD=${asan_runtime}:${ubsan_runtime}"
      # Octave's own allocations are not ours to judge.
      "ASAN_OPTIONS=detect_leaks=0:alloc_dealloc_mismatch=0:new_delete_type_mismatch=0"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()

function(add_octave_test file)
  get_filename_component(test_name "${file}" NAME_WE)
  get_filename_component(test_path "${file}" ABSOLUTE)
  set(test_dir "${PROJECT_SOURCE_DIR}/tests/octave")
  add_test(NAME octave_${test_name}
    COMMAND ${OCTAVE_CLI} --norc --no-history --quiet --no-gui --eval
      "addpath('${MEX_OUTPUT_DIR}'); addpath('${TEST_MEX_DIR}'); addpath('${test_dir}'); exit(!test('${test_path}', 'quiet', stdout))")
  if(OCTAVE_TEST_ENV)
    set_tests_properties(octave_${test_name} PROPERTIES ENVIRONMENT "${OCTAVE_TEST_ENV}")
  endif()
endfunction()

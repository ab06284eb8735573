# The libFuzzer target of the TIFF walker. libFuzzer comes with clang, not
# with the g++ that builds everything else, so clang++ is called directly on
# the walker's sources. Registered as a short bounded test of the normal
# build (the target carries its own AddressSanitizer); skipped, with a note,
# where clang or its fuzzing runtime is missing.
find_program(FUZZ_CLANGXX NAMES clang++ clang++-14)
set(fuzz_ok FALSE)
if(FUZZ_CLANGXX AND NOT SANITIZE)
  set(probe_dir "${CMAKE_BINARY_DIR}/fuzz/probe")
  file(MAKE_DIRECTORY "${probe_dir}")
  file(WRITE "${probe_dir}/probe.cpp"
       "extern \"C\" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n")
  execute_process(COMMAND ${FUZZ_CLANGXX} -fsanitize=fuzzer,address "${probe_dir}/probe.cpp"
                          -o "${probe_dir}/probe"
                  RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
  if(probe_result EQUAL 0)
    set(fuzz_ok TRUE)
  endif()
endif()

if(fuzz_ok)
  set(fuzz_bin "${CMAKE_BINARY_DIR}/fuzz/tiff_walk_fuzz")
  set(fuzz_sources "${PROJECT_SOURCE_DIR}/tiff/tiff_walk.cpp" "${PROJECT_SOURCE_DIR}/tests/fuzz/tiff_walk_fuzz.cpp")
  add_custom_command(OUTPUT "${fuzz_bin}"
    COMMAND ${FUZZ_CLANGXX} -std=c++17 -g -O1 -ffp-contract=off -D_FILE_OFFSET_BITS=64
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
            -I "${PROJECT_SOURCE_DIR}" ${fuzz_sources} -o "${fuzz_bin}"
    DEPENDS ${fuzz_sources} "${PROJECT_SOURCE_DIR}/tiff/tiff_walk.h"
    COMMENT "Building the TIFF walker fuzz target with clang"
    VERBATIM)
  add_custom_target(tiff_walk_fuzz ALL DEPENDS "${fuzz_bin}")
  add_test(NAME tiff_walk_fuzz
    COMMAND sh "${PROJECT_SOURCE_DIR}/tests/fuzz/run_fuzz.sh" "${fuzz_bin}" "${CMAKE_BINARY_DIR}/fuzz/work" 20)
elseif(NOT SANITIZE)
  message(STATUS "clang++ with libFuzzer not found: the TIFF walker fuzz target is not built")
endif()

# Finds the MEX host and provides add_plugin().
#
# add_plugin(NAME <name> SOURCES <files...> [LIBS <targets...>] [HELP <file.m>])
#   builds <name>.mex (or the MATLAB suffix) into MEX_OUTPUT_DIR and copies the
#   help file beside it, so that one addpath() makes the plug-in and its help
#   usable.

if(MEX_HOST STREQUAL "Octave")
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(OCTINTERP QUIET IMPORTED_TARGET octinterp)
  endif()
  add_library(mex_host_api INTERFACE)
  if(OCTINTERP_FOUND)
    target_link_libraries(mex_host_api INTERFACE PkgConfig::OCTINTERP)
    # The package names the folder above the one that holds mex.h.
    foreach(dir ${OCTINTERP_INCLUDE_DIRS})
      target_include_directories(mex_host_api INTERFACE "${dir}/octave")
    endforeach()
  else()
    find_program(MKOCTFILE mkoctfile REQUIRED)
    execute_process(COMMAND ${MKOCTFILE} -p OCTINCLUDEDIR OUTPUT_VARIABLE oct_inc OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${MKOCTFILE} -p OCTLIBDIR OUTPUT_VARIABLE oct_lib OUTPUT_STRIP_TRAILING_WHITESPACE)
    target_include_directories(mex_host_api INTERFACE "${oct_inc}" "${oct_inc}/..")
    target_link_directories(mex_host_api INTERFACE "${oct_lib}")
    target_link_libraries(mex_host_api INTERFACE octinterp octave)
  endif()
  find_program(OCTAVE_CLI octave-cli REQUIRED)
elseif(MEX_HOST STREQUAL "MATLAB")
  find_package(Matlab REQUIRED COMPONENTS MX_LIBRARY)
  add_library(mex_host_api INTERFACE)
  target_include_directories(mex_host_api INTERFACE ${Matlab_INCLUDE_DIRS})
  # The plug-ins use the 32-bit dimension interface of the host.
  target_compile_definitions(mex_host_api INTERFACE MX_COMPAT_32 MATLAB_DEFAULT_RELEASE=R2017b)
else()
  message(FATAL_ERROR "MEX_HOST must be Octave or MATLAB, not '${MEX_HOST}'")
endif()

add_custom_target(plugins)

function(add_plugin)
  cmake_parse_arguments(P "" "NAME;HELP" "SOURCES;LIBS" ${ARGN})
  if(MEX_HOST STREQUAL "Octave")
    add_library(${P_NAME} MODULE ${P_SOURCES})
    set_target_properties(${P_NAME} PROPERTIES PREFIX "" SUFFIX ".mex")
    target_link_libraries(${P_NAME} PRIVATE host ${P_LIBS} mex_host_api)
    # A symbol missing from the host library should fail the build, not the call.
    target_link_options(${P_NAME} PRIVATE -Wl,--no-undefined)
  else()
    matlab_add_mex(NAME ${P_NAME} MODULE SRC ${P_SOURCES} LINK_TO host ${P_LIBS} R2017b)
  endif()
  add_dependencies(plugins ${P_NAME})
  set_target_properties(${P_NAME} PROPERTIES LIBRARY_OUTPUT_DIRECTORY "${MEX_OUTPUT_DIR}")
  target_compile_options(${P_NAME} PRIVATE ${STRICT_WARNINGS})
  if(P_HELP)
    configure_file("${P_HELP}" "${MEX_OUTPUT_DIR}/${P_NAME}.m" COPYONLY)
  endif()
endfunction()

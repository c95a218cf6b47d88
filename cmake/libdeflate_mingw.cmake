# libdeflate for the Windows build. Debian has no MinGW-w64 build of it, so
# this compiles Debian's own source package with its own Makefile into a
# static library, once per build folder, at the version the Linux build
# links (the same compressor, so both builds write the same bytes).
# `apt-get source` needs a deb-src line for the Debian archive and dpkg-dev
# (`.ci/install-packages tests` sees to both).
set(LIBDEFLATE_SOURCE_ROOT ${CMAKE_BINARY_DIR}/libdeflate-source)
file(GLOB LIBDEFLATE_SOURCE_DIR LIST_DIRECTORIES true ${LIBDEFLATE_SOURCE_ROOT}/libdeflate-*)
if(NOT LIBDEFLATE_SOURCE_DIR)
  # The version of libdeflate-dev when it is installed, else apt's candidate.
  execute_process(COMMAND dpkg-query -W -f=\${Version} libdeflate-dev
    OUTPUT_VARIABLE LIBDEFLATE_VERSION ERROR_QUIET RESULT_VARIABLE unused)
  set(LIBDEFLATE_PACKAGE libdeflate)
  if(LIBDEFLATE_VERSION)
    set(LIBDEFLATE_PACKAGE libdeflate=${LIBDEFLATE_VERSION})
  endif()
  file(MAKE_DIRECTORY ${LIBDEFLATE_SOURCE_ROOT})
  message(STATUS "Fetching Debian's source package ${LIBDEFLATE_PACKAGE}")
  execute_process(COMMAND apt-get source ${LIBDEFLATE_PACKAGE} WORKING_DIRECTORY ${LIBDEFLATE_SOURCE_ROOT}
    RESULT_VARIABLE fetched OUTPUT_QUIET ERROR_VARIABLE fetchErrors)
  file(GLOB LIBDEFLATE_SOURCE_DIR LIST_DIRECTORIES true ${LIBDEFLATE_SOURCE_ROOT}/libdeflate-*)
  if(NOT fetched EQUAL 0 OR NOT LIBDEFLATE_SOURCE_DIR)
    file(REMOVE_RECURSE ${LIBDEFLATE_SOURCE_ROOT})
    message(FATAL_ERROR "Unable to fetch libdeflate's source package (apt-get source ${LIBDEFLATE_PACKAGE}); "
      "apt needs a deb-src line for your Debian archive and dpkg-dev (.ci/install-packages tests adds both):\n"
      "${fetchErrors}")
  endif()
endif()

include(ExternalProject)
set(LIBDEFLATE_STATIC ${LIBDEFLATE_SOURCE_DIR}/libdeflatestatic.lib)
ExternalProject_Add(libdeflate_mingw
  SOURCE_DIR ${LIBDEFLATE_SOURCE_DIR}
  BUILD_IN_SOURCE TRUE
  CONFIGURE_COMMAND ""
  BUILD_COMMAND make CC=${MINGW_TRIPLE}-gcc-posix AR=${MINGW_TRIPLE}-ar libdeflatestatic.lib
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${LIBDEFLATE_STATIC})
add_library(libdeflate STATIC IMPORTED)
set_target_properties(libdeflate PROPERTIES IMPORTED_LOCATION ${LIBDEFLATE_STATIC}
  INTERFACE_INCLUDE_DIRECTORIES ${LIBDEFLATE_SOURCE_DIR})
add_dependencies(libdeflate libdeflate_mingw)

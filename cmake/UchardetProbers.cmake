# The detector comes from the installed library. Its UTF-8 and GB18030 probers are
# not exposed by its public interface, so they are compiled here from the library's
# own sources of the same version (fetched by make.sh, never committed).
find_package(PkgConfig REQUIRED)
pkg_check_modules(UCHARDET REQUIRED IMPORTED_TARGET uchardet)

set(UCHARDET_SOURCE_DIR "" CACHE PATH "uchardet source tree of the installed version")
if(NOT UCHARDET_SOURCE_DIR)
  file(GLOB _found LIST_DIRECTORIES true "${CMAKE_BINARY_DIR}/deps/uchardet-*")
  if(_found)
    list(GET _found 0 UCHARDET_SOURCE_DIR)
  endif()
endif()
if(NOT EXISTS "${UCHARDET_SOURCE_DIR}/src/nsUTF8Prober.cpp")
  message(FATAL_ERROR
    "No uchardet source tree found. Either run ./make.sh build, which fetches the "
    "source package of the installed libuchardet-dev, or pass "
    "-DUCHARDET_SOURCE_DIR=<uchardet source tree> to cmake.")
endif()

file(STRINGS "${UCHARDET_SOURCE_DIR}/CMakeLists.txt" _ver_lines REGEX "set \\(?UCHARDET_VERSION_(MAJOR|MINOR|REVISION)")
set(_src_version "")
foreach(_part MAJOR MINOR REVISION)
  foreach(_line IN LISTS _ver_lines)
    if(_line MATCHES "UCHARDET_VERSION_${_part} +([0-9]+)")
      list(APPEND _src_version ${CMAKE_MATCH_1})
    endif()
  endforeach()
endforeach()
list(JOIN _src_version "." _src_version)
if(NOT _src_version STREQUAL UCHARDET_VERSION)
  message(FATAL_ERROR
    "uchardet sources in ${UCHARDET_SOURCE_DIR} are version '${_src_version}', "
    "the installed library is ${UCHARDET_VERSION}; they must be the same.")
endif()
message(STATUS "uchardet probers from ${UCHARDET_SOURCE_DIR} (version ${_src_version})")

set(_s "${UCHARDET_SOURCE_DIR}/src")
add_library(uchardet_probers STATIC
  ${_s}/nsUTF8Prober.cpp
  ${_s}/nsGB2312Prober.cpp
  ${_s}/nsMBCSSM.cpp
  ${_s}/CharDistribution.cpp
  ${_s}/nsCharSetProber.cpp)
target_include_directories(uchardet_probers SYSTEM PUBLIC ${_s})
# Hidden so that these copies never stand in for symbols of the shared library.
set_target_properties(uchardet_probers PROPERTIES
  POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_compile_options(uchardet_probers PRIVATE -w)

# The Windows programs: this tree built again in GORBLUNK_WINDOWS_BUILD (windows/, target
# windows_programs) with the MinGW-w64 toolchain file, whenever that is at hand, but not from
# the sanitizer and fuzz builds. Its programs lie there as in any build: .../setup/Setwright.exe.
set(GORBLUNK_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest's sources, built for the Windows test program (Debian's googletest package)")
set(GORBLUNK_WINDOWS_BUILD "")
if(NOT GORBLUNK_BUILD_WINDOWS_PROGRAMS OR CMAKE_CROSSCOMPILING OR GORBLUNK_SANITIZE
   OR GORBLUNK_FUZZ)
  return()
endif()
find_program(GORBLUNK_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(NOT GORBLUNK_MINGW_CXX)
  message(STATUS "x86_64-w64-mingw32-g++-posix not found: the Windows programs are not built")
  return()
endif()
set(GORBLUNK_WINDOWS_BUILD ${CMAKE_BINARY_DIR}/windows)
# What runs them here, for the tests and benchmarks that do: Wine, on a virtual screen.
find_program(GORBLUNK_WINE wine)
find_program(GORBLUNK_XVFB_RUN xvfb-run)
include(ExternalProject)
ExternalProject_Add(windows_programs
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${GORBLUNK_WINDOWS_BUILD}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
             -DCMAKE_BUILD_TYPE=Release -DGORBLUNK_WERROR=${GORBLUNK_WERROR}
             -DGORBLUNK_BUILD_TESTS=${GORBLUNK_BUILD_TESTS}
             -DGORBLUNK_GTEST_SOURCE_DIR=${GORBLUNK_GTEST_SOURCE_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

# Tests of a cross build: GoogleTest compiled from Debian's sources for the target, and the
# test programs (test discovery included) run under Wine when the target is Windows.
set(VTR8_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources, built for the target")
if(NOT EXISTS "${VTR8_GTEST_SOURCE_DIR}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${VTR8_GTEST_SOURCE_DIR} "
                      "(Debian package googletest), or configure with -DVTR8_BUILD_TESTS=OFF")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${VTR8_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(WIN32 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(VTR8_WINE wine)
  if(NOT VTR8_WINE)
    message(FATAL_ERROR "Running the Windows tests needs Wine (Debian package wine64), "
                        "or configure with -DVTR8_BUILD_TESTS=OFF")
  endif()
  # The MinGW runtime DLLs (libstdc++, libgcc, winpthread) the programs load.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
                  OUTPUT_VARIABLE _libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(_gcc_runtime "${_libgcc}" DIRECTORY)
  set(VTR8_MINGW_RUNTIME_DIRS "${_gcc_runtime}" /usr/x86_64-w64-mingw32/lib)
  string(REPLACE ";" ":" _runtime "${VTR8_MINGW_RUNTIME_DIRS}")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/cmake/wine-run ${VTR8_QT_MINGW} ${_runtime}
      ${CMAKE_BINARY_DIR}/wine)
endif()

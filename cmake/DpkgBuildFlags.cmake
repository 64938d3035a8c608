# The Debian package's compiler and linker flags as dpkg-buildflags gives them, every hardening
# feature on (fortified functions, stack protector, read-only relocations, immediate binding,
# position-independent executables). Included before any target exists.
find_program(VTR8_DPKG_BUILDFLAGS_PROGRAM dpkg-buildflags REQUIRED)
foreach(_kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${VTR8_DPKG_BUILDFLAGS_PROGRAM} --get ${_kind}
    OUTPUT_VARIABLE _dpkg_${_kind} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()
string(APPEND CMAKE_CXX_FLAGS " ${_dpkg_CPPFLAGS} ${_dpkg_CXXFLAGS}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${_dpkg_LDFLAGS}")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${_dpkg_LDFLAGS}")

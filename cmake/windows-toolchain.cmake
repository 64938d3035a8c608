# Cross build for 64-bit Windows from Debian: Debian's MinGW-w64 (cmake/mingw64.cmake) and a Qt
# built for Windows with it, named by the environment variable VTR8_QT_MINGW (the unpacked
# qt-6.4.2-mingw64 folder). Moc, rcc and uic come from the host's Qt of the same version.
if(DEFINED ENV{VTR8_QT_MINGW} AND NOT "$ENV{VTR8_QT_MINGW}" STREQUAL "")
  set(VTR8_QT_MINGW "$ENV{VTR8_QT_MINGW}" CACHE PATH "Qt for Windows (MinGW-w64)" FORCE)
endif()
if(NOT VTR8_QT_MINGW OR NOT EXISTS "${VTR8_QT_MINGW}/lib/cmake/Qt6/qt.toolchain.cmake")
  message(FATAL_ERROR
    "The Windows build needs Qt for Windows (MinGW-w64): set VTR8_QT_MINGW to the unpacked "
    "qt-6.4.2-mingw64 folder, e.g.\n"
    "  mkdir -p ~/.cache/vtr8 && tar -C ~/.cache/vtr8 -xJf qt-6.4.2-mingw64.tar.xz\n"
    "  export VTR8_QT_MINGW=~/.cache/vtr8/qt-6.4.2-mingw64\n"
    "(now: '${VTR8_QT_MINGW}')")
endif()
# try_compile() projects read this file again: hand the folder on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VTR8_QT_MINGW)
set(QT_CHAINLOAD_TOOLCHAIN_FILE "${CMAKE_CURRENT_LIST_DIR}/mingw64.cmake")
include("${VTR8_QT_MINGW}/lib/cmake/Qt6/qt.toolchain.cmake")

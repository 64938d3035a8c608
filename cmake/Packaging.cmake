# Installation and packages: on Windows a folder with the programs, the Qt and MinGW DLLs they
# load, the font of the windows and the report, and the examples (NSIS installer and ZIP);
# elsewhere the usual Linux layout (.deb).
include(GNUInstallDirs)

# Whoever answers for the packages: the Debian Maintainer, the copyright's contact, the
# changelog's signature and the installer's publisher contact all come from here.
set(VTR8_MAINTAINER "ZN VTR8 team <vtr8@zn-mereni.cz>" CACHE STRING "Maintainer of the packages")
set(VTR8_HOMEPAGE "https://www.zn-mereni.cz/vtr8" CACHE STRING "Home page of the packages")
set(VTR8_RELEASE_DATE "Tue, 08 Dec 2026 12:00:00 +0000") # of PROJECT_VERSION, RFC 2822

if(WIN32)
  set(_bin .)
  install(TARGETS vtr8 vtr8ctl RUNTIME DESTINATION ${_bin})
  # Exactly the DLLs the two programs and the plugins below import (objdump -p).
  get_target_property(_qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
  get_filename_component(_qt_bin "${_qt_core}" DIRECTORY)
  get_filename_component(_qt_prefix "${_qt_bin}" DIRECTORY)
  set(_dlls "")
  foreach(_dll Qt6Core Qt6Gui Qt6Widgets Qt6SerialPort Qt6Svg Qt6Charts Qt6Sql)
    list(APPEND _dlls ${_dll}.dll)
    install(FILES ${_qt_bin}/${_dll}.dll DESTINATION ${_bin})
  endforeach()
  # The window's platform and style; vtr8ctl --plot draws offscreen.
  install(FILES ${_qt_prefix}/plugins/platforms/qwindows.dll
                ${_qt_prefix}/plugins/platforms/qoffscreen.dll
          DESTINATION ${_bin}/platforms)
  install(FILES ${_qt_prefix}/plugins/styles/qwindowsvistastyle.dll DESTINATION ${_bin}/styles)
  list(APPEND _dlls platforms/qwindows.dll platforms/qoffscreen.dll styles/qwindowsvistastyle.dll)
  # The history of transfers is an SQLite file, opened through Qt's driver plugin; a team's
  # shared history lives on a PostgreSQL server (the driver and its client library).
  install(FILES ${_qt_prefix}/plugins/sqldrivers/qsqlite.dll DESTINATION ${_bin}/sqldrivers)
  list(APPEND _dlls sqldrivers/qsqlite.dll)
  set(VTR8_PGSQL_MINGW "" CACHE PATH
      "The PostgreSQL driver for Qt for Windows (an unpacked pgsql-15.18-mingw64 folder)")
  if(NOT VTR8_PGSQL_MINGW AND DEFINED ENV{VTR8_PGSQL_MINGW})
    set(VTR8_PGSQL_MINGW "$ENV{VTR8_PGSQL_MINGW}" CACHE PATH "" FORCE)
  endif()
  if(EXISTS "${VTR8_PGSQL_MINGW}/plugins/sqldrivers/qsqlpsql.dll")
    install(FILES ${VTR8_PGSQL_MINGW}/plugins/sqldrivers/qsqlpsql.dll DESTINATION ${_bin}/sqldrivers)
    install(FILES ${VTR8_PGSQL_MINGW}/bin/libpq.dll DESTINATION ${_bin})
    install(FILES ${VTR8_PGSQL_MINGW}/COPYRIGHT-PostgreSQL DESTINATION licenses)
    list(APPEND _dlls sqldrivers/qsqlpsql.dll libpq.dll)
  else()
    message(WARNING "VTR8_PGSQL_MINGW is not set: the packages carry no PostgreSQL driver")
  endif()
  if(CMAKE_CROSSCOMPILING)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
                    OUTPUT_VARIABLE _libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(_gcc_runtime "${_libgcc}" DIRECTORY)
    install(FILES ${_gcc_runtime}/libgcc_s_seh-1.dll ${_gcc_runtime}/libstdc++-6.dll
                  /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
            DESTINATION ${_bin})
    list(APPEND _dlls libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  endif()
  # The carried DLLs without their debugging sections (the programs are stripped by CPack).
  if(CMAKE_STRIP)
    install(CODE "
      foreach(_dll ${_dlls})
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${_dll}\"
                        RESULT_VARIABLE _failed)
        if(_failed)
          message(FATAL_ERROR \"cannot strip \${_dll}\")
        endif()
      endforeach()")
  endif()
  # The windows and the report are laid out for DejaVu Sans; Windows does not have it, and the
  # offscreen drawing of vtr8ctl finds fonts only where it is told. Without the font here the
  # programs fall back to the fonts of Windows.
  set(VTR8_DEJAVU_DIR /usr/share/fonts/truetype/dejavu CACHE PATH "Where DejaVuSans.ttf lies")
  if(EXISTS ${VTR8_DEJAVU_DIR}/DejaVuSans.ttf)
    install(FILES ${VTR8_DEJAVU_DIR}/DejaVuSans.ttf ${VTR8_DEJAVU_DIR}/DejaVuSans-Bold.ttf
            DESTINATION ${_bin}/fonts)
    if(EXISTS /usr/share/doc/fonts-dejavu-core/copyright)
      install(FILES /usr/share/doc/fonts-dejavu-core/copyright DESTINATION licenses
              RENAME DejaVu.txt)
    endif()
  else()
    message(WARNING "DejaVuSans.ttf not found in ${VTR8_DEJAVU_DIR}: the Windows fonts are used")
  endif()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
else()
  install(TARGETS vtr8 vtr8ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(_linux ${PROJECT_SOURCE_DIR}/packaging/linux)
  install(FILES ${_linux}/vtr8.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_linux}/vtr8.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${_linux}/cz.zn.vtr8.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # Written by the build from the option table (src/cli/CMakeLists.txt).
  set(_manual ${PROJECT_BINARY_DIR}/manual)
  install(FILES ${_manual}/vtr8.1.gz ${_manual}/vtr8ctl.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${_manual}/vtr8ctl.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME vtr8ctl)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  # Debian's documentation: the copyright (machine-readable) and a compressed changelog.
  set(_debian ${PROJECT_BINARY_DIR}/debian)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${_debian}/copyright @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${_debian}/changelog @ONLY)
  install(CODE "execute_process(COMMAND gzip -9nf -k \"${_debian}/changelog\" RESULT_VARIABLE _failed)
                if(_failed)
                  message(FATAL_ERROR \"cannot compress the changelog\")
                endif()")
  install(FILES ${_debian}/copyright ${_debian}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME vtr8)
set(CPACK_PACKAGE_VENDOR ZN)
set(CPACK_PACKAGE_CONTACT "${VTR8_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure VTR8 measuring transmitters over a serial port")
set(CPACK_PACKAGE_DESCRIPTION
    "VTR8 programmable measuring transmitters turn a temperature sensor, a\n"
    "thermocouple or a voltage into a 4-20 mA loop current. This package\n"
    "holds vtr8, a Czech window program that edits a transmitter's\n"
    "configuration, checks it against the input's limits, computes the\n"
    "linearization and writes it over a serial port (HART framing at 2400\n"
    "baud), and vtr8ctl, which does the same from a shell and scripts. Both\n"
    "read configurations back, measure, handle the relay comparators and the\n"
    "user note, and record every transfer.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR NSIS ZIP)
  set(CPACK_PACKAGE_FILE_NAME vtr8-${PROJECT_VERSION}-win64)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY VTR8)
  # One key for every version: the next installer finds this one's folder there.
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY VTR8)
  set(CPACK_PACKAGE_EXECUTABLES vtr8 VTR8)
  # The installer's own script (packaging/windows/NSIS.template.in): per-machine or per-user,
  # the earlier version removed wherever it was, the programs in the folder itself.
  set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  # A 64-bit installer for 64-bit programs (it also runs where only 64-bit Wine is installed).
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  set(CPACK_NSIS_DISPLAY_NAME VTR8)
  set(CPACK_NSIS_PACKAGE_NAME VTR8)
  set(CPACK_NSIS_CONTACT "${VTR8_MAINTAINER}")
  set(CPACK_NSIS_URL_INFO_ABOUT "${VTR8_HOMEPAGE}")
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/vtr8.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/vtr8.ico)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  # The installer is named ...-setup.exe; the ZIP keeps the plain name.
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackNames.cmake)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VTR8_HOMEPAGE}")
  # Qt's SQL drivers are plugins loaded at run time (the history file, a team's history on a
  # PostgreSQL server): dpkg-shlibdeps cannot see them. The platform plugins come with
  # libqt6gui6.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
  # Qt's own dialogs in Czech, and the font the windows are laid out for.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
include(CPack)

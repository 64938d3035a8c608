# Installation and packages: on Windows a folder with the programs, the Qt and MinGW DLLs they
# load and the examples (NSIS installer and ZIP); elsewhere the usual Linux layout (.deb).
include(GNUInstallDirs)

if(WIN32)
  set(_bin .)
  install(TARGETS vtr8 vtr8ctl RUNTIME DESTINATION ${_bin})
  # Exactly the DLLs the two programs and the plugins below import (objdump -p).
  get_target_property(_qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
  get_filename_component(_qt_bin "${_qt_core}" DIRECTORY)
  get_filename_component(_qt_prefix "${_qt_bin}" DIRECTORY)
  foreach(_dll Qt6Core Qt6Gui Qt6Widgets Qt6SerialPort Qt6Svg Qt6Charts Qt6Sql)
    install(FILES ${_qt_bin}/${_dll}.dll DESTINATION ${_bin})
  endforeach()
  # The window's platform and style; vtr8ctl --plot draws offscreen.
  install(FILES ${_qt_prefix}/plugins/platforms/qwindows.dll
                ${_qt_prefix}/plugins/platforms/qoffscreen.dll
          DESTINATION ${_bin}/platforms)
  install(FILES ${_qt_prefix}/plugins/styles/qwindowsvistastyle.dll DESTINATION ${_bin}/styles)
  # The history of transfers is an SQLite file, opened through Qt's driver plugin.
  install(FILES ${_qt_prefix}/plugins/sqldrivers/qsqlite.dll DESTINATION ${_bin}/sqldrivers)
  if(CMAKE_CROSSCOMPILING)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
                    OUTPUT_VARIABLE _libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(_gcc_runtime "${_libgcc}" DIRECTORY)
    install(FILES ${_gcc_runtime}/libgcc_s_seh-1.dll ${_gcc_runtime}/libstdc++-6.dll
                  /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
            DESTINATION ${_bin})
  endif()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
else()
  install(TARGETS vtr8 vtr8ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(_linux ${PROJECT_SOURCE_DIR}/packaging/linux)
  install(FILES ${_linux}/vtr8.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_linux}/vtr8.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${_linux}/cz.zn.vtr8.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${_linux}/vtr8.1 ${_linux}/vtr8ctl.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${_linux}/vtr8ctl.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME vtr8ctl)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
endif()

set(CPACK_PACKAGE_NAME vtr8)
set(CPACK_PACKAGE_VENDOR ZN)
set(CPACK_PACKAGE_CONTACT "vtr8 developers <vtr8@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configure VTR8 measuring transmitters over a serial port")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR NSIS ZIP)
  set(CPACK_PACKAGE_FILE_NAME vtr8-${PROJECT_VERSION}-win64)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY VTR8)
  set(CPACK_PACKAGE_EXECUTABLES vtr8 VTR8)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  # A 64-bit installer for 64-bit programs (it also runs where only 64-bit Wine is installed).
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  set(CPACK_NSIS_DISPLAY_NAME VTR8)
  set(CPACK_NSIS_PACKAGE_NAME VTR8)
  set(CPACK_NSIS_MUI_FINISHPAGE_RUN vtr8.exe)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  # The installer is named ...-setup.exe; the ZIP keeps the plain name.
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackNames.cmake)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/vtr8")
  # Qt's plugins (platforms, the SQLite driver) are loaded at run time; dpkg-shlibdeps cannot
  # see them.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
include(CPack)

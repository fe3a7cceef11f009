# Installation and the packages: on Linux the executables, the desktop entry
# and the icon in the usual places and a .deb (cpack -G DEB in the build
# tree); on Windows the two programs in a .zip (cpack in the build tree).
include(GNUInstallDirs)

set(_nw_bindir ${CMAKE_INSTALL_BINDIR})
if(WIN32)
  set(_nw_bindir .) # beside each other at the top of the archive
endif()
foreach(program nodewright nodewright-cli nodewright-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${_nw_bindir})
  endif()
endforeach()

if(TARGET nodewright AND NOT WIN32)
  # The icon is drawn by the program itself; write it as PNG files at build
  # time, in the icon theme's layout.
  set(NW_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
  add_custom_command(
    OUTPUT ${NW_ICON_DIR}/128x128/apps/nodewright.png
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:nodewright> --write-icons ${NW_ICON_DIR}
    DEPENDS nodewright
    COMMENT "Drawing the nodewright icon")
  add_custom_target(nodewright_icons ALL DEPENDS ${NW_ICON_DIR}/128x128/apps/nodewright.png)
  install(DIRECTORY ${NW_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES ${PROJECT_SOURCE_DIR}/res/nodewright.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()

if(NOT WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/ManualsAndCompletion.cmake)
endif()

set(CPACK_PACKAGE_NAME nodewright)
set(CPACK_PACKAGE_VENDOR "Nodewright developers")
set(CPACK_PACKAGE_CONTACT "Nodewright developers <nodewright@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Sets up OLMA Bluetooth serial adapters as one master and two to four slaves")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
  # Each program is one self-contained .exe: the archive holds just them.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  include(CPack)
  return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The summary above is the first line; CPack indents these lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Nodewright configures OLMA Bluetooth serial adapters over a serial line with
AT commands: a guided setting that makes one adapter the master of two, three
or four slaves, a manual setting window, an information report, a register
readback and a factory reset.

The package holds the desktop program (nodewright), the same operations from
a terminal or a script (nodewright-cli, with a doctor that explains why a
serial port cannot be used) and a bench of simulated adapters behind a
pseudo-terminal for trying the programs without hardware (nodewright-sim).")
# What Debian asks of every package's documentation directory: the copyright
# file and the changelog (gzip -9n, so the same sources give the same bytes).
set(NW_DEB_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  string(TIMESTAMP NW_DEB_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
else()
  set(NW_DEB_DATE "Mon, 07 Dec 2026 00:00:00 +0000") # when this version was made
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/deb/changelog.in ${CMAKE_BINARY_DIR}/deb/changelog.Debian
               @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz
  COMMAND gzip -9n -f -k ${CMAKE_BINARY_DIR}/deb/changelog.Debian
  DEPENDS ${CMAKE_BINARY_DIR}/deb/changelog.Debian
  VERBATIM)
add_custom_target(nodewright_deb_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/deb/copyright ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nodewright)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/deb/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME nodewright)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Korean texts of the windows need a font with Hangul; the windows need
# the platform plugins (xcb, wayland).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)

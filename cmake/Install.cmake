# Installing Vexlo like any desktop program, and packaging it for Debian.
#   cmake --install build [--prefix /usr/local]     the programs, menu entry and icon,
#                                                  the server's systemd unit
#   scripts/package                                a .deb made with CPack
# Only the programs that exist in the tree are installed.
include(GNUInstallDirs)

foreach(program vexlo vexlo-server vexlo-lzrw1)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The headless server as a system service, installed but not enabled.
if(TARGET vexlo-server)
  set(VEXLO_SERVER_PATH ${CMAKE_INSTALL_FULL_BINDIR}/vexlo-server)
  set(VEXLO_DOC_DIR ${CMAKE_INSTALL_FULL_DATADIR}/doc/vexlo)
  configure_file(${PROJECT_SOURCE_DIR}/resources/systemd/vexlo-server.service.in
    ${PROJECT_BINARY_DIR}/systemd/vexlo-server.service @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/systemd/vexlo-server.service DESTINATION lib/systemd/system)
endif()

# The menu entry and the icon belong to the game window.
if(TARGET vexlo)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/vexlo.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/vexlo-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME vexlo.png)
  endforeach()
endif()

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vexlo)

# The Debian package (cpack -G DEB in the build tree; scripts/package does it all).
set(CPACK_PACKAGE_NAME vexlo)
set(CPACK_PACKAGE_VENDOR "The Vexlo developers")
# The full version the about window shows: the game's version and its build number.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}.2)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word game: fill in the missing letters, alone or over the network")
set(CPACK_PACKAGE_DESCRIPTION
  "Vexlo is a word game for up to six players over a network, or for one player alone
against the clock. Each round every player gets the same ten five-letter words with
two or three letters missing, and fills them with any dictionary word that fits.
The package holds the game, the headless game server vexlo-server and the tally tool.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Vexlo developers <vexlo@example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.example.com/")
# The Qt 6 libraries the programs link come from dpkg-shlibdeps; the font the
# windows are drawn in is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
include(CPack)

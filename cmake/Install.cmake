# Installing Vexlo like any desktop program, and packaging it for Debian.
#   cmake --install build [--prefix /usr/local]     the programs, menu entry, icons,
#                                                  AppStream metadata, man pages and
#                                                  the server's systemd unit
#   scripts/package                                a .deb made with CPack
# Only the programs that exist in the tree are installed.
include(GNUInstallDirs)

# The Debian package puts the programs where Debian puts games, /usr/games, and adds
# what a Debian package carries (copyright, changelog, lintian's overrides).
option(VEXLO_DEBIAN_LAYOUT "Install as the Debian package does (programs in games/)" OFF)
if(VEXLO_DEBIAN_LAYOUT)
  set(VEXLO_PROGRAM_DIR games)
else()
  set(VEXLO_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
endif()

set(vexlo_programs)
foreach(program vexlo vexlo-server vexlo-lzrw1)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${VEXLO_PROGRAM_DIR})
    # The man page, made with the --help text (app/CMakeLists.txt).
    install(FILES ${PROJECT_BINARY_DIR}/man/man6/${program}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    list(APPEND vexlo_programs ${program})
  endif()
endforeach()

# The headless server as a system service, installed but not enabled.
if(TARGET vexlo-server)
  set(VEXLO_SERVER_PATH ${CMAKE_INSTALL_PREFIX}/${VEXLO_PROGRAM_DIR}/vexlo-server)
  configure_file(${PROJECT_SOURCE_DIR}/resources/systemd/vexlo-server.service.in
    ${PROJECT_BINARY_DIR}/systemd/vexlo-server.service @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/systemd/vexlo-server.service DESTINATION lib/systemd/system)
endif()

# The menu entry, the icons and what software centres show belong to the game window.
if(TARGET vexlo)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/vexlo.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/com.example.vexlo.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/vexlo-${size}.png
      DESTINATION ${icons}/${size}x${size}/apps RENAME vexlo.png)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/vexlo.svg DESTINATION ${icons}/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/vexlo-symbolic.svg DESTINATION ${icons}/symbolic/apps)
endif()

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/vexlo)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.md DESTINATION ${doc_dir})

# The machine-readable copyright file: packaging/debian/copyright.in with the
# licence and the word lists' notice filled in as they stand in the project.
function(vexlo_dep5_text text out_var)
  # Each line indented by one space, an empty line written as " .".
  string(REGEX REPLACE "[ \t]+\n" "\n" text "${text}")
  string(REGEX REPLACE "\n+$" "" text "${text}")
  string(REPLACE "\n" "\n " text " ${text}")
  string(REPLACE "\n \n" "\n .\n" text "${text}")
  string(REPLACE "\n \n" "\n .\n" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" license "${license}")
vexlo_dep5_text("${license}" EXPAT_LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.md notices)
string(FIND "${notices}" "## SCOWL" scowl_at)
string(SUBSTRING "${notices}" ${scowl_at} -1 notices)
string(REGEX MATCH "```\n(.*)\n```" scowl_block "${notices}")
vexlo_dep5_text("${CMAKE_MATCH_1}" SCOWL_NOTICE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.md)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)

if(VEXLO_DEBIAN_LAYOUT)
  # The changelog as Debian keeps it for a package with no Debian revision:
  # changelog.gz, compressed with no time stamp inside.
  set(changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
  add_custom_command(
    OUTPUT ${changelog}
    COMMAND sh -c "gzip -9n -c '${PROJECT_SOURCE_DIR}/packaging/debian/changelog' > '${changelog}'"
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
    VERBATIM)
  add_custom_target(vexlo-changelog ALL DEPENDS ${changelog})
  install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright ${changelog} DESTINATION ${doc_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME vexlo)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${doc_dir})
endif()

# The Debian package (cpack -G DEB in the build tree; scripts/package does it all).
set(CPACK_PACKAGE_NAME vexlo)
set(CPACK_PACKAGE_VENDOR "The Vexlo developers")
# The full version the about window shows: the game's version and its build number.
set(CPACK_PACKAGE_VERSION ${VEXLO_RELEASE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word game: fill in the missing letters, alone or over the network")
# Lines of at most 79 characters (dpkg shows them indented by one).
set(CPACK_PACKAGE_DESCRIPTION
  "Vexlo is a word game for up to six players over a network, or for one
player alone against the clock. Each round every player gets the same ten
five-letter words with two or three letters missing, and fills them with any
dictionary word that fits.
.
The package holds the game, the headless game server vexlo-server with a
systemd unit (installed, not enabled) and the tally tool vexlo-lzrw1.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Vexlo developers <vexlo@example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.com/")
# The Qt 6 libraries the programs link come from dpkg-shlibdeps; the font the
# windows are drawn in is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Maintainer scripts for the server's unit: stopped on removal, never enabled on
# installation (packaging/debian/).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
  ${PROJECT_SOURCE_DIR}/packaging/debian/prerm
  ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

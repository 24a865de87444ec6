# Install rules and the Debian packages. Two components: `game` (the game, its
# data, desktop entry, replay file type, icons, AppStream data and man page) and `server` (the
# world high-score server). The game finds its data at ../share/tidal-lynx
# beside its binary, so an installed tree can be moved as a whole.

include(GNUInstallDirs)

set(TL_SCREENSHOT_BASE_URL "https://tidallynx.org/docs" CACHE STRING
    "Web folder holding main-menu.png and play.png (docs/) for the AppStream screenshots")
set(TL_PACKAGE_CONTACT "The Tidal Lynx developers <packages@tidallynx.org>" CACHE STRING
    "Maintainer field of the Debian packages")
# The date of this version's release, for AppStream and the man page.
set(TL_RELEASE_DATE "2026-12-08")

set(dist_dir ${PROJECT_SOURCE_DIR}/dist)
set(dist_out ${CMAKE_BINARY_DIR}/dist)
configure_file(${dist_dir}/tidal-lynx.desktop.in ${dist_out}/${TL_APP_ID}.desktop @ONLY)
configure_file(${dist_dir}/tidal-lynx.metainfo.xml.in ${dist_out}/${TL_APP_ID}.metainfo.xml @ONLY)
configure_file(${dist_dir}/tidal-lynx.6.in ${dist_out}/tidal-lynx.6 @ONLY)

set(tl_data_dir ${CMAKE_INSTALL_DATADIR}/tidal-lynx)

if(TARGET tidal-lynx)
  install(TARGETS tidal-lynx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)
  install(FILES ${TL_GAME_DIR}/Data/Data.pp DESTINATION ${tl_data_dir}/Data COMPONENT game)
  install(FILES ${TL_GAME_DIR}/sound/1.xm ${TL_GAME_DIR}/sound/2.xm DESTINATION ${tl_data_dir}/sound
          COMPONENT game)
  install(FILES ${dist_out}/${TL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT game)
  install(FILES ${dist_out}/${TL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          COMPONENT game)
  # The replay file type; the packages' triggers and the desktop rebuild the
  # MIME database from this folder.
  install(FILES ${dist_dir}/tidal-lynx-replay.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ${TL_APP_ID}.xml COMPONENT game)
  install(FILES ${dist_out}/tidal-lynx.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
  if(TL_ICON_DIR)
    install(DIRECTORY ${TL_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT game)
  endif()
endif()

# The server's man page and service unit are installed by server/CMakeLists.txt.
if(TARGET tidal-lynx-scores)
  install(TARGETS tidal-lynx-scores RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT server)
endif()

# --- Debian packages: cpack -G DEB in the build folder ---------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidal-lynx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tidal Lynx developers")
set(CPACK_PACKAGE_CONTACT ${TL_PACKAGE_CONTACT})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game)
if(TARGET tidal-lynx-scores)
  list(APPEND CPACK_COMPONENTS_ALL server)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME tidal-lynx)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
# Text needs one scalable font; Wine's Tahoma is the one the game was drawn for.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-dejavu-core | fonts-wine")
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS "fonts-wine, xdg-utils")
# Each description: the summary line, then the long text.
set(CPACK_DEBIAN_GAME_DESCRIPTION "arcade naval shooter on a scrolling sea
Steer an armed ship along the bottom of a scrolling sea, turn its gun and sink
the vessels, aircraft and island guns coming down the screen.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME tidal-lynx-scores)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION games)
set(CPACK_DEBIAN_SERVER_DESCRIPTION "world high-score server for Tidal Lynx
Answers the game's result submissions and serves the world high-score table
over HTTP, keeping the results in SQLite or in a PostgreSQL database shared
by several servers.")

include(CPack)

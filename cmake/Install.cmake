# Install rules and the Debian packages. Two components: `game` (the game, its
# data, desktop entry, replay file type, icons, AppStream data and man page) and `server` (the
# world high-score server). The game finds its data at ../share/tidal-lynx
# beside its binary, so an installed tree can be moved as a whole.

include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/News.cmake)

set(TL_SCREENSHOT_BASE_URL "https://tidallynx.org/docs" CACHE STRING
    "Web folder holding main-menu.png and play.png (docs/) for the AppStream screenshots")
set(TL_PACKAGE_CONTACT "The Tidal Lynx developers <packages@tidallynx.org>" CACHE STRING
    "Maintainer field of the Debian packages")
# NEWS.md lists every release; this version's date goes into the man page.
tl_read_news(${PROJECT_SOURCE_DIR}/NEWS.md)
list(GET TL_NEWS_VERSIONS 0 tl_news_latest)
if(NOT tl_news_latest STREQUAL PROJECT_VERSION)
  message(WARNING "NEWS.md begins with ${tl_news_latest}, not this version ${PROJECT_VERSION}: "
                  "add a `## ${PROJECT_VERSION} (YYYY-MM-DD)` entry before releasing")
endif()
set(TL_RELEASE_DATE ${TL_NEWS_DATE_${tl_news_latest}})
tl_news_appstream(TL_APPSTREAM_RELEASES)

set(dist_dir ${PROJECT_SOURCE_DIR}/dist)
set(dist_out ${CMAKE_BINARY_DIR}/dist)
# The English templates; msgfmt adds every language's name and summary.
set(dist_templates ${dist_out}/templates)
configure_file(${dist_dir}/tidal-lynx.desktop.in ${dist_templates}/${TL_APP_ID}.desktop @ONLY)
configure_file(${dist_dir}/tidal-lynx.metainfo.xml.in ${dist_templates}/${TL_APP_ID}.metainfo.xml
               @ONLY)
tl_translate_dist(desktop ${dist_templates}/${TL_APP_ID}.desktop ${dist_out}/${TL_APP_ID}.desktop)
tl_translate_dist(xml ${dist_templates}/${TL_APP_ID}.metainfo.xml
                  ${dist_out}/${TL_APP_ID}.metainfo.xml)
tl_translate_dist(xml ${dist_dir}/tidal-lynx-replay.xml ${dist_out}/tidal-lynx-replay.xml)
add_custom_target(dist_translations ALL
                  DEPENDS ${dist_out}/${TL_APP_ID}.desktop ${dist_out}/${TL_APP_ID}.metainfo.xml
                          ${dist_out}/tidal-lynx-replay.xml)
configure_file(${dist_dir}/tidal-lynx.6.in ${dist_out}/tidal-lynx.6 @ONLY)

set(tl_data_dir ${CMAKE_INSTALL_DATADIR}/tidal-lynx)

if(TARGET tidal-lynx)
  install(TARGETS tidal-lynx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)
  install(FILES ${TL_GAME_DIR}/Data/Data.pp DESTINATION ${tl_data_dir}/Data COMPONENT game)
  foreach(lang ${TL_LANGUAGES})
    install(FILES ${TL_GAME_DIR}/Data/${lang}/Data.pp DESTINATION ${tl_data_dir}/Data/${lang}
            COMPONENT game)
  endforeach()
  install(FILES ${TL_GAME_DIR}/sound/1.xm ${TL_GAME_DIR}/sound/2.xm DESTINATION ${tl_data_dir}/sound
          COMPONENT game)
  install(FILES ${dist_out}/${TL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT game)
  install(FILES ${dist_out}/${TL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          COMPONENT game)
  # The replay file type; the packages' triggers and the desktop rebuild the
  # MIME database from this folder.
  install(FILES ${dist_out}/tidal-lynx-replay.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ${TL_APP_ID}.xml COMPONENT game)
  install(FILES ${dist_out}/tidal-lynx.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
  if(TL_ICON_DIR)
    install(DIRECTORY ${TL_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT game)
  endif()
endif()

# The service unit is installed by server/CMakeLists.txt. The server's man page
# is written by hand; its title line gets this release's version and date.
if(TARGET tidal-lynx-scores)
  install(TARGETS tidal-lynx-scores RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT server)
  set(tl_server_page ${PROJECT_SOURCE_DIR}/server/tidal-lynx-scores.8)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tl_server_page})
  file(READ ${tl_server_page} tl_page)
  string(REGEX REPLACE "^\\.TH ([^ ]+) 8 [^\n]*\"Tidal Lynx [^\"]*\""
         ".TH \\1 8 \"${TL_RELEASE_DATE}\" \"Tidal Lynx ${PROJECT_VERSION}\"" tl_page "${tl_page}")
  tl_write_if_changed(${dist_out}/tidal-lynx-scores.8 "${tl_page}")
  install(FILES ${dist_out}/tidal-lynx-scores.8 DESTINATION ${CMAKE_INSTALL_MANDIR}/man8 COMPONENT server)
endif()

# --- Debian packages: cpack -G DEB in the build folder ---------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidal-lynx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The packages are version <project version>-<revision>; the revision counts
# packagings of one release.
set(TL_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the packages (the part after the version)")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TL_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SOURCE tidal-lynx)
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
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_DESCRIPTION "world high-score server for Tidal Lynx
Answers the game's result submissions and serves the world high-score table
over HTTP, keeping the results in SQLite or in a PostgreSQL database shared
by several servers.")

set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian's files beside the installed ones, added by cmake/DebianStage.cmake
# when cpack stages the packages: the machine-readable copyright (the tree's
# REUSE file with the licence text) and the changelog made from NEWS.md.
set(tl_debian_dir ${CMAKE_BINARY_DIR}/dist/debian)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/.reuse/dep5
                                                                ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/.reuse/dep5 tl_copyright)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE tl_license)
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" tl_license "${tl_license}")
string(REGEX REPLACE "\n+$" "" tl_license "${tl_license}")
string(REGEX REPLACE "\n\n" "\n.\n" tl_license "${tl_license}")
string(REGEX REPLACE "\n" "\n " tl_license "${tl_license}")
tl_write_if_changed(${tl_debian_dir}/copyright "${tl_copyright}\nLicense: MIT\n ${tl_license}\n")
tl_news_debian_changelog(tl_changelog tidal-lynx ${TL_DEBIAN_REVISION} "${TL_PACKAGE_CONTACT}")
tl_write_if_changed(${tl_debian_dir}/changelog.Debian "${tl_changelog}")
configure_file(${dist_dir}/lintian-overrides ${tl_debian_dir}/lintian-overrides COPYONLY)
set(CPACK_TL_DEBIAN_DIR ${tl_debian_dir})
set(CPACK_TL_DEBIAN_PACKAGES "game=tidal-lynx;server=tidal-lynx-scores")
set(CPACK_TL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_TL_DEBIAN_GAMES_game tidal-lynx)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStage.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianArchive.cmake)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackageTime.cmake)

include(CPack)

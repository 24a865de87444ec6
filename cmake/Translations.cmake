# The translations: po/LINGUAS names the languages besides English; each is
# po/<code>.po. msgfmt checks and compiles every catalogue into the game
# folder (game/locale/<code>/LC_MESSAGES/tidal-lynx.mo, where the build tree's
# game finds them beside its data) and installs them under share/locale. The
# desktop entry, the AppStream data and the replay type get their translated
# names and summaries from the same catalogues.

include(GNUInstallDirs)
find_program(TL_MSGFMT msgfmt REQUIRED)

set(TL_PO_DIR ${PROJECT_SOURCE_DIR}/po)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TL_PO_DIR}/LINGUAS)
file(STRINGS ${TL_PO_DIR}/LINGUAS tl_linguas_lines)
set(TL_LANGUAGES)
foreach(line ${tl_linguas_lines})
  string(STRIP "${line}" line)
  if(line AND NOT line MATCHES "^#")
    list(APPEND TL_LANGUAGES ${line})
  endif()
endforeach()

set(tl_catalogues)
set(tl_po_files)
foreach(lang ${TL_LANGUAGES})
  set(po ${TL_PO_DIR}/${lang}.po)
  set(mo ${TL_GAME_DIR}/locale/${lang}/LC_MESSAGES/tidal-lynx.mo)
  add_custom_command(OUTPUT ${mo}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${TL_GAME_DIR}/locale/${lang}/LC_MESSAGES
                     COMMAND ${TL_MSGFMT} --check -o ${mo} ${po}
                     DEPENDS ${po} VERBATIM)
  list(APPEND tl_catalogues ${mo})
  list(APPEND tl_po_files ${po})
  install(FILES ${mo} DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${lang}/LC_MESSAGES COMPONENT game)
endforeach()

# tl_translate_dist(<mode> <template> <output>): msgfmt --desktop or --xml
# over every language of po/LINGUAS. The template's name decides which XML
# rules gettext applies (*.metainfo.xml, a mime-info *.xml).
function(tl_translate_dist mode template output)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${TL_MSGFMT} --${mode} --template=${template} -d ${TL_PO_DIR} -o ${output}
                     DEPENDS ${template} ${tl_po_files} ${TL_PO_DIR}/LINGUAS VERBATIM)
endfunction()

add_custom_target(translations ALL DEPENDS ${tl_catalogues})

# The pseudo-language en@pseudo (every text 40 % longer, with accented
# letters), built from the template into the game folder for the layout
# checks; it is never installed.
find_program(TL_MSGEN msgen REQUIRED)
find_program(TL_MSGFILTER msgfilter REQUIRED)
add_executable(pseudolocale ${PROJECT_SOURCE_DIR}/tools/pseudolocale/main.cpp)
tl_warnings(pseudolocale)
set(tl_pseudo_po ${CMAKE_BINARY_DIR}/po/en@pseudo.po)
set(TL_PSEUDO_CATALOGUE ${TL_GAME_DIR}/locale/en@pseudo/LC_MESSAGES/tidal-lynx.mo)
add_custom_command(OUTPUT ${TL_PSEUDO_CATALOGUE}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/po
                           ${TL_GAME_DIR}/locale/en@pseudo/LC_MESSAGES
                   COMMAND ${TL_MSGEN} -o ${tl_pseudo_po}.en ${TL_PO_DIR}/tidal-lynx.pot
                   COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${TL_MSGFILTER}
                           --keep-header -i ${tl_pseudo_po}.en -o ${tl_pseudo_po} $<TARGET_FILE:pseudolocale>
                   COMMAND ${TL_MSGFMT} --check-format -o ${TL_PSEUDO_CATALOGUE} ${tl_pseudo_po}
                   DEPENDS ${TL_PO_DIR}/tidal-lynx.pot pseudolocale VERBATIM)
add_custom_target(pseudo_translation ALL DEPENDS ${TL_PSEUDO_CATALOGUE})
set(TL_CATALOGUES ${tl_catalogues} ${TL_PSEUDO_CATALOGUE})

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

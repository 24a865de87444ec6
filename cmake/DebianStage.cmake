# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) on the staged components before the
# Debian packages are made: the layout Debian policy wants. Games in
# /usr/games, compressed man pages, /usr/share/doc/<package>/copyright and
# changelog.Debian.gz, and the lintian overrides with their reasons. A plain
# `cmake --install` stays as upstream lays it out.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
find_program(tl_gzip gzip REQUIRED)

set(tl_file_mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(tl_dir_mode OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

function(tl_gzip_to input output)
  # -n: no name and time stamp in the header, so the bytes depend on the text only.
  execute_process(COMMAND ${tl_gzip} -9nc "${input}" OUTPUT_FILE "${output}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${input} failed: ${rc}")
  endif()
  file(CHMOD "${output}" PERMISSIONS ${tl_file_mode})
endfunction()

foreach(tl_pair IN LISTS CPACK_TL_DEBIAN_PACKAGES)
  string(REPLACE "=" ";" tl_pair "${tl_pair}")
  list(GET tl_pair 0 tl_component)
  list(GET tl_pair 1 tl_package)
  set(tl_usr "${CPACK_TEMPORARY_DIRECTORY}/${tl_component}${CPACK_PACKAGING_INSTALL_PREFIX}")
  if(NOT IS_DIRECTORY "${tl_usr}")
    continue()
  endif()

  # The game's data is found at ../share/tidal-lynx beside its binary, the
  # same from /usr/games as from /usr/bin.
  foreach(tl_game IN LISTS CPACK_TL_DEBIAN_GAMES_${tl_component})
    if(NOT EXISTS "${tl_usr}/bin/${tl_game}")
      continue()
    endif()
    file(MAKE_DIRECTORY "${tl_usr}/games")
    file(CHMOD "${tl_usr}/games" PERMISSIONS ${tl_dir_mode})
    file(RENAME "${tl_usr}/bin/${tl_game}" "${tl_usr}/games/${tl_game}")
    file(GLOB tl_left "${tl_usr}/bin/*")
    if(NOT tl_left)
      file(REMOVE_RECURSE "${tl_usr}/bin")
    endif()
  endforeach()

  # Folders made by install code outside cmake's install rules follow the umask.
  file(GLOB_RECURSE tl_dirs LIST_DIRECTORIES true "${tl_usr}/*")
  foreach(tl_dir IN LISTS tl_dirs)
    if(IS_DIRECTORY "${tl_dir}")
      file(CHMOD "${tl_dir}" PERMISSIONS ${tl_dir_mode})
    endif()
  endforeach()

  file(GLOB_RECURSE tl_pages "${tl_usr}/share/man/*")
  foreach(tl_page IN LISTS tl_pages)
    if(NOT tl_page MATCHES "\\.gz$")
      tl_gzip_to("${tl_page}" "${tl_page}.gz")
      file(REMOVE "${tl_page}")
    endif()
  endforeach()

  set(tl_doc "${tl_usr}/share/doc/${tl_package}")
  file(MAKE_DIRECTORY "${tl_doc}")
  file(CHMOD "${tl_usr}/share" "${tl_usr}/share/doc" "${tl_doc}" PERMISSIONS ${tl_dir_mode})
  file(COPY_FILE "${CPACK_TL_DEBIAN_DIR}/copyright" "${tl_doc}/copyright")
  file(CHMOD "${tl_doc}/copyright" PERMISSIONS ${tl_file_mode})
  tl_gzip_to("${CPACK_TL_DEBIAN_DIR}/changelog.Debian" "${tl_doc}/changelog.Debian.gz")

  set(tl_overrides "${tl_usr}/share/lintian/overrides")
  file(MAKE_DIRECTORY "${tl_overrides}")
  file(CHMOD "${tl_usr}/share/lintian" "${tl_overrides}" PERMISSIONS ${tl_dir_mode})
  file(COPY_FILE "${CPACK_TL_DEBIAN_DIR}/lintian-overrides" "${tl_overrides}/${tl_package}")
  file(CHMOD "${tl_overrides}/${tl_package}" PERMISSIONS ${tl_file_mode})
endforeach()

# Run by cpack after it made the packages (CPACK_POST_BUILD_SCRIPTS). cpack
# gives each member of a package's ar archive the mode of the file it packed,
# which follows the builder's umask; the bytes of a package must not, so every
# member gets 0644, as dpkg-deb writes them.
set(tl_mode "100644  ")
set(tl_mode_file "${CPACK_TOPLEVEL_DIRECTORY}/ar-member-mode")
file(WRITE "${tl_mode_file}" "${tl_mode}")

foreach(tl_deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT tl_deb MATCHES "\\.deb$")
    continue()
  endif()
  file(READ "${tl_deb}" tl_magic LIMIT 8)
  if(NOT tl_magic STREQUAL "!<arch>\n")
    message(FATAL_ERROR "${tl_deb} is not an ar archive")
  endif()
  file(SIZE "${tl_deb}" tl_size)
  # Each member: a 60-byte header (name 16, time 12, owner 6, group 6, mode 8,
  # size 10, end 2), its bytes, and a pad byte after an odd size.
  set(tl_offset 8)
  while(tl_offset LESS tl_size)
    file(READ "${tl_deb}" tl_header OFFSET ${tl_offset} LIMIT 60)
    string(SUBSTRING "${tl_header}" 40 8 tl_member_mode)
    string(SUBSTRING "${tl_header}" 48 10 tl_member_size)
    string(STRIP "${tl_member_size}" tl_member_size)
    if(NOT tl_member_size MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${tl_deb}: no ar member header at byte ${tl_offset}")
    endif()
    if(NOT tl_member_mode STREQUAL tl_mode)
      math(EXPR tl_at "${tl_offset} + 40")
      execute_process(COMMAND dd "of=${tl_deb}" bs=1 seek=${tl_at} conv=notrunc status=none
                      INPUT_FILE "${tl_mode_file}" RESULT_VARIABLE tl_rc)
      if(NOT tl_rc EQUAL 0)
        message(FATAL_ERROR "could not set the member modes of ${tl_deb}")
      endif()
    endif()
    math(EXPR tl_offset "${tl_offset} + 60 + ${tl_member_size} + ${tl_member_size} % 2")
  endwhile()
endforeach()

# Read by cpack (CPACK_PROJECT_CONFIG_FILE) before it packages: every time
# stamp in the packages is SOURCE_DATE_EPOCH. When it is unset, it is the date
# of the checked-out commit, or in a release tarball the one release.sh wrote
# into the file SOURCE_DATE_EPOCH, so two builds of one commit give the same
# bytes.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(tl_epoch "")
  if(EXISTS "${CPACK_TL_SOURCE_DIR}/.git")
    find_program(tl_git git)
    if(tl_git)
      execute_process(COMMAND ${tl_git} -C "${CPACK_TL_SOURCE_DIR}" log -1 --format=%ct
                      OUTPUT_VARIABLE tl_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
  elseif(EXISTS "${CPACK_TL_SOURCE_DIR}/SOURCE_DATE_EPOCH")
    file(STRINGS "${CPACK_TL_SOURCE_DIR}/SOURCE_DATE_EPOCH" tl_epoch LIMIT_COUNT 1)
  endif()
  if(NOT tl_epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No time stamp for the packages: set SOURCE_DATE_EPOCH (seconds since "
                        "1970) or package a git checkout or a release tarball")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${tl_epoch})
endif()

# Builds a distribution can take: the same sources give the same bytes in any
# folder at any time, with the hardening Debian's own packages get.

# Optimised builds are the ones packaged.
if(NOT CMAKE_BUILD_TYPE MATCHES "^(Debug|)$")
  # The build folder and the source folder never reach the objects (__FILE__,
  # debug information): both are mapped to fixed names. The later map wins for
  # the build folder, which lies inside the source folder in the presets.
  # Debug builds keep real paths for the debugger and share one compiler cache
  # between checkouts.
  add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=" "-ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/")

  # The hardening flags of dpkg-buildflags. Fortification needs the optimiser.
  if(NOT TL_FUZZ)
    add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection)
    # A packager's own level (CPPFLAGS from dpkg-buildflags) stays.
    if(NOT "${CMAKE_CXX_FLAGS} ${CMAKE_C_FLAGS}" MATCHES "_FORTIFY_SOURCE")
      add_compile_definitions(_FORTIFY_SOURCE=2)
    endif()
    add_link_options(-Wl,-z,relro -Wl,-z,now)
  endif()
endif()

# Folders made by `cmake --install` and cpack get the same mode under any umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

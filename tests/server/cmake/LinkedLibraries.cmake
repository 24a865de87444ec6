# Fails when the score server loads a library of the game's window, text or
# sound: it plays replays with the game logic alone. Run as
#   cmake -DPROGRAM=<tidal-lynx-scores> -P LinkedLibraries.cmake
# ldd lists what the program loads, directly or through another library.
execute_process(COMMAND ldd "${PROGRAM}" OUTPUT_VARIABLE loaded ERROR_VARIABLE error
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed: ${error}")
endif()
set(forbidden freetype fontconfig SDL2 xmp cairo asound pulse)
set(found "")
foreach(name IN LISTS forbidden)
  if(loaded MATCHES "(^|[\n\t /])lib${name}[-.][^\n]*")
    list(APPEND found "${CMAKE_MATCH_0}")
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "the score server loads libraries it must not:\n${found}")
endif()
message(STATUS "the score server loads none of: ${forbidden}")

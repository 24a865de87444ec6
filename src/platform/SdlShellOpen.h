#pragma once

#include <string>

// Opens `target` (a URL or a file) with the desktop's default handler: runs
// `program` (xdg-open) with the target as its one argument, directly, never
// through a shell, in a session of its own so that it outlives the game, with
// standard input from /dev/null. A helper thread reaps it so that no zombie is
// left behind. Returns whether the program was started; the opener's own
// result is not waited for. Empty targets and targets starting with '-'
// (which the opener would read as an option) start nothing.
bool SdlShellOpen(const std::string& target, const std::string& program = "xdg-open");

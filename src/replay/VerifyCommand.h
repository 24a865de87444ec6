#pragma once

#include <ostream>
#include <string>

// `tidal-lynx --verify-replay FILE [--json]`: reads the file (at most
// kMaxReplayBytes), plays it again without a window or sound and writes the
// verdict to `out` (text, or one JSON object with --json). Returns the exit
// status: 0 it verifies, 1 desync or a different end, 2 unreadable,
// truncated, damaged, another version or over the limits.
int RunVerifyReplay(const std::string& path, bool json, std::ostream& out);

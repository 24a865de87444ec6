#pragma once

#include <cstdint>
#include <string>

// The five user settings, kept for the whole run and stored in "Config.cfg".
struct TOptions {
  static constexpr int32_t kDefaultMinimizeKey = 123;  // F12

  bool WindowedMode = true;  // a window (true) or full screen (false)
  bool SoundOn = true;       // sound effects play
  bool MusicOn = true;       // music plays
  int32_t MinimizeKey =
      kDefaultMinimizeKey;  // Windows virtual-key code; the file keeps its low byte
  std::string PlayerName;   // sent with submitted results

  friend bool operator==(const TOptions&, const TOptions&) = default;
};

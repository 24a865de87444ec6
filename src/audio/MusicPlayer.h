#pragma once

#include <string>

// The music of menus and game: PlayMusic frees the loaded song, loads
// "sound/" + track and plays it from its start, repeating at its end;
// StopMusic frees the loaded song. A missing or unreadable module is silent.
class IMusic {
 public:
  virtual ~IMusic() = default;
  virtual void PlayMusic(const std::string& track) = 0;
  virtual void StopMusic() = 0;
};

class TSilentMusic final : public IMusic {
 public:
  void PlayMusic(const std::string&) override {}
  void StopMusic() override {}
};

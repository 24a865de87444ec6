#pragma once

// Sound and music that remember what they were asked to play, for every test
// that hands the game, the widgets or the form a sink to listen to.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"

class TRecordingSound final : public ISoundEffects {
 public:
  struct TCall {
    int32_t X;
    int32_t Y;
    uint8_t Id;
  };
  void PlaySoundAt(int32_t x, int32_t y, uint8_t id) override { Calls.push_back({x, y, id}); }
  void SetForeground(bool foreground) override { Foreground.push_back(foreground); }
  // How many times effect `id` was played.
  int Count(uint8_t id) const {
    int n = 0;
    for (const TCall& call : Calls) n += call.Id == id ? 1 : 0;
    return n;
  }
  std::vector<TCall> Calls;      // every effect, in order
  std::vector<bool> Foreground;  // every SetForeground, in order
};

class TRecordingMusic final : public IMusic {
 public:
  void PlayMusic(const std::string& track) override { Calls.push_back(kPlay + track); }
  void StopMusic() override { Calls.push_back("stop"); }
  // The tracks started, in order.
  std::vector<std::string> Played() const {
    std::vector<std::string> tracks;
    for (const std::string& call : Calls) {
      if (call.starts_with(kPlay)) tracks.push_back(call.substr(kPlay.size()));
    }
    return tracks;
  }
  int Stops() const {
    int n = 0;
    for (const std::string& call : Calls) n += call == "stop" ? 1 : 0;
    return n;
  }
  std::vector<std::string> Calls;  // "play <track>" and "stop", in order

 private:
  static inline const std::string kPlay = "play ";
};

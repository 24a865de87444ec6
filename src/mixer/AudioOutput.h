#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

class TVoiceMixer;
class TModulePlayer;

// The platform's audio output fed by the effect voices and the music. The
// callback renders in chunks into a buffer allocated up front, adds music and
// voices, and saturates to 16 bits; it never allocates.
class TAudioOutput {
 public:
  static constexpr int kChunkFrames = 1024;

  TAudioOutput(Platform& platform, TVoiceMixer& voices, TModulePlayer& music);
  ~TAudioOutput();
  TAudioOutput(const TAudioOutput&) = delete;
  TAudioOutput& operator=(const TAudioOutput&) = delete;

  // Opens the platform's output at the voices' rate; false when there is no
  // sound device (everything stays silent).
  bool Open();
  // Stops the callback; safe to call twice.
  void Close();
  bool IsOpen() const { return open_; }

  TVoiceMixer& Voices() { return voices_; }

  // The callback body: fills `frames` interleaved stereo frames.
  void Render(int16_t* samples, int frames);

 private:
  Platform& platform_;
  TVoiceMixer& voices_;
  TModulePlayer& music_;
  std::vector<int32_t> accum_;
  bool open_ = false;
};

#pragma once

#include <cstdint>

#include "assets/SoundList.h"

// The one way effects are played. Does nothing while sound is off; otherwise
// pan (x - 400) x 10 and volume y - 800, in hundredths of a decibel.
class ISoundEffects {
 public:
  virtual ~ISoundEffects() = default;
  virtual void PlaySoundAt(int32_t x, int32_t y, uint8_t id) = 0;
  // The window gained (true) or lost the foreground: effects without a focus
  // flag fall silent in the background. A sink without a device ignores it.
  virtual void SetForeground(bool /*foreground*/) {}
};

// A sink that plays nothing: the failure path when there is no sound device,
// and what tests pass when they do not listen.
class TSilentSoundEffects final : public ISoundEffects {
 public:
  void PlaySoundAt(int32_t, int32_t, uint8_t) override {}
};

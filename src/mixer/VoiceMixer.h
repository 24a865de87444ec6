#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "mixer/MixVoice.h"

// The fixed set of voices shared by the game thread (which starts, stops and
// adjusts them) and the audio thread (which mixes them). One mutex guards the
// voices; the game thread holds it for single field updates, the audio thread
// for one mixing pass over at most a chunk of frames. Nothing here allocates
// after construction.
class TVoiceMixer {
 public:
  static constexpr int kVoiceCount = 64;

  struct TVoiceStart {
    const uint8_t* Data = nullptr;
    uint32_t Frames = 0;
    uint16_t Channels = 1;
    uint16_t Bits = 8;
    uint32_t Rate = 0;        // source frames per second
    uint32_t StartFrame = 0;  // where playing begins
    int32_t Pan = 0;
    int32_t Volume = 0;
    bool Looping = false;
    bool NeedsFocus = false;  // muted while the window is in the background
  };

  explicit TVoiceMixer(int outputRate = kOutputRate) : outputRate_(outputRate) {}
  TVoiceMixer(const TVoiceMixer&) = delete;
  TVoiceMixer& operator=(const TVoiceMixer&) = delete;

  int OutputRate() const { return outputRate_; }

  // Starts a voice for `owner`; returns its slot, or -1 when every voice is busy.
  int Start(const void* owner, const TVoiceStart& start);
  // These act only while `slot` still sounds for `owner`.
  void Stop(int slot, const void* owner);
  bool IsPlaying(int slot, const void* owner) const;
  // Current source frame, or `fallback` when the voice no longer sounds.
  uint32_t Position(int slot, const void* owner, uint32_t fallback) const;
  void SetPosition(int slot, const void* owner, uint32_t frame);
  void SetGains(int slot, const void* owner, int32_t pan, int32_t volume);
  void SetRate(int slot, const void* owner, uint32_t rate);
  void SetLooping(int slot, const void* owner, bool looping);

  int ActiveCount() const;

  // Whether the game window has the foreground; voices that need the focus
  // are muted while it does not.
  void SetForeground(bool foreground);

  // Audio thread: adds `frames` frames of every sounding voice into `accum`.
  void MixAdd(int32_t* accum, int frames);

 private:
  TMixVoice* Find(int slot, const void* owner);
  const TMixVoice* Find(int slot, const void* owner) const;

  const int outputRate_;
  mutable std::mutex mutex_;
  std::array<TMixVoice, kVoiceCount> voices_{};
  bool foreground_ = true;
};

#pragma once

#include <cstdint>
#include <span>

// Output of the software sound device: signed 16-bit stereo at this rate.
inline constexpr int kOutputRate = 44100;

// Pan and volume in hundredths of a decibel, with DirectSound's ranges.
inline constexpr int32_t kPanLeft = -10000;
inline constexpr int32_t kPanRight = 10000;
inline constexpr int32_t kVolumeMin = -10000;
inline constexpr int32_t kVolumeMax = 0;

// One sounding buffer as the mixer sees it. The sample memory is not owned;
// whoever starts a voice keeps the memory alive until the voice is stopped.
struct TMixVoice {
  const uint8_t* Data = nullptr;  // interleaved sample frames
  uint32_t Frames = 0;            // whole frames in Data
  uint16_t Channels = 1;          // 1 or 2
  uint16_t Bits = 8;              // 8 (unsigned, centred on 128) or 16 (signed little-endian)
  uint64_t Position = 0;          // source frame, 32.32 fixed point
  uint64_t Step = 0;              // source frames per output frame, 32.32 fixed point
  float GainLeft = 1.0f;
  float GainRight = 1.0f;
  bool Active = false;
  bool Looping = false;
  // Without a focus flag (sticky or global) the voice is muted while the
  // window is in the background; it keeps advancing, as a muted buffer does.
  bool NeedsFocus = false;
  const void* Owner = nullptr;  // the buffer that started the voice
};

// Linear gain of an attenuation in hundredths of a decibel: 10^(h / 2000);
// exactly 0 at or below -10000 (DirectSound's silence).
float DecibelGain(int32_t hundredths);

// Channel gains of a pan and volume: the volume scales both sides, a pan
// attenuates the opposite side by its amount.
void VoiceGains(int32_t pan, int32_t volume, float& left, float& right);

// Source frames per output frame for a sample rate, in 32.32 fixed point.
uint64_t VoiceStep(uint32_t sourceRate, uint32_t outputRate);

// Adds `frames` stereo frames of every active voice into `accum` (interleaved
// left, right), resampling with linear interpolation and advancing each
// voice. A one-shot voice that reaches its end becomes inactive; a looping
// voice wraps. With `foreground` false, voices that need the focus advance
// without adding anything. Allocates nothing.
void MixVoices(std::span<TMixVoice> voices, int32_t* accum, int frames, bool foreground = true);

// Copies `samples` values to 16-bit, saturating instead of wrapping around.
void SaturateToPcm16(const int32_t* accum, int16_t* out, int samples);

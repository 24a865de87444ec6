#include "mixer/MixVoice.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint64_t kOne = uint64_t{1} << 32;

// One channel of one frame, centred and scaled to the 16-bit range.
inline float SampleAt(const TMixVoice& v, uint32_t frame, int channel) {
  const int ch = v.Channels > 1 ? channel : 0;
  if (v.Bits == 16) {
    const uint8_t* p = v.Data + (static_cast<size_t>(frame) * v.Channels + ch) * 2;
    return static_cast<float>(static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))));
  }
  const uint8_t s = v.Data[static_cast<size_t>(frame) * v.Channels + ch];
  return static_cast<float>((static_cast<int>(s) - 128) * 256);
}

// A muted voice goes on playing without being heard: it only moves on.
void MixOne(TMixVoice& v, int32_t* accum, int frames, bool muted) {
  const uint64_t length = static_cast<uint64_t>(v.Frames) << 32;
  for (int i = 0; i < frames; ++i) {
    if (v.Position >= length) {
      if (!v.Looping) {
        v.Active = false;
        return;
      }
      v.Position %= length;
    }
    if (muted) {
      v.Position += v.Step;
      continue;
    }
    const auto frame = static_cast<uint32_t>(v.Position >> 32);
    uint32_t next = frame + 1;
    if (next >= v.Frames) next = v.Looping ? 0 : frame;
    const float frac = static_cast<float>(v.Position & (kOne - 1)) * (1.0f / 4294967296.0f);
    const float l0 = SampleAt(v, frame, 0);
    const float r0 = SampleAt(v, frame, 1);
    const float l = l0 + (SampleAt(v, next, 0) - l0) * frac;
    const float r = r0 + (SampleAt(v, next, 1) - r0) * frac;
    accum[2 * i] += static_cast<int32_t>(std::lrint(l * v.GainLeft));
    accum[2 * i + 1] += static_cast<int32_t>(std::lrint(r * v.GainRight));
    v.Position += v.Step;
  }
  // A one-shot voice that has consumed its last frame reports stopped at once.
  if (!v.Looping && v.Position >= length) v.Active = false;
}

}  // namespace

float DecibelGain(int32_t hundredths) {
  if (hundredths <= kVolumeMin) return 0.0f;
  if (hundredths >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

void VoiceGains(int32_t pan, int32_t volume, float& left, float& right) {
  const float level = DecibelGain(volume);
  left = level * (pan > 0 ? DecibelGain(-pan) : 1.0f);
  right = level * (pan < 0 ? DecibelGain(pan) : 1.0f);
}

uint64_t VoiceStep(uint32_t sourceRate, uint32_t outputRate) {
  if (outputRate == 0) return 0;
  return (static_cast<uint64_t>(sourceRate) << 32) / outputRate;
}

void MixVoices(std::span<TMixVoice> voices, int32_t* accum, int frames, bool foreground) {
  if (frames <= 0) return;
  for (TMixVoice& v : voices) {
    if (!v.Active) continue;
    if (v.Data == nullptr || v.Frames == 0) {
      v.Active = false;
      continue;
    }
    MixOne(v, accum, frames, v.NeedsFocus && !foreground);
  }
}

void SaturateToPcm16(const int32_t* accum, int16_t* out, int samples) {
  for (int i = 0; i < samples; ++i) {
    out[i] = static_cast<int16_t>(std::clamp<int32_t>(accum[i], -32768, 32767));
  }
}

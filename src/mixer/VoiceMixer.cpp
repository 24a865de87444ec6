#include "mixer/VoiceMixer.h"

int TVoiceMixer::Start(const void* owner, const TVoiceStart& start) {
  if (start.Data == nullptr || start.Frames == 0 || start.Rate == 0) return -1;
  float left = 1.0f;
  float right = 1.0f;
  VoiceGains(start.Pan, start.Volume, left, right);
  std::lock_guard lock(mutex_);
  for (int slot = 0; slot < kVoiceCount; ++slot) {
    TMixVoice& v = voices_[static_cast<size_t>(slot)];
    if (v.Active) continue;
    v.Data = start.Data;
    v.Frames = start.Frames;
    v.Channels = start.Channels;
    v.Bits = start.Bits;
    v.Position = static_cast<uint64_t>(start.StartFrame) << 32;
    v.Step = VoiceStep(start.Rate, static_cast<uint32_t>(outputRate_));
    v.GainLeft = left;
    v.GainRight = right;
    v.Looping = start.Looping;
    v.NeedsFocus = start.NeedsFocus;
    v.Owner = owner;
    v.Active = true;
    return slot;
  }
  return -1;
}

TMixVoice* TVoiceMixer::Find(int slot, const void* owner) {
  if (slot < 0 || slot >= kVoiceCount) return nullptr;
  TMixVoice& v = voices_[static_cast<size_t>(slot)];
  return v.Active && v.Owner == owner ? &v : nullptr;
}

const TMixVoice* TVoiceMixer::Find(int slot, const void* owner) const {
  if (slot < 0 || slot >= kVoiceCount) return nullptr;
  const TMixVoice& v = voices_[static_cast<size_t>(slot)];
  return v.Active && v.Owner == owner ? &v : nullptr;
}

void TVoiceMixer::Stop(int slot, const void* owner) {
  std::lock_guard lock(mutex_);
  if (TMixVoice* v = Find(slot, owner)) v->Active = false;
}

bool TVoiceMixer::IsPlaying(int slot, const void* owner) const {
  std::lock_guard lock(mutex_);
  return Find(slot, owner) != nullptr;
}

uint32_t TVoiceMixer::Position(int slot, const void* owner, uint32_t fallback) const {
  std::lock_guard lock(mutex_);
  const TMixVoice* v = Find(slot, owner);
  return v != nullptr ? static_cast<uint32_t>(v->Position >> 32) : fallback;
}

void TVoiceMixer::SetPosition(int slot, const void* owner, uint32_t frame) {
  std::lock_guard lock(mutex_);
  if (TMixVoice* v = Find(slot, owner)) v->Position = static_cast<uint64_t>(frame) << 32;
}

void TVoiceMixer::SetGains(int slot, const void* owner, int32_t pan, int32_t volume) {
  float left = 1.0f;
  float right = 1.0f;
  VoiceGains(pan, volume, left, right);
  std::lock_guard lock(mutex_);
  if (TMixVoice* v = Find(slot, owner)) {
    v->GainLeft = left;
    v->GainRight = right;
  }
}

void TVoiceMixer::SetRate(int slot, const void* owner, uint32_t rate) {
  std::lock_guard lock(mutex_);
  if (TMixVoice* v = Find(slot, owner))
    v->Step = VoiceStep(rate, static_cast<uint32_t>(outputRate_));
}

void TVoiceMixer::SetLooping(int slot, const void* owner, bool looping) {
  std::lock_guard lock(mutex_);
  if (TMixVoice* v = Find(slot, owner)) v->Looping = looping;
}

int TVoiceMixer::ActiveCount() const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const TMixVoice& v : voices_) n += v.Active ? 1 : 0;
  return n;
}

void TVoiceMixer::SetForeground(bool foreground) {
  std::lock_guard lock(mutex_);
  foreground_ = foreground;
}

void TVoiceMixer::MixAdd(int32_t* accum, int frames) {
  std::lock_guard lock(mutex_);
  MixVoices(voices_, accum, frames, foreground_);
}

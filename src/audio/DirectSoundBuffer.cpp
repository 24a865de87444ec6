#include "audio/DirectSoundBuffer.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "audio/DirectSound.h"
#include "audio/DirectXError.h"
#include "mixer/MixVoice.h"
#include "mixer/VoiceMixer.h"
#include "wave/Wave.h"

namespace {
constexpr uint32_t kMinBufferBytes = 4;
constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;
}  // namespace

// Sample memory and the format it is played in; duplicates share one.
struct TDirectSoundBuffer::TMemory {
  std::vector<uint8_t> Bytes;
  uint16_t Channels = 1;
  uint16_t Bits = 8;
  uint16_t BlockAlign = 1;
  uint32_t Rate = 0;

  uint32_t Frames() const { return static_cast<uint32_t>(Bytes.size() / BlockAlign); }
};

TDirectSoundBuffer::TDirectSoundBuffer(TDirectSound& owner) : owner_(&owner) {
  owner_->AddBuffer(this);
}

TDirectSoundBuffer::~TDirectSoundBuffer() {
  StopVoice();
  if (owner_ != nullptr) owner_->RemoveBuffer(this);
}

void TDirectSoundBuffer::RequireInterface() const {
  if (!HasInterface()) {
    throw EDirectSoundBufferError(FormatDXMessage(kNotMade, "IDirectSoundBuffer"));
  }
}

void TDirectSoundBuffer::StopVoice() {
  if (voice_ < 0) return;
  if (owner_ != nullptr && owner_->ISound() != nullptr) {
    TVoiceMixer& mixer = *owner_->ISound();
    position_ = mixer.Position(voice_, this, position_);
    mixer.Stop(voice_, this);
  }
  voice_ = -1;
}

void TDirectSoundBuffer::Reset() {
  StopVoice();
  memory_.reset();
  primary_ = false;
  lost_ = false;
  locked_ = false;
  caps_ = TDSBufferCaps{};
  format_.clear();
  position_ = 0;
}

void TDirectSoundBuffer::ReleaseInterface() {
  Reset();
}

void TDirectSoundBuffer::MarkLost() {
  StopVoice();
  if (memory_ != nullptr) lost_ = true;
}

void TDirectSoundBuffer::Detach() {
  Reset();
  if (owner_ != nullptr) owner_->RemoveBuffer(this);
  owner_ = nullptr;
}

bool TDirectSoundBuffer::CreateBuffer(const TDSBufferDesc& desc) {
  if (owner_ == nullptr) throw EDirectSoundError(FormatDXMessage(kNotMade, "IDirectSound"));
  owner_->RequireISound();
  ++owner_->createdBuffers_;
  Reset();
  if (desc.Size != 36) {
    SetDXResult(DSERR_INVALIDPARAM);
    return false;
  }
  if ((desc.Flags & DSBCAPS_PRIMARYBUFFER) != 0) {
    // The primary buffer stands for the output itself; its format is never changed.
    primary_ = true;
    format_ = TPcmFormat::Pcm(kOutputRate, 2, 16).Bytes();
    caps_.Flags = desc.Flags;
    SetDXResult(DS_OK);
    return true;
  }
  const auto format = desc.Format == nullptr || desc.FormatSize <= 0
                          ? std::nullopt
                          : TPcmFormat::Parse({desc.Format, static_cast<size_t>(desc.FormatSize)});
  const bool formatOk = format.has_value() && format->FormatTag == 1 &&
                        (format->Channels == 1 || format->Channels == 2) &&
                        (format->BitsPerSample == 8 || format->BitsPerSample == 16) &&
                        format->SamplesPerSec >= static_cast<uint32_t>(DSBFREQUENCY_MIN) &&
                        format->SamplesPerSec <= static_cast<uint32_t>(DSBFREQUENCY_MAX) &&
                        format->BlockAlign == format->Channels * format->BitsPerSample / 8;
  if (!formatOk) {
    SetDXResult(DSERR_BADFORMAT);
    return false;
  }
  if (desc.BufferBytes < kMinBufferBytes || desc.BufferBytes > kMaxBufferBytes) {
    SetDXResult(DSERR_INVALIDPARAM);
    return false;
  }
  auto memory = std::make_shared<TMemory>();
  memory->Channels = format->Channels;
  memory->Bits = format->BitsPerSample;
  memory->BlockAlign = format->BlockAlign;
  memory->Rate = format->SamplesPerSec;
  memory->Bytes.assign(desc.BufferBytes, format->BitsPerSample == 8 ? 0x80 : 0x00);
  memory_ = std::move(memory);
  format_.assign(desc.Format, desc.Format + desc.FormatSize);
  caps_.Flags = desc.Flags;
  caps_.BufferBytes = desc.BufferBytes;
  SetDXResult(DS_OK);
  return true;
}

void TDirectSoundBuffer::LoadFromWave(const TWave& wave) {
  TDSBufferDesc desc;
  desc.Flags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
  if (owner_ != nullptr && owner_->StickyFocus) {
    desc.Flags |= DSBCAPS_STICKYFOCUS;
  } else if (owner_ != nullptr && owner_->GlobalFocus) {
    desc.Flags |= DSBCAPS_GLOBALFOCUS;
  }
  desc.BufferBytes = static_cast<uint32_t>(std::max(wave.Size(), 0));
  desc.Format = wave.Format();
  desc.FormatSize = wave.FormatSize();
  if (!CreateBuffer(desc)) {
    throw EDirectSoundBufferError(FormatDXMessage(kCannotBeMade, "Sound Buffer"));
  }
  uint8_t* region1 = nullptr;
  uint8_t* region2 = nullptr;
  uint32_t length1 = 0;
  uint32_t length2 = 0;
  if (!Lock(0, desc.BufferBytes, region1, length1, region2, length2)) {
    ReleaseInterface();
    throw EDirectSoundBufferError(FormatDXMessage(kCannotBeLocked, "Sound Buffer"));
  }
  std::memcpy(region1, wave.Data(), length1);
  if (region2 != nullptr) std::memcpy(region2, wave.Data() + length1, length2);
  Unlock();
}

void TDirectSoundBuffer::AssignDuplicate(TDirectSoundBuffer& source) {
  if (owner_ == nullptr) throw EDirectSoundError(FormatDXMessage(kNotMade, "IDirectSound"));
  owner_->RequireISound();
  Reset();
  if (source.lost_) source.SetDXResult(DSERR_BUFFERLOST);  // lets the device restore it
  if (source.memory_ == nullptr || source.lost_ || source.primary_) {
    SetDXResult(DSERR_INVALIDCALL);
    throw EDirectSoundBufferError(FormatDXMessage(kCannotBeMade, "Sound Buffer"));
  }
  memory_ = source.memory_;
  format_ = source.format_;
  caps_ = source.caps_;
  frequency_ = source.frequency_;
  pan_ = source.pan_;
  volume_ = source.volume_;
  SetDXResult(DS_OK);
}

uint32_t TDirectSoundBuffer::Bytes() const {
  return memory_ != nullptr ? static_cast<uint32_t>(memory_->Bytes.size()) : 0;
}

bool TDirectSoundBuffer::Lock(uint32_t offset, uint32_t bytes, uint8_t*& region1, uint32_t& length1,
                              uint8_t*& region2, uint32_t& length2) {
  region1 = region2 = nullptr;
  length1 = length2 = 0;
  if (memory_ == nullptr || locked_) {
    SetDXResult(DSERR_INVALIDCALL);
    return false;
  }
  if (lost_) {
    SetDXResult(DSERR_BUFFERLOST);
    return false;
  }
  const auto size = static_cast<uint32_t>(memory_->Bytes.size());
  if (bytes == 0 || bytes > size || offset >= size) {
    SetDXResult(DSERR_INVALIDPARAM);
    return false;
  }
  region1 = memory_->Bytes.data() + offset;
  length1 = std::min(bytes, size - offset);
  if (length1 < bytes) {
    region2 = memory_->Bytes.data();
    length2 = bytes - length1;
  }
  locked_ = true;
  SetDXResult(DS_OK);
  return true;
}

void TDirectSoundBuffer::Unlock() {
  RequireInterface();
  SetDXResult(locked_ ? DS_OK : DSERR_INVALIDCALL);
  locked_ = false;
}

void TDirectSoundBuffer::Play(bool loop) {
  RequireInterface();
  if (primary_) {
    SetDXResult(DS_OK);
    return;
  }
  if (lost_) {
    SetDXResult(DSERR_BUFFERLOST);
    // The restore may have made this buffer anew; then the play goes ahead.
    if (lost_ || memory_ == nullptr) return;
  }
  TVoiceMixer& mixer = *owner_->ISound();
  if (mixer.IsPlaying(voice_, this)) {
    mixer.SetLooping(voice_, this, loop);
    looping_ = loop;
    SetDXResult(DS_OK);
    return;
  }
  TVoiceMixer::TVoiceStart start;
  start.Data = memory_->Bytes.data();
  start.Frames = memory_->Frames();
  start.Channels = memory_->Channels;
  start.Bits = memory_->Bits;
  start.Rate = frequency_ != 0 ? static_cast<uint32_t>(frequency_) : memory_->Rate;
  start.StartFrame = position_ < start.Frames ? position_ : 0;
  start.Pan = pan_;
  start.Volume = volume_;
  start.Looping = loop;
  start.NeedsFocus = (caps_.Flags & (DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS)) == 0;
  voice_ = mixer.Start(this, start);
  looping_ = loop;
  SetDXResult(voice_ >= 0 ? DS_OK : DSERR_ALLOCATED);
}

void TDirectSoundBuffer::Stop() {
  RequireInterface();
  StopVoice();
  SetDXResult(DS_OK);
}

uint32_t TDirectSoundBuffer::Position() {
  RequireInterface();
  SetDXResult(DS_OK);
  if (memory_ == nullptr) return 0;
  const uint32_t frame =
      owner_->ISound() != nullptr ? owner_->ISound()->Position(voice_, this, position_) : position_;
  return frame * memory_->BlockAlign;
}

void TDirectSoundBuffer::SetPosition(uint32_t bytes) {
  RequireInterface();
  if (memory_ == nullptr) {
    SetDXResult(DSERR_INVALIDCALL);
    return;
  }
  if (bytes > memory_->Bytes.size()) {
    SetDXResult(DSERR_INVALIDPARAM);
    return;
  }
  position_ = bytes / memory_->BlockAlign;
  owner_->ISound()->SetPosition(voice_, this, position_);
  SetDXResult(DS_OK);
}

void TDirectSoundBuffer::SetFrequency(int32_t hz) {
  RequireInterface();
  if (memory_ == nullptr || (hz != 0 && (hz < DSBFREQUENCY_MIN || hz > DSBFREQUENCY_MAX))) {
    SetDXResult(DSERR_INVALIDPARAM);
    return;
  }
  frequency_ = hz;
  owner_->ISound()->SetRate(voice_, this, hz != 0 ? static_cast<uint32_t>(hz) : memory_->Rate);
  SetDXResult(DS_OK);
}

void TDirectSoundBuffer::SetPan(int32_t pan) {
  RequireInterface();
  if (memory_ == nullptr || pan < kPanLeft || pan > kPanRight) {
    SetDXResult(DSERR_INVALIDPARAM);
    return;
  }
  pan_ = pan;
  owner_->ISound()->SetGains(voice_, this, pan_, volume_);
  SetDXResult(DS_OK);
}

void TDirectSoundBuffer::SetVolume(int32_t volume) {
  RequireInterface();
  if (memory_ == nullptr || volume < kVolumeMin || volume > kVolumeMax) {
    SetDXResult(DSERR_INVALIDPARAM);
    return;
  }
  volume_ = volume;
  owner_->ISound()->SetGains(voice_, this, pan_, volume_);
  SetDXResult(DS_OK);
}

uint32_t TDirectSoundBuffer::Status() {
  RequireInterface();
  SetDXResult(DS_OK);
  uint32_t status = lost_ ? DSBSTATUS_BUFFERLOST : 0;
  if (voice_ >= 0 && owner_->ISound() != nullptr && owner_->ISound()->IsPlaying(voice_, this)) {
    status |= DSBSTATUS_PLAYING;
    if (looping_) status |= DSBSTATUS_LOOPING;
  }
  return status;
}

bool TDirectSoundBuffer::Playing() {
  return (Status() & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING)) != 0;
}

void TDirectSoundBuffer::Check() {
  if (DXResult() == DSERR_BUFFERLOST && owner_ != nullptr && !owner_->InRestoreBuffer()) {
    owner_->RestoreBuffers();
  }
}

#include "audio/DirectSound.h"

#include <algorithm>

#include "audio/DirectSoundBuffer.h"
#include "audio/DirectXError.h"
#include "mixer/AudioOutput.h"

TDirectSound::TDirectSound(TAudioOutput* output) {
  if (output != nullptr && output->IsOpen()) {
    mixer_ = &output->Voices();
    SetDXResult(DS_OK);
  } else {
    SetDXResult(DSERR_NODRIVER);
  }
}

TDirectSound::~TDirectSound() {
  // Last first, as buffers were created; each forgets the device.
  while (!buffers_.empty()) buffers_.back()->Detach();
}

TVoiceMixer& TDirectSound::RequireISound() {
  if (mixer_ == nullptr) throw EDirectSoundError(FormatDXMessage(kNotMade, "IDirectSound"));
  return *mixer_;
}

void TDirectSound::SetCooperativeLevel(int32_t level) {
  RequireISound();
  cooperativeLevel_ = level;
  SetDXResult(level >= DSSCL_NORMAL && level <= DSSCL_WRITEPRIMARY ? DS_OK : DSERR_INVALIDPARAM);
}

void TDirectSound::LoseBuffers() {
  for (TDirectSoundBuffer* buffer : buffers_) buffer->MarkLost();
}

void TDirectSound::RestoreBuffers() {
  if (restoring_) return;
  restoring_ = true;
  try {
    RestoreLostBuffers();
  } catch (...) {
    restoring_ = false;
    throw;
  }
  restoring_ = false;
}

void TDirectSound::AddBuffer(TDirectSoundBuffer* buffer) {
  buffers_.push_back(buffer);
}

void TDirectSound::RemoveBuffer(TDirectSoundBuffer* buffer) {
  const auto it = std::find(buffers_.begin(), buffers_.end(), buffer);
  if (it != buffers_.end()) buffers_.erase(it);
}

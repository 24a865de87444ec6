#include "audio/WaveCollectionItem.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/DXSound.h"
#include "audio/DirectSoundBuffer.h"
#include "audio/WaveCollection.h"

TWaveCollectionItem::TWaveCollectionItem(THashCollection& collection)
    : THashCollectionItem(collection) {}

TWaveCollectionItem::~TWaveCollectionItem() {
  Finalize();
}

TWaveCollection& TWaveCollectionItem::WaveCollection() const {
  return static_cast<TWaveCollection&>(Collection());
}

void TWaveCollectionItem::SetLooped(bool looped) {
  if (looped == looped_) return;
  Stop();
  looped_ = looped;
}

void TWaveCollectionItem::SetMaxPlayingCount(int32_t count) {
  count = std::max(count, 0);
  if (count == maxPlayingCount_) return;
  maxPlayingCount_ = count;
  if (initialized_) ClearDuplicates();
}

void TWaveCollectionItem::SetFrequency(int32_t hz) {
  frequency_ = hz;
  if (initialized_) {
    if (TDirectSoundBuffer* b = Buffer()) b->SetFrequency(hz);
  }
}

void TWaveCollectionItem::SetPan(int32_t pan) {
  pan_ = pan;
  if (initialized_) {
    if (TDirectSoundBuffer* b = Buffer()) b->SetPan(pan);
  }
}

void TWaveCollectionItem::SetVolume(int32_t volume) {
  volume_ = volume;
  if (initialized_) {
    if (TDirectSoundBuffer* b = Buffer()) b->SetVolume(volume);
  }
}

TDirectSoundBuffer* TWaveCollectionItem::Buffer() {
  if (initialized_ && buffer_ == nullptr) Restore();
  return buffer_.get();
}

void TWaveCollectionItem::ClearDuplicates() {
  duplicates_.clear();
}

std::unique_ptr<TDirectSoundBuffer> TWaveCollectionItem::CreateDuplicate() {
  TDirectSoundBuffer* main = Buffer();
  if (main == nullptr || main->DSound() == nullptr) return nullptr;
  auto duplicate = std::make_unique<TDirectSoundBuffer>(*main->DSound());
  duplicate->AssignDuplicate(*main);  // on error the new object goes with the unwinding
  return duplicate;
}

void TWaveCollectionItem::Play(bool wait) {
  if (!initialized_) return;
  if (looped_) {
    TDirectSoundBuffer* main = Buffer();
    if (main == nullptr) return;
    main->Stop();
    main->SetPosition(0);
    main->Play(true);
    return;
  }

  TDirectSoundBuffer* chosen = nullptr;
  for (const auto& d : duplicates_) {
    if (!d->Playing()) {
      chosen = d.get();
      break;
    }
  }
  if (chosen == nullptr) {
    if (maxPlayingCount_ == 0 || maxPlayingCount_ > DuplicateCount()) {
      auto duplicate = CreateDuplicate();
      if (duplicate == nullptr) return;
      duplicates_.push_back(std::move(duplicate));
      chosen = duplicates_.back().get();
    } else {
      // The limit is reached: the first copy is cut off, restarted and moved last.
      std::rotate(duplicates_.begin(), duplicates_.begin() + 1, duplicates_.end());
      chosen = duplicates_.back().get();
    }
  }

  chosen->Stop();
  chosen->SetPosition(0);
  chosen->SetFrequency(frequency_);
  chosen->SetPan(pan_);
  chosen->SetVolume(volume_);
  chosen->Play(false);

  if (wait) {
    // Bounded by the sound's own length, so a device that is not being
    // pulled cannot hang the caller.
    const int32_t rate = std::max<int32_t>(
        frequency_ != 0
            ? frequency_
            : static_cast<int32_t>(wave_.PcmFormat().value_or(TPcmFormat{}).SamplesPerSec),
        1);
    const auto block = std::max<int32_t>(wave_.PcmFormat().value_or(TPcmFormat{}).BlockAlign, 1);
    const int64_t limitMs = static_cast<int64_t>(wave_.Size()) / block * 1000 / rate + 1000;
    for (int64_t waited = 0; waited < limitMs && chosen->Playing(); waited += 10) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}

void TWaveCollectionItem::Stop() {
  if (!initialized_) return;
  if (buffer_ != nullptr) buffer_->Stop();
  for (const auto& d : duplicates_) d->Stop();
}

void TWaveCollectionItem::Initialize() {
  Finalize();
  TDXSound* sound = WaveCollection().DXSound();
  initialized_ = sound != nullptr && sound->Initialized();
}

void TWaveCollectionItem::Finalize() {
  if (!initialized_) return;
  initialized_ = false;
  ClearDuplicates();
  buffer_.reset();
}

void TWaveCollectionItem::Restore() {
  if (wave_.Size() <= 0 || wave_.Data() == nullptr) return;
  if (!initialized_) {
    TDXSound* sound = WaveCollection().DXSound();
    if (sound != nullptr && sound->Initialized()) Initialize();
    if (!initialized_) return;
  }
  TDXSound* sound = WaveCollection().DXSound();
  if (sound == nullptr || sound->DSound() == nullptr) return;
  if (buffer_ == nullptr) buffer_ = std::make_unique<TDirectSoundBuffer>(*sound->DSound());
  buffer_->LoadFromWave(wave_);
  buffer_->SetFrequency(frequency_);
  buffer_->SetPan(pan_);
  buffer_->SetVolume(volume_);
  // A copy that lost its samples with the device would stay mute forever and
  // ask for a restore on every play: make it a copy of the fresh main buffer.
  for (const auto& d : duplicates_) {
    if (d->Lost()) d->AssignDuplicate(*buffer_);
  }
}

void TWaveCollectionItem::Assign(const TWaveCollectionItem& source) {
  if (&source == this) return;
  const bool wasInitialized = initialized_;
  if (wasInitialized) Finalize();
  looped_ = source.looped_;
  SetName(source.Name());
  maxPlayingCount_ = source.maxPlayingCount_;
  frequency_ = source.frequency_;
  pan_ = source.pan_;
  volume_ = source.volume_;
  wave_.Assign(&source.wave_);
  if (wasInitialized) Restore();
}

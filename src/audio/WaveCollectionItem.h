#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/HashCollection.h"
#include "wave/Wave.h"

class TDirectSoundBuffer;
class TWaveCollection;

// One named effect of the sound bank: its wave, its play policy and its run-
// time pan, volume and frequency. Pan and volume are in hundredths of a
// decibel (pan negative = left; volume 0 = full), Frequency in Hz with 0 =
// the wave's own rate. Unlooped plays use duplicates of the main buffer that
// share its samples and stay for reuse; MaxPlayingCount limits how many sound
// at once (0 = no limit).
class TWaveCollectionItem : public THashCollectionItem {
 public:
  explicit TWaveCollectionItem(THashCollection& collection);
  ~TWaveCollectionItem() override;

  bool Looped() const { return looped_; }
  void SetLooped(bool looped);
  int32_t MaxPlayingCount() const { return maxPlayingCount_; }
  void SetMaxPlayingCount(int32_t count);
  TWave& Wave() { return wave_; }
  const TWave& Wave() const { return wave_; }

  int32_t Frequency() const { return frequency_; }
  void SetFrequency(int32_t hz);
  int32_t Pan() const { return pan_; }
  void SetPan(int32_t pan);
  int32_t Volume() const { return volume_; }
  void SetVolume(int32_t volume);
  bool Initialized() const { return initialized_; }

  void Play(bool wait = false);
  void Stop();
  void Initialize();
  void Finalize();
  // Loads the wave into the main buffer (creating it when missing).
  void Restore();
  // Copies Looped, Name, MaxPlayingCount, Frequency, Pan, Volume and the wave.
  void Assign(const TWaveCollectionItem& source);

  // The main buffer, made on demand while initialized; null otherwise.
  TDirectSoundBuffer* Buffer();
  int DuplicateCount() const { return static_cast<int>(duplicates_.size()); }
  TDirectSoundBuffer& Duplicate(int index) const {
    return *duplicates_.at(static_cast<size_t>(index));
  }

  TWaveCollection& WaveCollection() const;

 private:
  std::unique_ptr<TDirectSoundBuffer> CreateDuplicate();
  void ClearDuplicates();

  bool looped_ = false;
  int32_t maxPlayingCount_ = 0;
  TWave wave_;
  std::unique_ptr<TDirectSoundBuffer> buffer_;
  std::vector<std::unique_ptr<TDirectSoundBuffer>> duplicates_;
  int32_t frequency_ = 0;
  bool initialized_ = false;
  int32_t pan_ = 0;
  int32_t volume_ = 0;
};

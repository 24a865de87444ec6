#pragma once

#include "audio/DXSound.h"
#include "audio/WaveCollection.h"

// The sound bank component: a collection of named waves played through the
// sound component it refers to (which may be null: then nothing sounds).
class TDXWaveList {
 public:
  TDXWaveList() : items_(this) {}
  // Forgets the sound component first.
  ~TDXWaveList();
  TDXWaveList(const TDXWaveList&) = delete;
  TDXWaveList& operator=(const TDXWaveList&) = delete;

  TDXSound* DXSound() const { return dxSound_; }
  // Unregisters from the old component and registers with the new one.
  void SetDXSound(TDXSound* sound);

  TWaveCollection& Items() { return items_; }
  const TWaveCollection& Items() const { return items_; }
  // Copies the items of `source`.
  void SetItems(const TWaveCollection& source) { items_.Assign(source); }

 private:
  void Notify(TDXSound& sender, TDXSoundNotifyType type);

  TWaveCollection items_;
  TDXSound* dxSound_ = nullptr;
};

#pragma once

#include <memory>

#include "audio/HashCollection.h"
#include "audio/WaveCollectionItem.h"

class TDXSound;
class TDXWaveList;

// The items of a wave list, bound to the sound component while it is
// initialized (null otherwise).
class TWaveCollection : public THashCollection {
 public:
  explicit TWaveCollection(TDXWaveList* owner = nullptr) : owner_(owner) {}
  ~TWaveCollection() override;

  TWaveCollectionItem& Add() { return static_cast<TWaveCollectionItem&>(AddItem()); }
  TWaveCollectionItem& Items(int index) const {
    return static_cast<TWaveCollectionItem&>(Item(index));
  }
  TWaveCollectionItem& operator[](int index) const { return Items(index); }

  TDXWaveList* Owner() const { return owner_; }
  TDXSound* DXSound() const { return dxSound_; }
  void SetDXSound(TDXSound* sound) { dxSound_ = sound; }

  void InitializeItems();
  void FinalizeItems();
  void RestoreItems();
  // Replaces the items with copies of `source`'s (loaded when the device is open).
  void Assign(const TWaveCollection& source);

 protected:
  std::unique_ptr<THashCollectionItem> CreateItem() override;

 private:
  TDXWaveList* owner_;
  TDXSound* dxSound_ = nullptr;
};

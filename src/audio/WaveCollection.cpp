#include "audio/WaveCollection.h"

#include "audio/DXSound.h"

TWaveCollection::~TWaveCollection() {
  // Items finalize while the collection is still whole.
  Clear();
}

std::unique_ptr<THashCollectionItem> TWaveCollection::CreateItem() {
  return std::make_unique<TWaveCollectionItem>(*this);
}

void TWaveCollection::InitializeItems() {
  for (int i = 0; i < Count(); ++i) Items(i).Initialize();
}

void TWaveCollection::FinalizeItems() {
  for (int i = 0; i < Count(); ++i) Items(i).Finalize();
}

void TWaveCollection::RestoreItems() {
  for (int i = 0; i < Count(); ++i) Items(i).Restore();
}

void TWaveCollection::Assign(const TWaveCollection& source) {
  if (&source == this) return;
  Clear();
  // Copies made while the device is open are loaded at once, so they play.
  const bool live = dxSound_ != nullptr && dxSound_->Initialized();
  for (int i = 0; i < source.Count(); ++i) {
    TWaveCollectionItem& item = Add();
    item.Assign(source.Items(i));
    if (live) item.Restore();
  }
}

#include "audio/WaveCollection.h"

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
  for (int i = 0; i < source.Count(); ++i) Add().Assign(source.Items(i));
}

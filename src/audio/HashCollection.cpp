#include "audio/HashCollection.h"

#include <cctype>

namespace {

unsigned char Lower(char c) {
  return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace

uint8_t THashCollectionItem::BucketOf(std::string_view name) {
  uint32_t h = static_cast<uint32_t>(name.size()) * 16u;
  if (name.size() >= 2) h += Lower(name[0]) + Lower(name[name.size() - 2]);
  return static_cast<uint8_t>(h & 0xFFu);
}

void THashCollectionItem::SetName(std::string name) {
  // The same name again is no change: the item keeps its place in the chain.
  if (name == name_) return;
  collection_.Unlink(*this);
  name_ = std::move(name);
  collection_.Link(*this);
}

THashCollection::~THashCollection() {
  Clear();
}

std::unique_ptr<THashCollectionItem> THashCollection::CreateItem() {
  return std::make_unique<THashCollectionItem>(*this);
}

THashCollectionItem& THashCollection::AddItem() {
  auto item = CreateItem();
  item->index_ = Count();
  Link(*item);
  items_.push_back(std::move(item));
  return *items_.back();
}

void THashCollection::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  const auto at = items_.begin() + index;
  // Take the item out of the list first: its destructor may still use the collection.
  std::unique_ptr<THashCollectionItem> item = std::move(*at);
  items_.erase(at);
  Unlink(*item);
  for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i) --items_[i]->index_;
  item.reset();
}

void THashCollection::Clear() {
  while (!items_.empty()) Delete(Count() - 1);
}

int THashCollection::IndexOf(std::string_view name) const {
  for (const THashCollectionItem* p = buckets_[THashCollectionItem::BucketOf(name)]; p != nullptr;
       p = p->next_) {
    if (SameName(p->name_, name)) return p->index_;
  }
  return -1;
}

void THashCollection::Link(THashCollectionItem& item) {
  THashCollectionItem*& head = buckets_[THashCollectionItem::BucketOf(item.name_)];
  item.next_ = head;
  head = &item;
}

void THashCollection::Unlink(THashCollectionItem& item) {
  THashCollectionItem** link = &buckets_[THashCollectionItem::BucketOf(item.name_)];
  while (*link != nullptr && *link != &item) link = &(*link)->next_;
  if (*link == &item) *link = item.next_;
  item.next_ = nullptr;
}

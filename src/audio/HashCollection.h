#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class THashCollection;

// A named item of a THashCollection. It knows its index and sits in the
// collection's 256-bucket name index from creation to destruction.
class THashCollectionItem {
 public:
  explicit THashCollectionItem(THashCollection& collection) : collection_(collection) {}
  virtual ~THashCollectionItem() = default;
  THashCollectionItem(const THashCollectionItem&) = delete;
  THashCollectionItem& operator=(const THashCollectionItem&) = delete;

  const std::string& Name() const { return name_; }
  // Moves the item to the head of its new name's bucket (a case change is a
  // change; the same name again leaves it where it is).
  void SetName(std::string name);
  int Index() const { return index_; }
  THashCollection& Collection() const { return collection_; }
  // The next item in the same bucket (index order is not implied).
  const THashCollectionItem* NextInBucket() const { return next_; }

  // The bucket of a name: lower-cased, 16 x its length plus, when it has at
  // least two characters, the codes of its first and next-to-last
  // characters; the low 8 bits of that.
  static uint8_t BucketOf(std::string_view name);

 private:
  friend class THashCollection;
  THashCollection& collection_;
  std::string name_;
  int index_ = -1;
  THashCollectionItem* next_ = nullptr;
};

// Owns its items in index order and keeps the name index.
class THashCollection {
 public:
  THashCollection() = default;
  virtual ~THashCollection();
  THashCollection(const THashCollection&) = delete;
  THashCollection& operator=(const THashCollection&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  THashCollectionItem& Item(int index) const { return *items_.at(static_cast<size_t>(index)); }
  // Creates an item at the end; it enters the bucket of its (empty) name.
  THashCollectionItem& AddItem();
  // Destroys the item at `index`; later items move down by one.
  void Delete(int index);
  void Clear();
  // Index of the first item found under `name` (case-insensitive), or -1.
  int IndexOf(std::string_view name) const;
  const THashCollectionItem* BucketHead(uint8_t bucket) const { return buckets_[bucket]; }

 protected:
  virtual std::unique_ptr<THashCollectionItem> CreateItem();

 private:
  friend class THashCollectionItem;
  void Link(THashCollectionItem& item);
  void Unlink(THashCollectionItem& item);

  std::vector<std::unique_ptr<THashCollectionItem>> items_;
  std::array<THashCollectionItem*, 256> buckets_{};
};

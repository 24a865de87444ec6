#include "audio/HashCollection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(HashCollection, BucketOfFollowsTheNameRule) {
  struct Case {
    std::string name;
    int bucket;
  };
  const std::vector<Case> cases = {
      {"", 0},
      {"a", 16},                                // one character: length only
      {"ab", (32 + 'a' + 'a') & 0xFF},          // first and next-to-last are both 'a'
      {"Shot", (64 + 's' + 'o') & 0xFF},        // lower-cased
      {"SHOT", (64 + 's' + 'o') & 0xFF},        // case does not matter
      {"CheckMenu", (144 + 'c' + 'n') & 0xFF},  // wraps to the low 8 bits
      {"Expl", (64 + 'e' + 'p') & 0xFF},
      {std::string(20, 'z'), (320 + 2 * 'z') & 0xFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(THashCollectionItem::BucketOf(c.name), c.bucket) << c.name;
  }
}

TEST(HashCollection, ItemsEnterTheHeadOfTheirBucketAndLeaveOnRename) {
  THashCollection c;
  // "abx" and "bay" differ but share a bucket: same length, 'a' + 'b' both ways.
  auto& first = c.AddItem();
  first.SetName("abx");
  auto& second = c.AddItem();
  second.SetName("bay");
  const uint8_t bucket = THashCollectionItem::BucketOf("abx");
  ASSERT_EQ(bucket, THashCollectionItem::BucketOf("bay"));
  EXPECT_EQ(c.BucketHead(bucket), &second);
  EXPECT_EQ(second.NextInBucket(), &first);
  EXPECT_EQ(c.IndexOf("ABX"), 0);
  EXPECT_EQ(c.IndexOf("bay"), 1);
  // The same name again is no change; a case change is one.
  first.SetName("abx");
  EXPECT_EQ(c.BucketHead(bucket), &second);
  first.SetName("ABX");
  EXPECT_EQ(c.BucketHead(bucket), &first);
  first.SetName("abx");

  second.SetName("Bonus");
  EXPECT_EQ(c.BucketHead(bucket), &first);
  EXPECT_EQ(first.NextInBucket(), nullptr);
  EXPECT_EQ(c.IndexOf("bay"), -1);
  EXPECT_EQ(c.IndexOf("bonus"), 1);
  // A fresh item sits in the bucket of the empty name.
  auto& third = c.AddItem();
  EXPECT_EQ(c.BucketHead(0), &third);
}

TEST(HashCollection, DeletingAnItemRenumbersTheLaterOnes) {
  THashCollection c;
  const std::vector<std::string> names = {"CheckMenu", "Win", "Loose", "Shot", "Snarad"};
  for (const auto& n : names) c.AddItem().SetName(n);
  c.Delete(1);
  ASSERT_EQ(c.Count(), 4);
  for (int i = 0; i < c.Count(); ++i) EXPECT_EQ(c.Item(i).Index(), i);
  EXPECT_EQ(c.IndexOf("Win"), -1);
  EXPECT_EQ(c.IndexOf("Shot"), 2);
  EXPECT_EQ(c.IndexOf("Snarad"), 3);
  c.Delete(7);  // out of range: nothing happens
  EXPECT_EQ(c.Count(), 4);
}

}  // namespace

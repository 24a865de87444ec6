#include "replay/ReplayStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScratchFolder.h"

namespace {

TEST(ReplayStore, KeepsTheNewestGamesAndEveryLinkedOne) {
  const TScratchFolder scratch;
  TReplayStore store((scratch / "replays").string());
  std::vector<std::string> names;
  std::string error;
  // 25 games, two of them in one second.
  for (int i = 0; i < 25; ++i) {
    names.push_back(store.Add({1, 2, 3}, 1765000000 + (i == 24 ? 23 : i), error));
    ASSERT_FALSE(names.back().empty()) << error;
  }
  EXPECT_EQ(store.Games(), names);  // oldest first, the same second by number
  TReplayStore::TIndex index;
  index[0] = names[0];
  index[4] = names[2];
  index[9] = "../Config.cfg";  // never followed
  ASSERT_TRUE(store.WriteIndex(index, error)) << error;
  const TReplayStore::TIndex read = store.ReadIndex();
  EXPECT_EQ(read[0], names[0]);
  EXPECT_EQ(read[4], names[2]);
  EXPECT_EQ(read[9], "");
  store.Prune(read);
  std::vector<std::string> kept(names.end() - 20, names.end());
  kept.insert(kept.begin(), {names[0], names[2]});
  EXPECT_EQ(store.Games(), kept);
}

}  // namespace

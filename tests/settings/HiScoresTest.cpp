#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/HiScores.h"

namespace {

std::vector<int32_t> ScoresOf(const THiScoreTable& table) {
  std::vector<int32_t> scores;
  for (const THiScores& e : table) scores.push_back(e.Score);
  return scores;
}

}  // namespace

TEST(HiScores, InsertSortsTheNewEntryBelowOlderEqualScores) {
  struct TCase {
    int32_t Score;
    std::vector<int32_t> Scores;
    int NewRow;  // where "New" lands
  };
  const TCase cases[] = {
      {600, {1000, 900, 800, 700, 600, 600, 500, 400, 300, 200}, 5},
      {101, {1000, 900, 800, 700, 600, 500, 400, 300, 200, 101}, 9},
      {1000, {1000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}, 1},
      {2000, {2000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}, 0},
      {150, {1000, 900, 800, 700, 600, 500, 400, 300, 200, 150}, 9},
  };
  for (const TCase& c : cases) {
    THiScoreTable table = DefaultHiScores();
    InsertResult(table, "New", c.Score);
    EXPECT_EQ(ScoresOf(table), c.Scores) << c.Score;
    for (int i = 0; i < kHiScoreCount; ++i) {
      EXPECT_EQ(table[static_cast<size_t>(i)].Name == "New", i == c.NewRow)
          << c.Score << " row " << i;
    }
  }
}

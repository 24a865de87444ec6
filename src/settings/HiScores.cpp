#include "settings/HiScores.h"

#include <string>
#include <utility>

void ResetHiScores(THiScoreTable& table) {
  for (int i = 0; i < kHiScoreCount; ++i) {
    table[static_cast<size_t>(i)] = THiScores{"Anonymous", (kHiScoreCount - i) * 100};
  }
}

THiScoreTable DefaultHiScores() {
  THiScoreTable table;
  ResetHiScores(table);
  return table;
}

bool QualifiesForTable(const THiScoreTable& table, int32_t score) {
  return score > table[kHiScoreCount - 1].Score;
}

void InsertResult(THiScoreTable& table, const std::string& name, int32_t score) {
  table[kHiScoreCount - 1] = THiScores{name, score};
  // A stable bubble sort: an equal score never moves ahead, so the newest
  // entry ends below every older one with the same score.
  for (int i = 0; i < kHiScoreCount; ++i) {
    for (int j = kHiScoreCount - 1; j > i; --j) {
      auto& upper = table[static_cast<size_t>(j - 1)];
      auto& lower = table[static_cast<size_t>(j)];
      if (upper.Score < lower.Score) std::swap(upper, lower);
    }
  }
}

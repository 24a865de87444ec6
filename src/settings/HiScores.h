#pragma once

#include <array>
#include <cstdint>
#include <string>

// One row of the high-score table.
struct THiScores {
  std::string Name;
  int32_t Score = 0;

  friend bool operator==(const THiScores&, const THiScores&) = default;
};

// The ten rows, index 0 the best.
inline constexpr int kHiScoreCount = 10;
using THiScoreTable = std::array<THiScores, kHiScoreCount>;

// Every name "Anonymous", scores 1000 down to 100 (row i has (10 - i) x 100).
void ResetHiScores(THiScoreTable& table);
THiScoreTable DefaultHiScores();

// A result is offered for the table only when it beats the last row.
bool QualifiesForTable(const THiScoreTable& table, int32_t score);

// Puts the result in the last row and sorts it in; a new score never moves
// ahead of an older equal score. Saving is the caller's next step.
void InsertResult(THiScoreTable& table, const std::string& name, int32_t score);

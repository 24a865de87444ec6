#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A result as the game sends it, after the record has been checked.
struct TSubmittedResult {
  std::string Name;  // the table entry's name
  int32_t Score = 0;
  std::string Challenge;   // p, handed out by the first request
  std::string PlayerName;  // the player name of the game's options
};

inline constexpr size_t kMaxNameLength = 10;
inline constexpr int32_t kMaxScore = 99'999'999;
inline constexpr size_t kMaxChallengeLength = 64;

// Checks a decoded record: every field present exactly once and in order
// (type, name, score, key, p, add, z), names of at most 10 printable
// characters, a score in 0..kMaxScore, the fixed key letter, only "0" padding.
// Text between "|" that does not start a known field belongs to the name or
// player name before it; a second field of the same kind (a name carrying
// "|score=...") is refused. On refusal `reason` says why.
std::optional<TSubmittedResult> ParseSubmittedResult(std::string_view record, std::string& reason);

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The replays folder in the user folder (replays/ beside Config.cfg). Every
// game is written there as <date>-<time>-<n>.tlr; the replays of the ten
// rows of the high-score table are linked by index.txt (one file name or "-"
// per row, best row first); the last kKeptGames games are kept as well and
// older ones are removed. Files are written to a temporary name and renamed,
// so a crash never leaves half a replay. Every failure is returned as a
// message: losing a replay never stops the game.
class TReplayStore {
 public:
  static constexpr size_t kKeptGames = 20;
  static constexpr size_t kTableRows = 10;
  using TIndex = std::array<std::string, kTableRows>;  // "" where a row has no replay

  explicit TReplayStore(std::string folder) : folder_(std::move(folder)) {}
  const std::string& Folder() const { return folder_; }

  // Writes a new game; returns its file name (no folder), or "" with `error` set.
  std::string Add(const std::vector<uint8_t>& bytes, int64_t startDate, std::string& error);
  // Rewrites an existing game's file (the name entered after the game).
  bool Replace(const std::string& name, const std::vector<uint8_t>& bytes, std::string& error);

  // The table's links; rows without a readable link are "".
  TIndex ReadIndex() const;
  bool WriteIndex(const TIndex& index, std::string& error);

  // Removes the games that are neither among the newest kKeptGames nor linked
  // from the index.
  void Prune(const TIndex& index);
  // The games in the folder, oldest first.
  std::vector<std::string> Games() const;

 private:
  bool WriteAtomically(const std::string& name, const std::string& bytes, std::string& error);
  std::string folder_;
};

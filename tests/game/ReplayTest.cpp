#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/GameReplay.h"
#include "game/LogicVersion.h"

namespace {

constexpr uint64_t kReplaySeed = 20261207;
constexpr int kReplayFrameLimit = 40000;

struct TReplayResult {
  std::vector<std::string> Lines;  // line i is frame i: "<phase> <score> <checksum>"
  bool Ended = false;
};

TReplayResult RunReplay(uint64_t seed) {
  TGameRig rig(seed, false);
  const auto script = MakeReplayScript(seed, kReplayFrameLimit);
  TReplayResult result;
  char line[96];
  for (size_t i = 0; i < script.size(); ++i) {
    PlayReplayFrame(rig, script[i]);
    const uint64_t sum = GameChecksum(*rig.Game);
    std::snprintf(line, sizeof line, "%u %d %08x", rig.Game->Phase, rig.Game->Score,
                  static_cast<unsigned>(sum ^ (sum >> 32)));
    result.Lines.emplace_back(line);
    if (!rig.Host.States.empty()) {
      result.Ended = true;
      break;
    }
  }
  return result;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(GameReplay, WholeGameMatchesTheGoldenChecksums) {
  const TReplayResult got = RunReplay(kReplaySeed);
  ASSERT_TRUE(got.Ended) << "the replayed game did not reach its end";

  const std::string golden = std::string(TL_SOURCE_DIR) + "/tests/game/golden/replay.txt";
  const auto expected = ReadLines(golden);
  size_t firstDiff = 0;
  while (firstDiff < got.Lines.size() && firstDiff < expected.size() &&
         got.Lines[firstDiff] == expected[firstDiff]) {
    ++firstDiff;
  }
  if (firstDiff == got.Lines.size() && firstDiff == expected.size()) return;

  // Leave what we got beside the golden file so the difference can be read.
  std::ofstream actual(golden + ".actual");
  for (const auto& line : got.Lines) actual << line << '\n';
  ADD_FAILURE() << "replay differs from " << golden << " at frame " << firstDiff << ": expected \""
                << (firstDiff < expected.size() ? expected[firstDiff] : "<end>") << "\", got \""
                << (firstDiff < got.Lines.size() ? got.Lines[firstDiff] : "<end>") << "\"; wrote "
                << golden << ".actual";
}

// The golden file's FNV-1a hash for each logic version. A change to what the
// game does changes the golden file; it must come with a new logic version
// (game/LogicVersion.h) and its hash here, so old replays are refused rather
// than reported as desyncs.
constexpr std::pair<uint16_t, uint64_t> kGoldenHashes[] = {
    {1, 0x5fe9ab6d650b93a3ull}, {2, 0x593d71735bec7677ull},  // the game's own sin, cos and atan
};

TEST(GameReplay, GoldenFileChangesOnlyWithTheLogicVersion) {
  const std::string golden = std::string(TL_SOURCE_DIR) + "/tests/game/golden/replay.txt";
  std::ifstream in(golden, std::ios::binary);
  ASSERT_TRUE(in) << golden;
  uint64_t hash = 0xCBF29CE484222325ull;
  for (char c; in.get(c);) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  const auto* known = std::find_if(std::begin(kGoldenHashes), std::end(kGoldenHashes),
                                   [](const auto& row) { return row.first == kLogicVersion; });
  ASSERT_NE(known, std::end(kGoldenHashes))
      << "logic version " << kLogicVersion << " has no golden hash; add {" << kLogicVersion
      << ", 0x" << std::hex << hash << "}";
  EXPECT_EQ(known->second, hash) << "the golden replay changed but the logic version did not: "
                                 << "raise kLogicVersion and add its hash 0x" << std::hex << hash;
}

TEST(GameReplay, SameSeedAndInputGiveTheSameGame) {
  TGameRig a(77, false);
  TGameRig b(77, false);
  const auto script = MakeReplayScript(77, 1500);
  for (size_t i = 0; i < script.size(); ++i) {
    PlayReplayFrame(a, script[i]);
    PlayReplayFrame(b, script[i]);
    ASSERT_EQ(GameChecksum(*a.Game), GameChecksum(*b.Game)) << "frame " << i;
  }
}

}  // namespace

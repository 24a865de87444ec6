#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/GameReplay.h"

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

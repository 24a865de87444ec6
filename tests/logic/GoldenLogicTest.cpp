// The golden game played with the game logic alone (no pictures, text, sound
// or platform), as the score server plays it. The test command builds this
// with clang at -O0 and -O2 besides the gcc builds: the same bits everywhere.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "game/GameReplay.h"
#include "game/GameTrig.h"
#include "replay/HeadlessGame.h"

namespace {

TEST(GameLogic, TheGoldenGamePlaysToTheGoldenChecksumsWithoutDrawing) {
  constexpr uint64_t kSeed = 20261207;
  const std::string golden = std::string(TL_SOURCE_DIR) + "/tests/game/golden/replay.txt";
  std::ifstream in(golden);
  std::vector<std::string> expected;
  for (std::string line; std::getline(in, line);) expected.push_back(line);
  ASSERT_FALSE(expected.empty()) << golden;

  THeadlessGame game(TGameStart{kSeed, FakePlatform::kDefaultStartTick});
  const auto script = MakeReplayScript(kSeed, static_cast<int>(expected.size()));
  for (size_t f = 0; f < script.size(); ++f) {
    TFrameInput input = ReadDevices(script[f].Keys, script[f].Mouse, TPadState{});
    input.Ms = script[f].Ms;
    input.WeaponChanges = script[f].NextWeapon ? 1 : 0;
    const bool ended = game.Step(input);
    const uint64_t sum = GameChecksum(game.Game());
    char line[96];
    std::snprintf(line, sizeof line, "%u %d %08x", game.Game().Phase, game.Game().Score,
                  static_cast<unsigned>(sum ^ (sum >> 32)));
    ASSERT_EQ(line, expected[f]) << "frame " << f;
    ASSERT_EQ(ended, f + 1 == expected.size()) << "frame " << f;
  }
}

TEST(GameLogic, OwnTrigonometryStaysWithinTwoUnitsInTheLastPlaceOfOne) {
  // Against long double, which is wider than the doubles compared; 4.5e-16 is
  // two units in the last place of 1.
  for (double x = -60.0; x <= 60.0; x += 0.0137) {
    const long double lx = x;
    EXPECT_NEAR(game_trig::Sin(x), static_cast<double>(sinl(lx)), 4.5e-16) << x;
    EXPECT_NEAR(game_trig::Cos(x), static_cast<double>(cosl(lx)), 4.5e-16) << x;
    const double a = game_trig::Atan(x * 3.0);
    EXPECT_NEAR(a, static_cast<double>(atanl(3.0L * lx)), 4.5e-16) << x;
  }
  EXPECT_EQ(game_trig::Atan(1e300), game_trig::Atan(1e20));
  EXPECT_EQ(game_trig::Sin(0.0), 0.0);
  EXPECT_EQ(game_trig::Cos(0.0), 1.0);
}

}  // namespace

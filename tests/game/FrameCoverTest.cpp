#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "assets/PackSlots.h"
#include "game/GameReplay.h"
#include "images/ImagePack.h"
#include "platform/FrameSize.h"

namespace {

// Never drawn by the game: a back buffer pixel still this colour after a
// frame was not written by it.
constexpr uint32_t kPoison = 0x00FE01FDu;

// A replayed game with the pack's real pictures, played twice in lockstep:
// one back buffer cleared to black before every frame as the shell always
// did, the other poisoned. Wherever the game says a frame covers the back
// buffer, both must come out byte-identical, so leaving out the clear cannot
// be seen. Every phase must be met covered at least once.
TEST(FrameCover, EveryPhaseTheGameCallsCoveredWritesEveryPixel) {
  constexpr uint64_t kSeed = 20261207;
  const std::string pack = std::string(TL_GAME_DIR) + "/" + kPackRelativePath;
  TGameRig cleared(kSeed, false);
  TGameRig poisoned(kSeed, false);
  LoadAllImages(cleared.Images, pack);
  LoadAllImages(poisoned.Images, pack);
  const auto script = MakeReplayScript(kSeed, 40000);
  // One life and little health: every phase comes, and soon.
  cleared.Game->Lives = poisoned.Game->Lives = 1;

  std::map<uint8_t, int> coveredFrames;  // by phase
  bool ended = false;
  for (size_t i = 0; i < script.size() && !ended; ++i) {
    const uint8_t phase = poisoned.Game->Phase;
    const bool covers = poisoned.Game->CoversFrame(poisoned.Back);
    ASSERT_EQ(covers, cleared.Game->CoversFrame(cleared.Back)) << "frame " << i;
    std::fill_n(cleared.Back.Pixels(), kFrameWidth * kFrameHeight, 0u);
    std::fill_n(poisoned.Back.Pixels(), kFrameWidth * kFrameHeight, kPoison);
    PlayReplayFrame(cleared, script[i]);
    PlayReplayFrame(poisoned, script[i]);
    if (phase == phLevelIntro && poisoned.Game->Phase == phPlay) {
      cleared.Game->Health = poisoned.Game->Health = 8;
    }
    ended = !poisoned.Host.States.empty();
    if (!covers) continue;
    ++coveredFrames[phase];
    const uint32_t* got = poisoned.Back.Pixels();
    const uint32_t* want = cleared.Back.Pixels();
    if (std::memcmp(got, want, sizeof(uint32_t) * kFrameWidth * kFrameHeight) == 0) continue;
    const auto at = std::mismatch(got, got + kFrameWidth * kFrameHeight, want).first - got;
    FAIL() << "frame " << i << " in phase " << int(phase) << " differs at (" << at % kFrameWidth
           << ", " << at / kFrameWidth << "): " << std::hex << got[at] << " instead of "
           << want[at];
  }
  ASSERT_TRUE(ended) << "the replayed game did not reach its end";
  for (uint8_t phase : {phBetween, phLevelIntro, phPlay, phGameOver}) {
    EXPECT_GT(coveredFrames[phase], 0) << "phase " << int(phase) << " never covered";
  }
}

}  // namespace

// Every game through the real form is recorded into replays/ beside
// Config.cfg and plays again to the same state.

#include <filesystem>
#include <fstream>
#include <iterator>

#include "replay/ReplayStore.h"
#include "replay/ReplayVerifier.h"
#include "shell/FormFixture.h"
#include "support/FileBytes.h"

namespace {

constexpr uint16_t kVkSpace = 32, kVkLeft = 37, kVkN = 78, kVkP = 80;

class ReplayRecordingTest : public MenuFixture {
 protected:
  // New Game, then a player holding keys, a pause, a weapon change, the quit
  // question answered No and then Yes, until the game hands back to the menus.
  void PlayShortGame() {
    Key(kVkEnter);
    ASSERT_EQ(state_.GameState, gsPlaying);
    for (int i = 0; i < 1000 && state_.GameState == gsPlaying; ++i) {
      sys_.SetKey(dik::kLeft, (i / 40) % 2 == 0);
      sys_.SetKey(dik::kRight, (i / 40) % 2 == 1);
      sys_.SetKey(dik::kLeftControl, i % 3 == 0);
      if (i == 180) Key(kVkP), ComposeFrame(), ComposeFrame(), Key(kVkP);
      if (i == 220) Key(kVkSpace);
      if (i == 260) Key(kVkEscape), ComposeFrame(), Key(kVkN);
      if (i == 300) Key(kVkEscape), Key(kVkLeft), Key(kVkEnter);
      ComposeFrame();
    }
    sys_.ClearKeys();
  }
  TReplayStore Store() const { return TReplayStore((dir_ / "replays").string()); }
  std::vector<uint8_t> Read(const std::string& name) const {
    return test_kit::ReadBytes(dir_ / "replays" / name);
  }
};

}  // namespace

TEST_F(ReplayRecordingTest, AGameWithPausesAndTheQuitQuestionIsRecordedAndVerifies) {
  Start();
  // Every row below any score: the game ends in the name entry.
  for (auto& row : state_.HiScores) row.Score = -1;
  PlayShortGame();
  ASSERT_EQ(state_.GameState, gsNameEntry);
  const std::vector<std::string> games = Store().Games();
  ASSERT_EQ(games.size(), 1u);
  const std::vector<uint8_t> bytes = Read(games[0]);
  const TVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
  EXPECT_EQ(verdict.Kind, TVerdictKind::Ok) << verdict.Message;
  EXPECT_EQ(verdict.Score, state_.CurrentGame->Score);
  EXPECT_GT(verdict.Frames, 300u);

  // The name entered links the replay to its row and goes into the file.
  for (char letter : std::string("ACE")) Key(static_cast<uint16_t>(letter));
  Key(kVkEnter);
  ASSERT_EQ(state_.HiScores[0].Name, "ACE");
  EXPECT_EQ(Store().ReadIndex()[0], games[0]);
  const std::vector<uint8_t> named = Read(games[0]);
  const TVerdict again = VerifyReplay(named.data(), named.size());
  EXPECT_EQ(again.Kind, TVerdictKind::Ok) << again.Message;
  EXPECT_EQ(again.PlayerName, "ACE");
}

TEST_F(ReplayRecordingTest, AnUnwritableReplaysFolderCostsOnlyTheReplay) {
  Start();
  std::ofstream(dir_ / "replays") << "a file where the folder would be";
  testing::internal::CaptureStderr();
  PlayShortGame();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(state_.GameState, gsMainMenu);
  EXPECT_NE(err.find("the replay of this game is not kept"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  // The game and the settings go on.
  Key(kVkEnter);
  EXPECT_EQ(state_.GameState, gsPlaying);
}

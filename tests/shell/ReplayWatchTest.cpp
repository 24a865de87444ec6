// Watching a replay through the form on the fake platform: the recorded game
// plays to the checksums the verifier checks, the keys and the pad pause and
// end it, and it ends where it started.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "game/LogicVersion.h"
#include "replay/ReplayKit.h"
#include "replay/ReplayStore.h"
#include "replay/ReplayVerifier.h"
#include "shell/FormFixture.h"
#include "shell/ReplayViewer.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace {

constexpr uint16_t kVkP = 80, kVkEscape = 27;

// One whole scripted game, recorded once for the binary.
const TRecordedGame& Recorded() {
  static const TRecordedGame game = RecordScriptedGame(20261209, false);
  return game;
}

}  // namespace

class ReplayWatchTest : public MenuFixture {
 protected:
  // Reads the recorded game from a file as the command line and the table do,
  // and starts watching it from `screen`.
  void Watch(uint32_t screen, bool closeAfter) {
    const auto path = dir_ / "game.tlr";
    test_kit::WriteFile(path, Recorded().Bytes);
    TReplay replay;
    std::string error;
    ASSERT_TRUE(ReadWatchableReplay(path.string(), replay, error)) << error;
    state_.GameState = screen;
    form_->WatchReplay(std::move(replay), closeAfter);
    ASSERT_EQ(state_.GameState, gsWatching);
  }
  // A key, or a pad button pressed and let go.
  void Press(bool pad, uint16_t key, TPadButton button) {
    if (!pad) return Key(key);
    sys_.PressPad(button);
    sys_.ReleasePad(button);
    Deliver();
  }
  // Passes of the loop while the replay plays, at most `passes`.
  void Play(int passes) {
    for (int i = 0; i < passes && state_.GameState == gsWatching && !form_->Closed(); ++i) {
      ComposeFrame();
    }
  }
};

TEST_F(ReplayWatchTest, AWholeGameNamedOnTheCommandLinePlaysFastToItsEndAndCloses) {
  const TRecordedGame& game = Recorded();
  StartForm();
  Watch(gsIntro, true);
  // Up held: about 8 recorded frames a pass.
  sys_.SetKey(dik::kUp, true);
  Play(static_cast<int>(game.Replay.FrameCount() / 4));
  const TReplayViewer* viewer = form_->Viewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->FramesPlayed(), game.Replay.FrameCount());
  EXPECT_EQ(viewer->Checkpoints(), game.Replay.Checkpoints);
  EXPECT_EQ(viewer->Game().Score, game.Replay.FinalScore);
  EXPECT_TRUE(form_->Closed());
}

TEST_F(ReplayWatchTest, AGameRecordedByTheShellPlaysFromItsRowToTheVerifiersChecksums) {
  constexpr uint16_t kVkLeft = 37;
  Start();
  for (auto& row : state_.HiScores) row.Score = -1;  // any score enters the table
  Key(kVkEnter);                                     // New Game
  for (int i = 0; i < 1000 && state_.GameState == gsPlaying; ++i) {
    sys_.SetKey(dik::kLeft, (i / 40) % 2 == 0);
    sys_.SetKey(dik::kLeftControl, i % 3 == 0);
    if (i == 300) Key(kVkEscape), Key(kVkLeft), Key(kVkEnter);  // quit: Yes
    ComposeFrame();
  }
  sys_.ClearKeys();
  ASSERT_EQ(state_.GameState, gsNameEntry);
  for (char letter : std::string("ACE")) Key(static_cast<uint16_t>(letter));
  Key(kVkEnter);   // Ok
  Key(kVkEscape);  // not sent
  state_.GameState = gsHighScores;
  ComposeFrame();

  const std::string name = TReplayStore((dir_ / "replays").string()).ReadIndex()[0];
  ASSERT_FALSE(name.empty());
  const std::vector<uint8_t> bytes = test_kit::ReadBytes(dir_ / "replays" / name);
  const TVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
  ASSERT_EQ(verdict.Kind, TVerdictKind::Ok) << verdict.Message;
  TReplay recorded;
  ASSERT_TRUE(DecodeReplay(bytes.data(), bytes.size(), recorded));

  Click(420, 200);  // the first row
  ASSERT_EQ(state_.GameState, gsWatching);
  Play(2000);
  EXPECT_EQ(state_.GameState, gsHighScores);
  const TReplayViewer* viewer = form_->Viewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->FramesPlayed(), verdict.Frames);
  EXPECT_FALSE(recorded.Checkpoints.empty());
  EXPECT_EQ(viewer->Checkpoints(), recorded.Checkpoints);
  EXPECT_EQ(StateChecksum(viewer->Game()), recorded.FinalChecksum);
  EXPECT_EQ(viewer->Game().Score, verdict.Score);
}

TEST_F(ReplayWatchTest, PauseHoldsTheGameAndEscOrThePadEndsIt) {
  for (const bool pad : {false, true}) {
    SCOPED_TRACE(pad ? "pad" : "keys");
    TearDown();
    SetUp();
    state_ = TShellState{};
    StartForm();
    sys_.PlugPad();
    Watch(gsHighScores, false);
    Play(20);
    const uint32_t played = form_->Viewer()->FramesPlayed();
    EXPECT_GE(played, 8u);
    EXPECT_LE(played, 30u);  // about one recorded frame a pass at the normal pace
    Press(pad, kVkP, TPadButton::Start);
    Play(20);
    EXPECT_EQ(form_->Viewer()->FramesPlayed(), played) << "paused";
    EXPECT_EQ(state_.GameState, gsWatching);
    Press(pad, kVkP, TPadButton::Start);
    Play(5);
    EXPECT_GT(form_->Viewer()->FramesPlayed(), played) << "going again";
    music_.Calls.clear();
    Press(pad, kVkEscape, TPadButton::B);
    EXPECT_EQ(state_.GameState, gsHighScores);
    // The menus get their music back from the game's.
    EXPECT_EQ(music_.Calls, std::vector<std::string>{"play 1.xm"});
    form_.reset();
  }
}

TEST_F(ReplayWatchTest, ATableRowWithAReplayIsWatchedByMouseKeysAndPad) {
  constexpr uint16_t kVkPageDown = 34, kVkW = 87;
  const int32_t rowX = 420, firstRowY = 200, secondRowY = 226;
  struct TCase {
    const char* label;
    bool damaged;    // the linked file is cut short
    int how;         // 0 click on the first row, 1 PageDown and W, 2 the pad
    uint32_t shown;  // the screen then
  };
  const TCase cases[] = {
      {"click", false, 0, gsWatching},
      {"keys", false, 1, gsWatching},
      {"pad", false, 2, gsWatching},
      {"damaged file", true, 0, gsReplayFailed},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.label);
    TearDown();
    SetUp();
    state_ = TShellState{};
    // The table's first row links the recorded game.
    TReplayStore store((dir_ / "replays").string());
    std::vector<uint8_t> bytes = Recorded().Bytes;
    if (c.damaged) bytes.resize(bytes.size() / 2);
    std::string error;
    TReplayStore::TIndex index;
    index[0] = store.Add(bytes, 1765000000, error);
    ASSERT_FALSE(index[0].empty()) << error;
    ASSERT_TRUE(store.WriteIndex(index, error)) << error;
    StartForm();
    sys_.PlugPad();
    state_.GameState = gsHighScores;
    ComposeFrame();
    Click(rowX, secondRowY);  // no replay there: nothing happens
    EXPECT_EQ(state_.GameState, gsHighScores);
    if (c.how == 0) Click(rowX, firstRowY);
    if (c.how == 1) {
      Key(kVkPageDown);
      Key(kVkW);
    }
    if (c.how == 2) {
      for (TPadButton b : {TPadButton::RightShoulder, TPadButton::X}) {
        sys_.PressPad(b);
        sys_.ReleasePad(b);
        Deliver();
      }
    }
    EXPECT_EQ(state_.GameState, c.shown);
    ComposeFrame();
    Key(c.damaged ? kVkEnter : kVkEscape);
    EXPECT_EQ(state_.GameState, gsHighScores);
  }
}

TEST(ReplayWatch, AReplayThatCannotBePlayedIsRefusedWithItsReason) {
  const TScratchFolder dir;
  std::vector<uint8_t> bytes = Recorded().Bytes;
  TReplay other = Recorded().Replay;
  other.LogicVersion = kLogicVersion + 1;
  struct TCase {
    const char* label;
    std::vector<uint8_t> bytes;  // empty: no file
    const char* reason;
  };
  const TCase cases[] = {
      {"missing", {}, "No such file"},
      {"cut short", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 100), ""},
      {"not a replay", {'h', 'e', 'l', 'l', 'o'}, ""},
      {"another logic version", EncodeReplay(other), "game logic"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.label);
    const auto path = dir / (std::string(c.label) + ".tlr");
    if (!c.bytes.empty()) test_kit::WriteFile(path, c.bytes);
    TReplay replay;
    std::string error;
    EXPECT_FALSE(ReadWatchableReplay(path.string(), replay, error));
    EXPECT_EQ(error.rfind(path.string() + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_GT(error.size(), path.string().size() + 2) << error;
  }
}

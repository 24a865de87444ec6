#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/GameLayout.h"

#include "replay/ReplayKit.h"
#include "replay/ReplayVerifier.h"
#include "support/FileBytes.h"

namespace {

// Recorded once for the binary: a whole game takes a while under the sanitizers.
const TRecordedGame& Recorded() {
  static const TRecordedGame game = RecordScriptedGame(20261207, false);
  return game;
}

// Drawing a frame costs milliseconds under the sanitizers: the sessions drawn
// often play the first levels (a level ends, a ship is lost, the next begins).
constexpr size_t kDrawnFrames = 2500;

TVerdict Verify(const std::vector<uint8_t>& bytes) {
  return VerifyReplay(bytes.data(), bytes.size());
}

TEST(ReplayVerify, RecordedGamePlaysAgainToTheSameStateHoweverOftenItIsDrawn) {
  const TRecordedGame& game = Recorded();
  const TVerdict verdict = Verify(game.Bytes);
  ASSERT_EQ(verdict.Kind, TVerdictKind::Ok) << verdict.Message;
  EXPECT_EQ(VerdictExitCode(verdict), 0);
  EXPECT_EQ(verdict.Score, game.Replay.FinalScore);
  EXPECT_EQ(verdict.PlayedScore, game.Replay.FinalScore);
  EXPECT_GT(verdict.Score, 0);
  EXPECT_EQ(verdict.Frames, game.Sums.size());

  // The file read back and played with pictures, text and sound, drawn by
  // each pattern: the state after every frame is the recorded one.
  TReplay replay;
  ASSERT_TRUE(DecodeReplay(game.Bytes.data(), game.Bytes.size(), replay));
  const size_t frames = replay.Inputs.size();
  struct TCase {
    const char* Name;
    size_t Frames;  // played
    bool (*Drawn)(size_t frame, TRandom& pick, const TGame& session);
    bool Pictured;  // the game-over picture is made
  };
  const TCase cases[] = {
      {"never", frames, [](size_t, TRandom&, const TGame&) { return false; }, false},
      {"always", kDrawnFrames, [](size_t, TRandom&, const TGame&) { return true; }, false},
      {"every other frame", kDrawnFrames,
       [](size_t f, TRandom&, const TGame&) { return f % 2 == 0; }, false},
      {"a random pattern", kDrawnFrames,
       [](size_t, TRandom& pick, const TGame&) { return pick.Random(2) == 0; }, false},
      // As the viewer draws at 8x: the frame it shows and those the session asks for.
      {"one in eight, to the end", frames,
       [](size_t f, TRandom&, const TGame& session) {
         return f % 8 == 7 || session.DrawsLastingPicture();
       },
       true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TGameRig rig(replay.Seed, true);
    ASSERT_EQ(rig.Game->Tick(), replay.StartTick);
    TRandom pick(replay.Seed);
    for (size_t f = 0; f < c.Frames; ++f) {
      rig.Game->RunFrame(replay.Inputs[f], c.Drawn(f, pick, *rig.Game) ? &rig.Back : nullptr);
      ASSERT_EQ(StateChecksum(*rig.Game), game.Sums[f]) << "frame " << f;
    }
    EXPECT_FALSE(rig.Sound.Calls.empty());
    if (c.Frames < frames) continue;
    EXPECT_FALSE(rig.Host.States.empty()) << "the game ended";
    // The game-over picture is made although most frames around it are not
    // drawn: its stripes lie on every other row.
    EXPECT_EQ(rig.Snapshot->PixelAt(400, 0) != 0, c.Pictured);
  }
}

TEST(ReplayVerify, EveryTruncationAndFlippedByteFailsWithAMessage) {
  const std::vector<uint8_t>& bytes = Recorded().Bytes;
  for (size_t size = 0; size < bytes.size(); ++size) {
    const TVerdict verdict = VerifyReplay(bytes.data(), size);
    ASSERT_EQ(VerdictExitCode(verdict), 2) << "cut to " << size << ": " << verdict.Message;
    ASSERT_FALSE(verdict.Message.empty());
  }
  for (size_t at = 0; at < bytes.size(); at += 3) {
    for (const uint8_t bit : {uint8_t{0x01}, uint8_t{0x80}}) {
      std::vector<uint8_t> damaged = bytes;
      damaged[at] ^= bit;
      const TVerdict verdict = Verify(damaged);
      ASSERT_NE(VerdictExitCode(verdict), 0) << "byte " << at << " bit " << int{bit};
      ASSERT_FALSE(verdict.Message.empty());
    }
  }
}

TEST(ReplayVerify, ForgedReplaysWithAValidCrcAreCaught) {
  const TRecordedGame& game = Recorded();
  // Frames in play where the ship stood still: a left key added there moves
  // it at once, and the difference lasts to the next check as long as the
  // ship keeps off both edges and the level does not restart.
  const size_t frames = game.Replay.Inputs.size();
  auto lasts = [&](size_t f) {
    const TFrameInput& in = game.Replay.Inputs[f];
    if (f == 0 || in.Keys != 0 || in.MouseX != 0 || in.Pad != 0) return false;
    const size_t check = (f / kCheckpointFrames + 1) * kCheckpointFrames - 1;
    if (check >= frames) return false;
    for (size_t g = f - 1; g <= check; ++g) {
      if (game.Phases[g] != phPlay || game.ShipX[g] <= kShipMinX + 6 ||
          game.ShipX[g] >= kShipMaxX) {
        return false;
      }
    }
    return true;
  };
  std::vector<size_t> still;
  for (size_t f = 1; f < frames && still.size() < 6; f += 500) {
    size_t g = f;
    while (g < frames && !lasts(g)) ++g;
    if (g < frames) still.push_back(g);
    f = g;
  }
  ASSERT_GE(still.size(), 3u);
  for (size_t frame : still) {
    SCOPED_TRACE(frame);
    TReplay forged = game.Replay;
    forged.Inputs[frame].Keys |= kInputLeft;  // one input bit
    const TVerdict verdict = VerifyReplay(forged);
    ASSERT_EQ(verdict.Kind, TVerdictKind::Desync) << verdict.Message;
    EXPECT_EQ(VerdictExitCode(verdict), 1);
    EXPECT_EQ(verdict.FirstBadFrame, static_cast<int64_t>(frame));
    EXPECT_LT(verdict.LastGoodFrame, static_cast<int64_t>(frame));
    EXPECT_GE(verdict.FirstBadCheckFrame, static_cast<int64_t>(frame));
    EXPECT_NE(verdict.Message.find("frame " + std::to_string(frame)), std::string::npos)
        << verdict.Message;
  }

  struct TCase {
    const char* Name;
    void (*Forge)(TReplay&);
    TVerdictKind Kind;
  };
  const TCase cases[] = {
      {"a higher score", [](TReplay& r) { r.FinalScore += 1000; }, TVerdictKind::Mismatch},
      {"a higher level", [](TReplay& r) { ++r.FinalLevel; }, TVerdictKind::Mismatch},
      {"the end cut off", [](TReplay& r) { r.Inputs.resize(r.Inputs.size() - 40); },
       TVerdictKind::Mismatch},
      {"another logic version", [](TReplay& r) { ++r.LogicVersion; }, TVerdictKind::OtherVersion},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TReplay forged = game.Replay;
    c.Forge(forged);
    if (forged.Inputs.size() != game.Replay.Inputs.size()) {
      // Cut as the recorder would have written it: checks for the frames kept.
      forged.Checkpoints.resize(forged.Inputs.size() / kCheckpointFrames);
      forged.FrameTags.resize(forged.Inputs.size());
      forged.FinalChecksum = game.Sums[forged.Inputs.size() - 1];
    }
    const std::vector<uint8_t> bytes = EncodeReplay(forged);
    const TVerdict verdict = Verify(bytes);
    EXPECT_EQ(verdict.Kind, c.Kind) << verdict.Message;
    EXPECT_NE(VerdictExitCode(verdict), 0);
  }
}

TEST(ReplayVerify, TheCpuCapStopsAVerification) {
  TVerifyLimits limits;
  limits.MaxCpuSeconds = 0;
  const TVerdict verdict = VerifyReplay(Recorded().Replay, limits);
  EXPECT_EQ(verdict.Kind, TVerdictKind::OverLimit) << verdict.Message;
  EXPECT_EQ(VerdictExitCode(verdict), 2);
}

}  // namespace

namespace {

// The program itself, as a user or the score server's operator runs it.
struct TRun {
  int Status = -1;
  std::string Out;
};

TRun RunGame(const std::string& args) {
  TRun run;
  // SDL must not be needed: no display and no sound device are offered.
  // A run that hangs is ended (exit 124) and fails the test.
  const std::string command =
      "timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=none "
      "SDL_AUDIODRIVER=none " TL_GAME_BIN " " +
      args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) run.Out.append(buf, n);
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(ReplayVerify, TheCommandLineReportsEachVerdictWithItsExitStatus) {
  const TRecordedGame& game = Recorded();
  TReplay forged = game.Replay;
  forged.FinalScore += 500;
  std::vector<uint8_t> cut(game.Bytes.begin(), game.Bytes.begin() + 100);
  test_kit::WriteFile("good.tlr", game.Bytes);
  test_kit::WriteFile("forged.tlr", EncodeReplay(forged));
  test_kit::WriteFile("cut.tlr", cut);
  std::filesystem::remove("pipe.tlr");
  ASSERT_EQ(mkfifo("pipe.tlr", 0600), 0);  // no writer: reading it must not wait
  struct TCase {
    std::string Args;
    int Status;
    std::string Says;
  };
  const TCase cases[] = {
      {"--verify-replay good.tlr", 0, "ok: good.tlr: the replay plays"},
      {"--verify-replay good.tlr --json", 0, "\"verdict\":\"ok\""},
      {"--verify-replay forged.tlr", 1, "claims score"},
      {"--verify-replay cut.tlr --json", 2, "\"verdict\":\"truncated\""},
      {"--verify-replay cut.tlr", 2, "cut.tlr: the file ends inside the inputs or checks"},
      {"--verify-replay missing.tlr", 2, "missing.tlr: No such file"},
      {"--verify-replay pipe.tlr", 2, "pipe.tlr: not a regular file"},
      {"--verify-replay .", 2, ".: a folder, not a file"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Args);
    const TRun run = RunGame(c.Args);
    EXPECT_EQ(run.Status, c.Status) << run.Out;
    EXPECT_NE(run.Out.find(c.Says), std::string::npos) << run.Out;
  }
  const TRun json = RunGame("--verify-replay good.tlr --json");
  EXPECT_NE(json.Out.find("\"score\":" + std::to_string(game.Replay.FinalScore)),
            std::string::npos);
}

}  // namespace

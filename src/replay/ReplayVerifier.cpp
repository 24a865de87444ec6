#include "replay/ReplayVerifier.h"

#include <time.h>

#include <cstdio>
#include <sstream>

#include "game/GameChecksum.h"
#include "game/LogicVersion.h"
#include "replay/HeadlessGame.h"

namespace {

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The CPU cap is read every this many frames.
constexpr uint32_t kCpuCheckFrames = 1024;

TGameStart StartOf(const TReplay& replay) {
  return TGameStart{replay.Seed, replay.StartTick};
}

// The first frame after `lastGood` whose state differs from the recorded
// one, found by playing from the start to `lastGood` and then checking each
// frame's tag up to `badCheck`, where the recorded check is known to differ.
// A change the player's input makes to the ship always shows in its frame's
// tag; any other change shows in seven frames of eight, so the frame named
// is then at most a frame or two late.
int64_t FindFirstBadFrame(const TReplay& replay, int64_t lastGood, int64_t badCheck) {
  THeadlessGame game(StartOf(replay));
  for (int64_t f = 0; f <= lastGood; ++f) game.Step(replay.Inputs[static_cast<size_t>(f)]);
  for (int64_t f = lastGood + 1; f < badCheck; ++f) {
    game.Step(replay.Inputs[static_cast<size_t>(f)]);
    if (FrameTag(game.Game()) != replay.FrameTags[static_cast<size_t>(f)]) return f;
  }
  return badCheck;
}

void FillFromFile(TVerdict& v, const TReplay& replay) {
  v.Readable = true;
  v.LogicVersion = replay.LogicVersion;
  v.GameVersion = replay.GameVersion;
  v.PlayerName = replay.PlayerName;
  v.StartDate = replay.StartDate;
  v.Score = replay.FinalScore;
  v.Level = replay.FinalLevel;
  v.Frames = replay.FrameCount();
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      // Names are ASCII in the game; anything else is shown escaped byte by byte.
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

TVerdict VerifyReplay(const uint8_t* data, size_t size, const TVerifyLimits& limits) {
  TReplay replay;
  const TReplayReadResult read = DecodeReplay(data, size, replay);
  if (!read) {
    TVerdict v;
    switch (read.Error) {
      case TReplayError::Truncated:
        v.Kind = TVerdictKind::Truncated;
        break;
      case TReplayError::BadCrc:
        v.Kind = TVerdictKind::BadCrc;
        break;
      case TReplayError::OtherVersion:
        v.Kind = TVerdictKind::OtherVersion;
        break;
      default:
        v.Kind = TVerdictKind::Unreadable;
        break;
    }
    v.Message = read.Message;
    return v;
  }
  return VerifyReplay(replay, limits);
}

TVerdict VerifyReplay(const TReplay& replay, const TVerifyLimits& limits) {
  const double cpuStart = ThreadCpuSeconds();
  TVerdict v;
  FillFromFile(v, replay);
  auto finish = [&](TVerdictKind kind, std::string message) {
    v.Kind = kind;
    v.Message = std::move(message);
    v.CpuSeconds = ThreadCpuSeconds() - cpuStart;
    return v;
  };
  if (replay.LogicVersion != kLogicVersion) {
    return finish(TVerdictKind::OtherVersion,
                  "recorded with game logic " + std::to_string(replay.LogicVersion) +
                      "; this game plays logic " + std::to_string(kLogicVersion));
  }
  const uint32_t frames = replay.FrameCount();
  if (frames > limits.MaxFrames) {
    return finish(TVerdictKind::OverLimit, "the replay has " + std::to_string(frames) +
                                               " frames, more than the cap of " +
                                               std::to_string(limits.MaxFrames));
  }

  THeadlessGame game(StartOf(replay));
  auto desync = [&](int64_t lastGood, int64_t badCheck, uint32_t expected, uint32_t actual) {
    v.LastGoodFrame = lastGood;
    v.FirstBadCheckFrame = badCheck;
    v.Expected = expected;
    v.Actual = actual;
    v.FirstBadFrame = FindFirstBadFrame(replay, lastGood, badCheck);
    return finish(TVerdictKind::Desync, "desync at frame " + std::to_string(v.FirstBadFrame) +
                                            " (the check after frame " + std::to_string(badCheck) +
                                            " differs; the one after frame " +
                                            std::to_string(lastGood) + " matched)");
  };

  int64_t lastGood = -1;
  for (uint32_t f = 0; f < frames; ++f) {
    const bool ended = game.Step(replay.Inputs[f]);
    v.FramesPlayed = f + 1;
    v.PlayedScore = game.Game().Score;
    v.PlayedLevel = game.Game().Level;
    if ((f + 1) % kCheckpointFrames == 0) {
      const uint32_t expected = replay.Checkpoints[f / kCheckpointFrames];
      const uint32_t actual = StateChecksum(game.Game());
      if (actual != expected) return desync(lastGood, f, expected, actual);
      lastGood = f;
    }
    if (ended && f + 1 < frames) {
      return finish(TVerdictKind::Mismatch, "the game ends at frame " + std::to_string(f) +
                                                " but the replay goes on to frame " +
                                                std::to_string(frames - 1));
    }
    if ((f + 1) % kCpuCheckFrames == 0 && ThreadCpuSeconds() - cpuStart > limits.MaxCpuSeconds) {
      return finish(TVerdictKind::OverLimit, "stopped after " + std::to_string(f + 1) +
                                                 " frames: the CPU-time cap was reached");
    }
  }
  const uint32_t finalSum = StateChecksum(game.Game());
  if (finalSum != replay.FinalChecksum) {
    return desync(lastGood, static_cast<int64_t>(frames) - 1, replay.FinalChecksum, finalSum);
  }
  if (!game.Ended()) {
    return finish(TVerdictKind::Mismatch, "the game has not ended after the replay's last frame");
  }
  if (v.PlayedScore != replay.FinalScore || v.PlayedLevel != replay.FinalLevel) {
    return finish(TVerdictKind::Mismatch,
                  "the game ends with score " + std::to_string(v.PlayedScore) + " at level " +
                      std::to_string(v.PlayedLevel) + "; the replay claims score " +
                      std::to_string(replay.FinalScore) + " at level " +
                      std::to_string(replay.FinalLevel));
  }
  return finish(TVerdictKind::Ok, "the replay plays to every check and to its final score");
}

int VerdictExitCode(const TVerdict& verdict) {
  switch (verdict.Kind) {
    case TVerdictKind::Ok:
      return 0;
    case TVerdictKind::Desync:
    case TVerdictKind::Mismatch:
      return 1;
    default:
      return 2;
  }
}

const char* VerdictName(TVerdictKind kind) {
  switch (kind) {
    case TVerdictKind::Ok:
      return "ok";
    case TVerdictKind::Desync:
      return "desync";
    case TVerdictKind::Mismatch:
      return "mismatch";
    case TVerdictKind::Unreadable:
      return "unreadable";
    case TVerdictKind::Truncated:
      return "truncated";
    case TVerdictKind::BadCrc:
      return "crc";
    case TVerdictKind::OtherVersion:
      return "version";
    case TVerdictKind::OverLimit:
      return "limit";
  }
  return "unreadable";
}

std::string VerdictText(const TVerdict& v) {
  std::ostringstream out;
  out << VerdictName(v.Kind) << ": " << v.Message << '\n';
  if (v.Readable) {
    // A game started before a name was typed has none.
    out << (v.PlayerName.empty() ? std::string("no player name") : "player " + v.PlayerName)
        << ", score " << v.Score << ", level " << v.Level << ", " << v.Frames << " frames, logic "
        << v.LogicVersion << ", game " << v.GameVersion << '\n';
  }
  return out.str();
}

std::string VerdictJson(const TVerdict& v) {
  std::ostringstream out;
  out << "{\"verdict\":\"" << VerdictName(v.Kind) << "\",\"exit\":" << VerdictExitCode(v)
      << ",\"message\":" << JsonString(v.Message);
  if (v.Readable) {
    out << ",\"player\":" << JsonString(v.PlayerName)
        << ",\"game_version\":" << JsonString(v.GameVersion)
        << ",\"logic_version\":" << v.LogicVersion << ",\"start_date\":" << v.StartDate
        << ",\"score\":" << v.Score << ",\"level\":" << v.Level << ",\"frames\":" << v.Frames
        << ",\"frames_played\":" << v.FramesPlayed << ",\"played_score\":" << v.PlayedScore
        << ",\"played_level\":" << v.PlayedLevel;
  }
  if (v.Kind == TVerdictKind::Desync) {
    out << ",\"first_bad_frame\":" << v.FirstBadFrame << ",\"last_good_frame\":" << v.LastGoodFrame
        << ",\"first_bad_check_frame\":" << v.FirstBadCheckFrame << ",\"expected\":" << v.Expected
        << ",\"actual\":" << v.Actual;
  }
  char cpu[32];
  std::snprintf(cpu, sizeof cpu, "%.6f", v.CpuSeconds);
  out << ",\"cpu_seconds\":" << cpu << "}";
  return out.str();
}

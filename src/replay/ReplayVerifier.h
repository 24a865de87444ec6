#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "replay/ReplayFile.h"

// What playing a replay again found.
enum class TVerdictKind : uint8_t {
  Ok,            // every checkpoint, the final state, score and level match
  Desync,        // a state checksum differs: FirstBadFrame says where
  Mismatch,      // the states match but the end differs (score, level, length)
  Unreadable,    // not a replay, or a field out of range
  Truncated,     // cut short
  BadCrc,        // damaged
  OtherVersion,  // another format version or another logic version
  OverLimit,     // the frame or CPU-time cap stopped the verification
};

struct TVerdict {
  TVerdictKind Kind = TVerdictKind::Unreadable;
  std::string Message;  // one line saying what was found

  // From the file, when it could be read.
  bool Readable = false;
  uint16_t LogicVersion = 0;
  std::string GameVersion;
  std::string PlayerName;
  int64_t StartDate = 0;
  int32_t Score = 0;  // as recorded
  uint16_t Level = 0;
  uint32_t Frames = 0;

  // From playing it again.
  uint32_t FramesPlayed = 0;
  int32_t PlayedScore = 0;
  uint16_t PlayedLevel = 0;

  // Desync: frames count from 0. The state after FirstBadFrame is the first
  // that differs; LastGoodFrame is the last frame whose state was checked
  // equal by a checkpoint (-1: none before), FirstBadCheckFrame the frame of
  // the check that failed. Expected/Actual are that check's checksums.
  int64_t FirstBadFrame = -1;
  int64_t LastGoodFrame = -1;
  int64_t FirstBadCheckFrame = -1;
  uint32_t Expected = 0;
  uint32_t Actual = 0;

  double CpuSeconds = 0;  // CPU time the verification took
};

struct TVerifyLimits {
  uint32_t MaxFrames = kMaxReplayFrames;
  double MaxCpuSeconds = 30.0;  // of the calling thread
};

// Reads and plays the replay again with this build's game logic.
TVerdict VerifyReplay(const uint8_t* data, size_t size, const TVerifyLimits& limits = {});
TVerdict VerifyReplay(const TReplay& replay, const TVerifyLimits& limits = {});

// The command line's exit code: 0 Ok, 1 Desync or Mismatch, 2 the rest.
int VerdictExitCode(const TVerdict& verdict);
// "ok", "desync", "mismatch", "unreadable", "truncated", "crc", "version", "limit".
const char* VerdictName(TVerdictKind kind);
// A few lines for people.
std::string VerdictText(const TVerdict& verdict);
// One JSON object with every field above.
std::string VerdictJson(const TVerdict& verdict);

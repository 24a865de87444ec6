#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/FrameInput.h"

// One recorded game: how it started, every frame's input, and checks of the
// game's state along the way. The byte layout of a .tlr file is described in
// docs/replay-format.md.
struct TReplay {
  uint16_t LogicVersion = 0;
  std::string GameVersion;  // at most kMaxReplayText bytes
  std::string PlayerName;   // at most kMaxReplayText bytes
  int64_t StartDate = 0;    // seconds since 1970-01-01 UTC
  uint64_t Seed = 0;
  uint32_t StartTick = 0;  // the session's clock at New Game, ms
  int32_t FinalScore = 0;
  uint16_t FinalLevel = 0;
  uint32_t FinalChecksum = 0;         // state checksum after the last frame
  std::vector<TFrameInput> Inputs;    // one per frame
  std::vector<uint32_t> Checkpoints;  // state checksum after frame 64k + 63
  std::vector<uint8_t> FrameTags;     // low 4 bits of every frame's state checksum

  uint32_t FrameCount() const { return static_cast<uint32_t>(Inputs.size()); }
};

inline constexpr uint16_t kReplayFormatVersion = 1;
inline constexpr uint32_t kCheckpointFrames = 64;
inline constexpr size_t kMaxReplayText = 32;
// Four hours at 64 frames a second: what one file may hold, and what a reader
// is prepared to allocate for.
inline constexpr uint32_t kMaxReplayFrames = 4u * 60u * 60u * 64u;
// The largest file the reader takes at all.
inline constexpr size_t kMaxReplayBytes = 2u * 1024u * 1024u;

// The file's bytes. Text longer than kMaxReplayText is cut there; a replay
// with more than kMaxReplayFrames frames is a caller's error (the recorder
// stops before).
std::vector<uint8_t> EncodeReplay(const TReplay& replay);

// Why a file was not read.
enum class TReplayError : uint8_t {
  None,
  Truncated,     // shorter than its own layout says
  BadCrc,        // the CRC-32 at the end does not match
  Unreadable,    // not a replay, or a field out of its range
  OtherVersion,  // a format version this reader does not know
};

struct TReplayReadResult {
  TReplayError Error = TReplayError::None;
  std::string Message;  // human-readable reason when Error != None
  explicit operator bool() const { return Error == TReplayError::None; }
};

// Reads a whole .tlr file. Every length is checked against the bytes and the
// limits above before anything is allocated; hostile bytes give an error,
// never a crash or an allocation beyond the limits. On error `out` is left in
// an unspecified but valid state.
TReplayReadResult DecodeReplay(const uint8_t* data, size_t size, TReplay& out);

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the score database keeps of an uploaded replay and of the verifier's
// work on it.

// A replay is pending until a verifier worker settles it; verified and
// rejected are final.
inline constexpr const char* kReplayPending = "pending";
inline constexpr const char* kReplayVerified = "verified";
inline constexpr const char* kReplayRejected = "rejected";

// The largest upload taken: a ten-minute game is a few KiB.
inline constexpr size_t kMaxReplayUpload = 64 * 1024;

enum class TReplayUploadOutcome : uint8_t {
  Stored,           // `Id` is the new replay, pending
  UnknownResult,    // no accepted result carries this p
  AlreadyUploaded,  // the result already has its replay
  Unavailable,      // the database could not be reached or refused
};

struct TReplayUpload {
  TReplayUploadOutcome Outcome = TReplayUploadOutcome::Unavailable;
  int64_t Id = 0;
};

// A replay as GET /api/replays/<id> shows it.
struct TReplayInfo {
  bool Found = false;
  bool Available = true;  // false: the database could not be read
  int64_t Id = 0;
  std::string Status;
  std::string Reason;
  std::string Name;  // of the result it belongs to
  int32_t Score = 0;
  int64_t Uploaded = 0;       // Unix time, seconds
  int64_t Verifications = 0;  // final marks written: 1 once settled
  std::vector<uint8_t> Data;  // only when asked for
};

// A pending replay a worker has claimed, with the result it must match.
struct TReplayClaim {
  int64_t Id = 0;
  std::string Owner;  // the lease: the final mark is written only while it still holds
  std::vector<uint8_t> Data;
  std::string Name;
  std::string PlayerName;
  int32_t Score = 0;
};

// A recent result that is not ranked because its replay is missing, pending
// or rejected.
struct TUnsettledRow {
  std::string Name;
  std::string PlayerName;
  int32_t Score = 0;
  int64_t Submitted = 0;
  int64_t ReplayId = 0;  // 0: no replay uploaded
  std::string Status;    // "no replay", pending or rejected
  std::string Reason;
};

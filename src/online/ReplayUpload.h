#pragma once

#include <cstddef>
#include <string>

#include "online/ResultSubmission.h"
#include "platform/Platform.h"

// The replay of a submitted game goes to the score server after the result was
// accepted, so that the server can play the game again before it ranks it.
inline constexpr size_t kMaxReplayUploadBytes = 64 * 1024;
inline constexpr const char* kReplayContentType = "application/x-tidal-lynx-replay";

// POSTs `replay` to /api/replays?p=<challenge> and expects 202. Returns
// whether the server took it; `error` says why not. A replay larger than
// kMaxReplayUploadBytes is not sent (the server would refuse it) and counts
// as failed.
bool UploadReplay(Platform& sys, const THttpOptions& http, const TAcceptedResult& result,
                  const std::string& replay, std::string& error);

// The upload as a step of the result's submission. A failure is written to
// stderr and leads to the retry question; a replay too large to be sent is
// written to stderr only, since sending it again cannot help.
TResultSubmission::TStep ReplayUploadStep(std::string replay);

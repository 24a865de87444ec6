#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ScorePages.h"
#include "ScoreStore.h"

struct TScoreRequest;

inline constexpr const char* kReplayContentType = "application/x-tidal-lynx-replay";

// The replay endpoints:
//   POST /api/replays?p=CHALLENGE  the replay of the result accepted with p
//                                  (202 {"id":N,"status":"pending"})
//   GET  /api/replays/N            {"id":N,"status":..,"reason":..,...}
//   GET  /api/replays/N.tlr        the file
// `uploaded` is called after a replay was stored (wakes the verifier).
TWebAnswer HandleReplayRequest(TScoreStore& store, const TScoreRequest& request, int64_t now,
                               const std::function<void()>& uploaded);

// Whether a path belongs to the replay endpoints.
bool IsReplayPath(const std::string& path);

#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

// Sends a result to the world high-score server with the two GET requests and
// returns the GameState to show afterwards: gsHighScores, or gsConnectFailed
// when the first request fails. Blocks until both requests end (each is bounded
// by a connect and a total time-out).
uint32_t SubmitResult(Platform& sys, const std::string& name, int32_t score,
                      const std::string& playerName);

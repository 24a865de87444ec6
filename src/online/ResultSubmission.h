#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Platform.h"

// Where and how patiently the submission talks to the server.
struct TSubmitOptions {
  std::string Host;               // empty: the build's score host
  long ConnectTimeoutMs = 10000;  // per request
  long TotalTimeoutMs = 20000;    // per request
  size_t MaxAnswerBytes = 16 * 1024;
};

// Sends a result to the world high-score server with the two GET requests and
// returns the GameState to show afterwards: gsHighScores, or gsConnectFailed
// when the first request fails. Blocks until both requests end (each is bounded
// by a connect and a total time-out).
uint32_t SubmitResult(Platform& sys, const std::string& name, int32_t score,
                      const std::string& playerName);
uint32_t SubmitResult(Platform& sys, const std::string& name, int32_t score,
                      const std::string& playerName, const TSubmitOptions& options);

// The request options both submission requests are sent with.
THttpOptions SubmissionHttpOptions(const TSubmitOptions& options);

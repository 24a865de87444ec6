#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "platform/Platform.h"

// Where and how patiently the submission talks to the server.
struct TSubmitOptions {
  std::string Host;               // empty: the build's score host
  long ConnectTimeoutMs = 10000;  // per request
  long TotalTimeoutMs = 20000;    // per request
  size_t MaxAnswerBytes = 16 * 1024;
  std::stop_token Stop;  // a stop asked for here ends the requests early
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

// A submission on a worker thread of its own, so that the window keeps
// drawing "Please wait..." and taking events while the server is slow or
// silent. The shell starts it, asks Finished() once a frame and then shows
// Outcome(). Requests that belong to the same result (an upload of its
// replay, say) are added with Then before Start and run on the same worker
// after the result's own two, only when the server was reached.
//
// The platform's HttpGet is called from the worker: it must be safe to call
// from another thread while the frame loop runs.
class TResultSubmission {
 public:
  // A further request: gets the platform and the submission's request options
  // (whose Stop the destructor asks for).
  using TStep = std::function<void(Platform& sys, const THttpOptions& http)>;

  TResultSubmission(Platform& sys, std::string name, int32_t score, std::string playerName,
                    TSubmitOptions options = {});
  // Asks the worker to stop (a request in flight ends soon after, as failed)
  // and waits for it.
  ~TResultSubmission();
  TResultSubmission(const TResultSubmission&) = delete;
  TResultSubmission& operator=(const TResultSubmission&) = delete;

  void Then(TStep step);
  // Starts the worker; once only.
  void Start();
  // Whether every request has ended; Outcome is then the screen to show.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  uint32_t Outcome() const { return outcome_; }

 private:
  void Work(std::stop_token stop);

  Platform& sys_;
  const std::string name_;
  const int32_t score_;
  const std::string playerName_;
  TSubmitOptions options_;
  std::vector<TStep> steps_;
  uint32_t outcome_ = 0;  // written by the worker before finished_
  std::atomic<bool> finished_{false};
  std::jthread worker_;  // last: joined before the rest goes
};

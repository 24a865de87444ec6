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

// What the result's own two requests leave for the requests that belong to it.
struct TAcceptedResult {
  std::string BaseUrl;    // "http://" and the host
  std::string Challenge;  // the p the result was sent with
};

// The outcome of the two requests: the screen to show, and whether the server
// accepted the result (a 2xx answer to the second).
struct TSubmitReport {
  uint32_t State = 0;
  bool Accepted = false;
  TAcceptedResult Result;
};
TSubmitReport SendResult(Platform& sys, const std::string& name, int32_t score,
                         const std::string& playerName, const TSubmitOptions& options);

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
// Outcome(). Requests that belong to the same result (the upload of its
// replay) are added with Then before Start and run on the same worker after
// the result's own two, only when the server accepted the result. A step that
// fails ends the run with gsUploadFailed; RetryFailedStep runs it again, and
// the steps after it, without sending the result a second time.
//
// The platform's HttpGet and HttpPost are called from the worker: it must be safe to call
// from another thread while the frame loop runs.
class TResultSubmission {
 public:
  // A further request: gets the platform, the submission's request options
  // (whose Stop the destructor asks for) and the accepted result; returns
  // whether it succeeded.
  using TStep =
      std::function<bool(Platform& sys, const THttpOptions& http, const TAcceptedResult& result)>;

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
  // After an outcome of gsUploadFailed: runs the failed step and the ones
  // after it again on a new worker.
  void RetryFailedStep();
  // Whether every request has ended; Outcome is then the screen to show.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  uint32_t Outcome() const { return outcome_; }
  // Whether the result's own requests are done and the steps after them run.
  bool RunningSteps() const { return runningSteps_.load(std::memory_order_acquire); }

 private:
  void Work(std::stop_token stop);
  // Runs the steps from nextStep_ on; the outcome they leave.
  uint32_t RunSteps(const std::stop_token& stop);

  Platform& sys_;
  const std::string name_;
  const int32_t score_;
  const std::string playerName_;
  TSubmitOptions options_;
  std::vector<TStep> steps_;
  // Written by the worker before finished_:
  uint32_t outcome_ = 0;
  TAcceptedResult accepted_;
  size_t nextStep_ = 0;  // the first step not yet done
  std::atomic<bool> finished_{false};
  std::atomic<bool> runningSteps_{false};
  std::jthread worker_;  // last: joined before the rest goes
};

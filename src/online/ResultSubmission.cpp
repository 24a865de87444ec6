#include "online/ResultSubmission.h"

#include <utility>

#include "game/GameStates.h"
#include "online/WebLinks.h"
#include "protocol/ResultCodec.h"

THttpOptions SubmissionHttpOptions(const TSubmitOptions& options) {
  THttpOptions http;
  http.ConnectTimeoutMs = options.ConnectTimeoutMs;
  http.TotalTimeoutMs = options.TotalTimeoutMs;
  http.MaxBodyBytes = options.MaxAnswerBytes;
  http.Stop = options.Stop;
  http.Headers = {"Accept: text/html, */*", "Content-Type: text/html",
                  "User-Agent: Mozilla/3.0 (compatible; Indy Library)"};
  return http;
}

uint32_t SubmitResult(Platform& sys, const std::string& name, int32_t score,
                      const std::string& playerName) {
  return SubmitResult(sys, name, score, playerName, TSubmitOptions{});
}

uint32_t SubmitResult(Platform& sys, const std::string& name, int32_t score,
                      const std::string& playerName, const TSubmitOptions& options) {
  return SendResult(sys, name, score, playerName, options).State;
}

TSubmitReport SendResult(Platform& sys, const std::string& name, int32_t score,
                         const std::string& playerName, const TSubmitOptions& options) {
  TSubmitReport report;
  report.Result.BaseUrl = "http://" + (options.Host.empty() ? ScoreHost() : options.Host);
  const std::string& base = report.Result.BaseUrl;
  const THttpOptions http = SubmissionHttpOptions(options);

  report.State = gsConnectFailed;
  const THttpResult first = sys.HttpGet(base + "/cgi/version.pl?version&prg=TidalLynx", http);
  if (!first.Ok) return report;

  if (options.Stop.stop_requested()) return report;
  report.Result.Challenge = ExtractChallenge(first.Body);
  const std::string record = BuildResultRecord(name, score, report.Result.Challenge, playerName);
  // The server's verdict on the result is not shown to the player.
  report.Accepted =
      sys.HttpGet(base + "/cgi/version.pl?hs&prg=TidalLynx&inf=" + EncodeResult(record), http).Ok;
  report.State = gsHighScores;
  return report;
}

TResultSubmission::TResultSubmission(Platform& sys, std::string name, int32_t score,
                                     std::string playerName, TSubmitOptions options)
    : sys_(sys),
      name_(std::move(name)),
      score_(score),
      playerName_(std::move(playerName)),
      options_(std::move(options)) {}

// The worker, the last member, goes first: its jthread asks the stop and joins.
TResultSubmission::~TResultSubmission() = default;

void TResultSubmission::Then(TStep step) {
  steps_.push_back(std::move(step));
}

void TResultSubmission::Start() {
  if (worker_.joinable() || Finished()) return;
  worker_ = std::jthread([this](std::stop_token stop) { Work(std::move(stop)); });
}

void TResultSubmission::RetryFailedStep() {
  if (!Finished() || outcome_ != gsUploadFailed) return;
  if (worker_.joinable()) worker_.join();
  finished_.store(false, std::memory_order_release);
  worker_ = std::jthread([this](std::stop_token stop) {
    outcome_ = RunSteps(stop);
    finished_.store(true, std::memory_order_release);
  });
}

void TResultSubmission::Work(std::stop_token stop) {
  TSubmitOptions options = options_;
  options.Stop = stop;
  TSubmitReport report = SendResult(sys_, name_, score_, playerName_, options);
  uint32_t outcome = report.State;
  // A result the server did not take has nothing for the steps to add to.
  if (report.Accepted) {
    accepted_ = std::move(report.Result);
    outcome = RunSteps(stop);
  }
  outcome_ = outcome;
  finished_.store(true, std::memory_order_release);
}

uint32_t TResultSubmission::RunSteps(const std::stop_token& stop) {
  TSubmitOptions options = options_;
  options.Stop = stop;
  const THttpOptions http = SubmissionHttpOptions(options);
  runningSteps_.store(true, std::memory_order_release);
  for (; nextStep_ < steps_.size(); ++nextStep_) {
    if (stop.stop_requested()) break;
    if (!steps_[nextStep_](sys_, http, accepted_)) return gsUploadFailed;
  }
  return gsHighScores;
}

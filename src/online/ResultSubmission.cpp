#include "online/ResultSubmission.h"

#include <utility>

#include "game/GameStates.h"
#include "online/ResultCodec.h"
#include "online/WebLinks.h"

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
  const std::string base = "http://" + (options.Host.empty() ? ScoreHost() : options.Host);
  const THttpOptions http = SubmissionHttpOptions(options);

  const THttpResult first = sys.HttpGet(base + "/cgi/version.pl?version&prg=TidalLynx", http);
  if (!first.Ok) return gsConnectFailed;

  if (options.Stop.stop_requested()) return gsConnectFailed;
  const std::string record =
      BuildResultRecord(name, score, ExtractChallenge(first.Body), playerName);
  // The server's verdict on the result is not shown to the player.
  sys.HttpGet(base + "/cgi/version.pl?hs&prg=TidalLynx&inf=" + EncodeResult(record), http);
  return gsHighScores;
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

void TResultSubmission::Work(std::stop_token stop) {
  TSubmitOptions options = options_;
  options.Stop = stop;
  const uint32_t outcome = SubmitResult(sys_, name_, score_, playerName_, options);
  if (outcome != gsConnectFailed) {
    const THttpOptions http = SubmissionHttpOptions(options);
    for (const TStep& step : steps_) {
      if (stop.stop_requested()) break;
      step(sys_, http);
    }
  }
  outcome_ = outcome;
  finished_.store(true, std::memory_order_release);
}

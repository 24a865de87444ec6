#include "ScoreService.h"

#include <algorithm>
#include <chrono>

#include "ReplayApi.h"
#include "ScoreApi.h"
#include "ScorePages.h"
#include "protocol/ResultCodec.h"

namespace {

constexpr const char* kProduct = "TidalLynx";
// A real encoded result is under 200 characters.
constexpr size_t kMaxEncodedLength = 512;
constexpr const char* kHtml = "text/html; charset=utf-8";
// A probe older than this (one that hangs) no longer counts as ready.
constexpr int64_t kProbeStaleMs = 3000;

TWebAnswer Refuse(int status, const std::string& reason) {
  return {status, "text/plain", "refused: " + reason + "\n", {}};
}

TWebAnswer NotFound() {
  return {404, kHtml, RenderNotFoundPage(), {}};
}

size_t Count(const TScoreRequest& request, const std::string& key) {
  return static_cast<size_t>(std::count_if(request.Query.begin(), request.Query.end(),
                                           [&](const auto& entry) { return entry.first == key; }));
}

bool Has(const TScoreRequest& request, const std::string& key) {
  return Count(request, key) > 0;
}

// The value of a key given exactly once (a repeated "inf" or "prg" is not
// trusted); nothing otherwise. A key without "=" has the value "".
std::optional<std::string> Single(const TScoreRequest& request, const std::string& key) {
  if (Count(request, key) != 1) return std::nullopt;
  for (const auto& [name, value] : request.Query) {
    if (name == key) return value.value_or("");
  }
  return std::nullopt;
}

// A query value: nothing when absent, "" (refused by the parsers) when repeated.
std::optional<std::string> Param(const TScoreRequest& request, const std::string& key) {
  if (!Has(request, key)) return std::nullopt;
  return Single(request, key).value_or("");
}

int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TScoreService::TScoreService(TScoreStore& store, TScoreServiceOptions options)
    : store_(store),
      options_(std::move(options)),
      challengeLimiter_(options_.RatePerMinute, options_.RateLimitKeys),
      resultLimiter_(options_.RatePerMinute, options_.RateLimitKeys),
      probedOkMs_(MonotonicMs()) {}

bool TScoreService::NeedsDatabase(const TScoreRequest& request) {
  return request.Path == "/cgi/version.pl" || request.Path == "/api/scores" ||
         IsReplayPath(request.Path);
}

TWebAnswer TScoreService::Busy() {
  return Refuse(503, "the score database is busy, try again");
}

void TScoreService::ProbeDatabase() {
  const bool ok = store_.Healthy();
  if (!ok && options_.Metrics) options_.Metrics->CountDbError();
  probeOk_ = ok;
  if (ok) probedOkMs_ = MonotonicMs();
}

int64_t TScoreService::Now() const {
  if (options_.Clock) return options_.Clock();
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

TWebAnswer TScoreService::Handle(const TScoreRequest& request) {
  TWebAnswer answer = Answer(request);
  // Every 503 of a request that went to the database is a call that failed.
  if (answer.Status == 503 && options_.Metrics && NeedsDatabase(request)) {
    options_.Metrics->CountDbError();
  }
  return answer;
}

void TScoreService::CountResult(TServerMetrics::TResult outcome) {
  if (options_.Metrics) options_.Metrics->CountResult(outcome);
}

TWebAnswer TScoreService::Answer(const TScoreRequest& request) {
  if (IsReplayPath(request.Path)) {
    return HandleReplayRequest(store_, request, Now(), options_.ReplayUploaded);
  }
  if (request.Method != "GET" && request.Method != "HEAD") {
    return Refuse(405, "only GET and HEAD are served");
  }
  if (request.TargetLength > kMaxTargetLength) return Refuse(414, "address too long");
  if (request.HeaderCount > kMaxHeaderCount) return Refuse(431, "too many header lines");
  // The game never asks for part of an answer; many ranges of one page would
  // multiply a small request into a huge answer.
  if (request.HasRange) return Refuse(416, "ranges are not served");
  if (request.HasBody) return Refuse(413, "a request body is not accepted");
  if (request.Path == "/") return {200, kHtml, RenderHomePage(), {}};
  // Liveness: the server answers. Never waits on the database.
  if (request.Path == "/healthz") return {200, "text/plain", "ok\n", {}};
  // Readiness: the database answered the last probe, lately.
  if (request.Path == "/readyz") {
    if (probeOk_ && MonotonicMs() - probedOkMs_ < kProbeStaleMs) {
      return {200, "text/plain", "ready\n", {}};
    }
    return Refuse(503, "the score database is not available");
  }
  if (request.Path == "/cgi/version.pl") return HandleScript(request);
  if (request.Path == "/api/scores") {
    return ScoresJson(store_, Param(request, "limit"), Param(request, "period"), Now());
  }
  return NotFound();
}

TWebAnswer TScoreService::HandleScript(const TScoreRequest& request) {
  if (Single(request, "prg") != kProduct) return NotFound();
  if (Has(request, "version")) return IssueChallenge(request);
  if (Has(request, "hs")) return AcceptResult(request);
  if (Has(request, "show") && Single(request, "type") == "0") {
    return WorldPage(store_, Param(request, "page"), Param(request, "period"), Now());
  }
  return NotFound();
}

TWebAnswer TScoreService::IssueChallenge(const TScoreRequest& request) {
  // HEAD answers as GET would, but hands out nothing.
  if (request.Method == "HEAD") return {200, "text/plain", "", {}};
  if (!challengeLimiter_.Take(request.ClientKey, MonotonicMs())) {
    return Refuse(429, "too many requests from this address, try again in a minute");
  }
  const int64_t now = Now();
  const TIssuedChallenge issued =
      store_.IssueChallenge(request.ClientKey, now, options_.ChallengeLifetimeSeconds,
                            options_.MaxOpenChallengesPerAddress);
  if (issued.Outcome == TIssueOutcome::TooMany) {
    return Refuse(429, "too many open challenges from this address");
  }
  if (issued.Outcome != TIssueOutcome::Stored) {
    return Refuse(503, "the score database is not available");
  }
  // Fields: product, version, server time, challenge lifetime, challenge.
  return {200,
          "text/plain",
          std::string(kProduct) + "|2.0|" + std::to_string(now) + "|" +
              std::to_string(options_.ChallengeLifetimeSeconds) + "|" + issued.Challenge + "|",
          {}};
}

TWebAnswer TScoreService::AcceptResult(const TScoreRequest& request) {
  if (request.Method != "HEAD" && !resultLimiter_.Take(request.ClientKey, MonotonicMs())) {
    CountResult(TServerMetrics::TResult::RateLimited);
    return Refuse(429, "too many requests from this address, try again in a minute");
  }
  const auto inf = Single(request, "inf");
  std::optional<TSubmittedResult> result;
  std::string reason = "one inf value expected";
  if (inf && inf->size() > kMaxEncodedLength) {
    reason = "inf too long";
  } else if (inf) {
    const auto record = DecodeResult(*inf);
    reason = "inf is not an encoded result";
    if (record) result = ParseSubmittedResult(*record, reason);
  }
  if (!result) {
    if (request.Method != "HEAD") CountResult(TServerMetrics::TResult::Refused);
    return Refuse(400, reason);
  }
  if (request.Method == "HEAD") return {200, "text/plain", "", {}};
  switch (store_.Submit(*result, request.ClientAddress, Now(), options_.ChallengeLifetimeSeconds)) {
    case TSubmitOutcome::Stored:
      CountResult(TServerMetrics::TResult::Accepted);
      return {200, "text/plain", "|ok|\n", {}};
    case TSubmitOutcome::BadChallenge:
      CountResult(TServerMetrics::TResult::Refused);
      return Refuse(403, "unknown, used or expired p");
    case TSubmitOutcome::Banned:
      CountResult(TServerMetrics::TResult::Banned);
      return Refuse(403, "results from this player or address are not accepted");
    case TSubmitOutcome::Failed:
    case TSubmitOutcome::Unavailable:
      break;
  }
  return Refuse(503, "the score database is not available");
}

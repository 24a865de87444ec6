#include "ScoreServer.h"

#include <httplib.h>

#include <chrono>
#include <ctime>
#include <optional>
#include <thread>

#include "ScoreApi.h"
#include "ScorePages.h"
#include "online/ResultCodec.h"

namespace {

constexpr const char* kProduct = "TidalLynx";
// A real encoded result is under 200 characters.
constexpr size_t kMaxEncodedLength = 512;
constexpr size_t kMaxPayload = 1024;
constexpr size_t kMaxLoggedTarget = 160;

void Refuse(httplib::Response& res, int status, const std::string& reason) {
  res.status = status;
  res.set_content("refused: " + reason + "\n", "text/plain");
}

// A query key given exactly once (a repeated "inf" or "prg" is not trusted).
bool Single(const httplib::Request& req, const char* key) {
  return req.get_param_value_count(key) == 1;
}

// A query value: nothing when absent, "" (refused by the parsers) when repeated.
std::optional<std::string> Param(const httplib::Request& req, const char* key) {
  if (!req.has_param(key)) return std::nullopt;
  return Single(req, key) ? req.get_param_value(key) : std::string();
}

void Send(httplib::Response& res, const TWebAnswer& answer) {
  res.status = answer.Status;
  for (const auto& [name, value] : answer.Headers) res.set_header(name, value);
  res.set_content(answer.Body, answer.ContentType);
}

std::string LogTimestamp(int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  if (!gmtime_r(&t, &tm)) return "?";
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buffer;
}

}  // namespace

TScoreServer::TScoreServer(TScoreStore& store, TScoreServerOptions options)
    : store_(store), options_(std::move(options)), http_(std::make_unique<httplib::Server>()) {
  http_->set_payload_max_length(kMaxPayload);
  // Headers and body go out as separate writes; without this each answer waits
  // for the delayed acknowledgement of the first.
  http_->set_tcp_nodelay(true);
  http_->set_read_timeout(5);
  http_->set_write_timeout(5);
  http_->set_keep_alive_timeout(5);
  http_->Get("/cgi/version.pl", [this](const httplib::Request& req, httplib::Response& res) {
    HandleScript(req, res);
  });
  http_->Get("/api/scores", [this](const httplib::Request& req, httplib::Response& res) {
    Send(res, ScoresJson(store_, Param(req, "limit"), Param(req, "period"), Now()));
  });
  http_->Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(RenderHomePage(), "text/html; charset=utf-8");
  });
  http_->set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.status == 404 && res.body.empty())
      res.set_content(RenderNotFoundPage(), "text/html; charset=utf-8");
  });
  http_->set_logger(
      [this](const httplib::Request& req, const httplib::Response& res) { LogRequest(req, res); });
}

TScoreServer::~TScoreServer() = default;

int TScoreServer::Bind(const std::string& host, int port) {
  if (port == 0) return http_->bind_to_any_port(host);
  return http_->bind_to_port(host, port) ? port : -1;
}

bool TScoreServer::Run() {
  inRun_ = true;
  if (stopRequested_) {
    finished_ = true;
    return true;
  }
  const bool ok = http_->listen_after_bind();
  finished_ = true;
  return ok;
}

void TScoreServer::Stop() {
  stopRequested_ = true;
  // The library ignores a stop that comes before its loop is running, so wait
  // (briefly) for a Run that has begun to get there.
  for (int attempt = 0; attempt < 1000 && inRun_ && !finished_; ++attempt) {
    if (http_->is_running()) {
      http_->stop();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

int64_t TScoreServer::Now() const {
  if (options_.Clock) return options_.Clock();
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void TScoreServer::HandleScript(const httplib::Request& req, httplib::Response& res) {
  if (!Single(req, "prg") || req.get_param_value("prg") != kProduct) {
    res.status = 404;
    return;
  }
  if (req.has_param("version")) {
    IssueChallenge(req.remote_addr, res);
  } else if (req.has_param("hs")) {
    AcceptResult(req, res);
  } else if (req.has_param("show") && Single(req, "type") && req.get_param_value("type") == "0") {
    Send(res, WorldPage(store_, Param(req, "page"), Param(req, "period"), Now()));
  } else {
    res.status = 404;
  }
}

void TScoreServer::IssueChallenge(const std::string& address, httplib::Response& res) {
  const int64_t now = Now();
  const TIssuedChallenge issued = store_.IssueChallenge(
      address, now, options_.ChallengeLifetimeSeconds, options_.MaxOpenChallengesPerAddress);
  if (issued.Outcome == TIssueOutcome::TooMany) {
    Refuse(res, 429, "too many open challenges from this address");
    return;
  }
  if (issued.Outcome != TIssueOutcome::Stored) {
    Refuse(res, 503, "the score database is not available");
    return;
  }
  // Fields: product, version, server time, challenge lifetime, challenge.
  res.set_content(std::string(kProduct) + "|2.0|" + std::to_string(now) + "|" +
                      std::to_string(options_.ChallengeLifetimeSeconds) + "|" + issued.Challenge +
                      "|",
                  "text/plain");
}

void TScoreServer::AcceptResult(const httplib::Request& req, httplib::Response& res) {
  if (!Single(req, "inf")) {
    Refuse(res, 400, "one inf value expected");
    return;
  }
  const std::string& inf = req.get_param_value("inf");
  if (inf.size() > kMaxEncodedLength) {
    Refuse(res, 400, "inf too long");
    return;
  }
  const auto record = DecodeResult(inf);
  if (!record) {
    Refuse(res, 400, "inf is not an encoded result");
    return;
  }
  std::string reason;
  const auto result = ParseSubmittedResult(*record, reason);
  if (!result) {
    Refuse(res, 400, reason);
    return;
  }
  switch (store_.Submit(*result, Now(), options_.ChallengeLifetimeSeconds)) {
    case TSubmitOutcome::Stored:
      res.set_content("|ok|\n", "text/plain");
      break;
    case TSubmitOutcome::BadChallenge:
      Refuse(res, 403, "unknown, used or expired p");
      break;
    case TSubmitOutcome::Failed:
    case TSubmitOutcome::Unavailable:
      Refuse(res, 503, "the score database is not available");
      break;
  }
}

void TScoreServer::LogRequest(const httplib::Request& req, const httplib::Response& res) {
  if (!options_.Log) return;
  std::string target = req.target.empty() ? req.path : req.target;
  if (target.size() > kMaxLoggedTarget) {
    target = target.substr(0, kMaxLoggedTarget) + "...(" + std::to_string(target.size()) + ")";
  }
  // Keep one request on one line whatever the client sent.
  for (char& c : target) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  std::string line = LogTimestamp(Now());
  line += ' ';
  line += req.remote_addr;
  line += ' ';
  line += req.method;
  line += ' ';
  line += target;
  line += ' ';
  line += std::to_string(res.status);
  options_.Log(line);
}

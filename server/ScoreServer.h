#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ScoreStore.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

struct TScoreServerOptions {
  int64_t ChallengeLifetimeSeconds = 600;
  // Open challenges one client address may hold; request 1 beyond it is 429.
  int MaxOpenChallengesPerAddress = 16;
  // Unix time in seconds; the system clock when empty.
  std::function<int64_t()> Clock;
  // Receives one line per request (without the newline); no logging when empty.
  std::function<void(const std::string&)> Log;
};

// The world high-score server: the game's two requests, the world table and the
// home page over HTTP, backed by a TScoreStore that outlives it.
class TScoreServer {
 public:
  explicit TScoreServer(TScoreStore& store, TScoreServerOptions options = {});
  ~TScoreServer();
  TScoreServer(const TScoreServer&) = delete;
  TScoreServer& operator=(const TScoreServer&) = delete;

  // Binds to host:port (port 0: any free port). Returns the bound port, or -1.
  int Bind(const std::string& host, int port);
  // Serves until Stop; requests in progress finish before it returns.
  bool Run();
  // Safe from any thread, also before Run has started (Run then returns at once).
  void Stop();

 private:
  void HandleScript(const httplib::Request& req, httplib::Response& res);
  void IssueChallenge(const std::string& address, httplib::Response& res);
  void AcceptResult(const httplib::Request& req, httplib::Response& res);
  int64_t Now() const;
  void LogRequest(const httplib::Request& req, const httplib::Response& res);

  TScoreStore& store_;
  TScoreServerOptions options_;
  std::unique_ptr<httplib::Server> http_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> inRun_{false};
  std::atomic<bool> finished_{false};
};

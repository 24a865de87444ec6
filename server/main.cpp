// tidal-lynx-scores: the world high-score server for Tidal Lynx.
//   tidal-lynx-scores [--listen HOST:PORT] [--db FILE|URI] [--db-connections N]
//                     [--challenges-per-address N] [--rate N/min]
//                     [--trust-forwarded-for CIDR]... [--max-connections-per-address N]
//                     [--max-connections N] [--header-timeout SECONDS]
//                     [--request-deadline SECONDS] [--ranking verified|all]
//                     [--verifiers N] [--replay-lease SECONDS]
//                     [--metrics-listen HOST:PORT]
//   tidal-lynx-scores admin [--db FILE|URI] COMMAND ... (admin/AdminCommand.h)
// Defaults: --listen 127.0.0.1:8642 --db scores.db --rate 60/min. Port 0 picks a
// free port.
// Stops cleanly on SIGINT or SIGTERM: requests in progress finish, every
// accepted result is already committed.

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "DatabaseLocation.h"
#include "LogWriter.h"
#include "ReplayVerifierWorker.h"
#include "ScoreServer.h"
#include "ScoreStore.h"
#include "admin/AdminCommand.h"
#include "metrics/MetricsServer.h"

namespace {

struct TArguments {
  std::string Host = "127.0.0.1";
  int Port = 8642;
  std::string Database = "scores.db";
  int Connections = 4;
  int ChallengesPerAddress = 16;
  int RatePerMinute = 60;
  std::vector<TAddressRange> TrustedProxies;
  int MaxConnectionsPerAddress = 32;
  int MaxConnections = 1000;
  int HeaderTimeoutSeconds = 3;
  int RequestDeadlineSeconds = 10;
  bool RankAll = false;
  int Verifiers = 1;
  int ReplayLeaseSeconds = 60;
  // The private /metrics listener; off when the port is negative.
  std::string MetricsHost;
  int MetricsPort = -1;
};

constexpr const char* kUsage =
    "usage: tidal-lynx-scores [--listen HOST:PORT] [--db FILE|URI] [--db-connections N]\n"
    "                         [--challenges-per-address N] [--rate N/min]\n"
    "                         [--trust-forwarded-for CIDR]... [--max-connections-per-address N]\n"
    "                         [--max-connections N] [--header-timeout SECONDS]\n"
    "                         [--request-deadline SECONDS]\n"
    "  --listen HOST:PORT  address to serve on (default 127.0.0.1:8642; port 0 = any free port)\n"
    "  --db FILE           SQLite database of results (default scores.db, created if missing;\n"
    "                      also sqlite:FILE)\n"
    "  --db postgresql://USER@HOST:PORT/DBNAME\n"
    "                      PostgreSQL database shared by several servers (any libpq URI, or\n"
    "                      'host=... dbname=...'; the password from PGPASSFILE or\n"
    "                      PGPASSWORD, never on the command line)\n"
    "  --db-connections N  PostgreSQL connections of this process (1-64, default 4)\n"
    "  --challenges-per-address N\n"
    "                      open challenges one client address may hold (1-10000, default 16)\n"
    "  --rate N/min        requests for a challenge, and results, per client address and\n"
    "                      minute, each (default 60/min; 0/min = no limit); 429 beyond\n"
    "  --trust-forwarded-for CIDR\n"
    "                      a proxy (or range of proxies) whose X-Forwarded-For names the\n"
    "                      client; may be given more than once\n"
    "  --max-connections-per-address N\n"
    "                      open connections one client address may hold (default 32)\n"
    "  --max-connections N open connections in all (default 1000); when all are taken a\n"
    "                      newcomer replaces the oldest that has not sent a whole request\n"
    "  --header-timeout SECONDS\n"
    "                      time a connection has to send its request line and headers\n"
    "                      (default 3)\n"
    "  --request-deadline SECONDS\n"
    "                      time a request has to arrive whole and be answered (default 10)\n"
    "  --ranking verified|all\n"
    "                      rank only results whose replay was verified (default), or all\n"
    "  --verifiers N       replay verifier threads of this process (1-16, default 1;\n"
    "                      always 1 on SQLite)\n"
    "  --replay-lease SECONDS\n"
    "                      how long a verifier's claim on a replay holds before another\n"
    "                      worker may take it again (1-3600, default 60)\n"
    "  --metrics-listen HOST:PORT\n"
    "                      serve /metrics (Prometheus text format) on this address only;\n"
    "                      off by default\n"
    "       tidal-lynx-scores admin [--db FILE|URI] COMMAND ...  (admin --help lists them)\n";

// A whole number in [low, high] and nothing else.
std::optional<int> ParseCount(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 9 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const int value = std::stoi(text);
  if (value < low || value > high) return std::nullopt;
  return value;
}

bool ParseListen(const std::string& text, std::string& host, int& port) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
  const std::string digits = text.substr(colon + 1);
  if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  const int value = std::stoi(digits);
  if (value > 65535) return false;
  host = text.substr(0, colon);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  port = value;
  return true;
}

bool ParseArguments(int argc, char** argv, TArguments& args, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      error.clear();
      return false;
    }
    if (i + 1 >= argc) {
      error = "missing value after " + flag;
      return false;
    }
    const std::string value = argv[++i];
    if (flag == "--listen" || flag == "--metrics-listen") {
      const bool metrics = flag == "--metrics-listen";
      if (!ParseListen(value, metrics ? args.MetricsHost : args.Host,
                       metrics ? args.MetricsPort : args.Port)) {
        error = "bad " + flag + " value \"" + value + "\" (expected HOST:PORT)";
        return false;
      }
    } else if (flag == "--db") {
      args.Database = value;
    } else if (flag == "--rate") {
      const size_t slash = value.find('/');
      const auto rate = ParseCount(value.substr(0, slash), 0, 1'000'000);
      if (slash == std::string::npos || value.substr(slash) != "/min" || !rate) {
        error = "bad --rate value \"" + value + "\" (expected N/min, for example 60/min)";
        return false;
      }
      args.RatePerMinute = *rate;
    } else if (flag == "--trust-forwarded-for") {
      std::string reason;
      const auto range = TAddressRange::Parse(value, reason);
      if (!range) {
        error = "bad --trust-forwarded-for value: " + reason;
        return false;
      }
      args.TrustedProxies.push_back(*range);
    } else if (flag == "--max-connections-per-address") {
      const auto count = ParseCount(value, 1, 100'000);
      if (!count) {
        error = "bad --max-connections-per-address value \"" + value + "\" (expected 1 or more)";
        return false;
      }
      args.MaxConnectionsPerAddress = *count;
    } else if (flag == "--max-connections") {
      const auto count = ParseCount(value, 1, 1'000'000);
      if (!count) {
        error = "bad --max-connections value \"" + value + "\" (expected 1 or more)";
        return false;
      }
      args.MaxConnections = *count;
    } else if (flag == "--header-timeout") {
      const auto seconds = ParseCount(value, 1, 3600);
      if (!seconds) {
        error = "bad --header-timeout value \"" + value + "\" (expected 1 to 3600 seconds)";
        return false;
      }
      args.HeaderTimeoutSeconds = *seconds;
    } else if (flag == "--request-deadline") {
      const auto seconds = ParseCount(value, 1, 3600);
      if (!seconds) {
        error = "bad --request-deadline value \"" + value + "\" (expected 1 to 3600 seconds)";
        return false;
      }
      args.RequestDeadlineSeconds = *seconds;
    } else if (flag == "--ranking") {
      if (value != "verified" && value != "all") {
        error = "bad --ranking value \"" + value + "\" (expected verified or all)";
        return false;
      }
      args.RankAll = value == "all";
    } else if (flag == "--verifiers" || flag == "--replay-lease") {
      const bool lease = flag == "--replay-lease";
      const auto count = ParseCount(value, 1, lease ? 3600 : 16);
      if (!count) {
        error =
            "bad " + flag + " value \"" + value + "\" (expected 1-" + (lease ? "3600" : "16") + ")";
        return false;
      }
      (lease ? args.ReplayLeaseSeconds : args.Verifiers) = *count;
    } else if (flag == "--db-connections" || flag == "--challenges-per-address") {
      const bool pool = flag == "--db-connections";
      const int max = pool ? 64 : 10000;
      int& target = pool ? args.Connections : args.ChallengesPerAddress;
      const bool digits = !value.empty() && value.size() <= 5 &&
                          value.find_first_not_of("0123456789") == std::string::npos;
      if (!digits || std::stoi(value) < 1 || std::stoi(value) > max) {
        error = "bad " + flag + " value \"" + value + "\" (expected 1-" + std::to_string(max) + ")";
        return false;
      }
      target = std::stoi(value);
    } else {
      error = "unknown option " + flag;
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "admin") {
    return RunAdminCommand(argc - 2, argv + 2, std::cout, std::cerr);
  }
  TArguments args;
  std::string error;
  if (!ParseArguments(argc, argv, args, error)) {
    if (!error.empty()) std::cerr << "tidal-lynx-scores: " << error << "\n";
    std::cerr << kUsage;
    return error.empty() ? 0 : 2;
  }

  // Every thread started from here on inherits the blocked signals; one thread
  // waits for them and stops the server.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  auto store = TScoreStore::Open(args.Database, args.Connections, error);
  if (!store) {
    std::cerr << "tidal-lynx-scores: " << error << "\n";
    return 1;
  }

  store->SetRankAll(args.RankAll);
  // Every line to stdout goes through the writer thread: a stuck log reader
  // costs dropped lines, never a stalled server.
  TLogWriter log(STDOUT_FILENO);
  // Verification runs on threads of its own, never on the HTTP threads. One
  // SQLite file has one writer at a time: one worker is all it can use.
  TReplayWorkerOptions workerOptions;
  std::string ignored;
  const auto location = ParseDatabaseLocation(args.Database, ignored);
  const bool postgres = location && location->Kind == TDatabaseLocation::TKind::Postgres;
  workerOptions.Threads = postgres ? args.Verifiers : 1;
  workerOptions.LeaseMs = int64_t{args.ReplayLeaseSeconds} * 1000;
  // A verification ends well inside its lease, so a live worker keeps its claim.
  workerOptions.CpuSecondsPerReplay = std::min(20.0, args.ReplayLeaseSeconds * 0.5);
  workerOptions.Log = [&log](const std::string& line) { log.Write(line); };
  TServerMetrics metrics;
  workerOptions.Metrics = &metrics;
  TReplayVerifierWorker verifier(*store, workerOptions);

  TScoreServerOptions options;
  options.Metrics = &metrics;
  options.ReplayUploaded = [&verifier, &metrics] {
    metrics.CountReplay(TServerMetrics::TReplay::Uploaded);
    verifier.Notify();
  };
  options.MaxOpenChallengesPerAddress = args.ChallengesPerAddress;
  options.RatePerMinute = args.RatePerMinute;
  options.TrustedProxies = args.TrustedProxies;
  options.MaxConnectionsPerAddress = args.MaxConnectionsPerAddress;
  options.RequestDeadlineSeconds = args.RequestDeadlineSeconds;
  options.DatabaseThreads = args.Connections;
  options.MaxConnections = args.MaxConnections;
  options.HeaderTimeoutSeconds = args.HeaderTimeoutSeconds;
  options.Log = [&log](const std::string& line) { log.Write(line); };
  TScoreServer server(*store, options);
  const int port = server.Bind(args.Host, args.Port);
  if (port < 0) {
    std::cerr << "tidal-lynx-scores: cannot listen on " << args.Host << ":" << args.Port << ": "
              << std::strerror(errno) << "\n";
    return 1;
  }
  TMetricsServer metricsServer(metrics, *store);
  if (args.MetricsPort >= 0) {
    const int bound = metricsServer.Start(args.MetricsHost, args.MetricsPort, error);
    if (bound < 0) {
      std::cerr << "tidal-lynx-scores: cannot serve metrics on " << args.MetricsHost << ":"
                << args.MetricsPort << ": " << error << "\n";
      return 1;
    }
    const bool v6 = args.MetricsHost.find(':') != std::string::npos;
    log.Write("tidal-lynx-scores: metrics on http://" + std::string(v6 ? "[" : "") +
              args.MetricsHost + (v6 ? "]" : "") + ":" + std::to_string(bound) + "/metrics");
  }
  const bool ipv6 = args.Host.find(':') != std::string::npos;
  log.Write("tidal-lynx-scores: listening on http://" + std::string(ipv6 ? "[" : "") + args.Host +
            (ipv6 ? "]" : "") + ":" + std::to_string(port) + "/ (database " +
            RedactPasswords(args.Database) + ")");

  std::atomic<bool> serving{true};
  std::thread signalWaiter([&] {
    int received = 0;
    sigwait(&stopSignals, &received);
    if (serving) {
      log.Write(std::string("tidal-lynx-scores: ") + (received == SIGINT ? "SIGINT" : "SIGTERM") +
                ", stopping");
    }
    server.Stop();
  });

  const bool ok = server.Run();
  serving = false;
  // Wake the waiter if the server ended on its own.
  pthread_kill(signalWaiter.native_handle(), SIGTERM);
  signalWaiter.join();
  verifier.Stop();
  metricsServer.Stop();
  store.reset();
  log.Stop(1000, "tidal-lynx-scores: stopped");
  return ok ? 0 : 1;
}

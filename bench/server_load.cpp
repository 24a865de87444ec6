// Load on the score server: several clients submit results at once over
// loopback (each result is the game's two requests), then the database is
// checked: every accepted result is stored exactly once, nothing else is.
// BM_ConcurrentSubmissions serves from this process on SQLite;
// BM_ServerProcesses runs the real server program, on SQLite (the floor to
// compare with) and on a PostgreSQL started for the run, with one and with two
// server processes sharing it, and reports what one accepted result costs:
// the CPU time of the server processes and of the database's processes (read
// from /proc) per accepted result, and the cores 10,000 accepted results a
// second would take. TL_BENCH_SERVER names another server program to measure
// (an older build, for a before-and-after figure).

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ScoreServer.h"
#include "ScoreStore.h"
#include "online/ServerProcess.h"
#include "protocol/ResultCodec.h"
#include "server/PostgresInstance.h"

namespace {

namespace fs = std::filesystem;

// User and system CPU seconds of a process (all its threads), with those of
// its children it has waited for when `reaped`; 0 when it is gone.
double CpuSeconds(pid_t pid, bool reaped) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  double ticks = 0;
  // Field 3 is the state; 14 and 15 utime and stime, 16 and 17 those of
  // waited-for children.
  for (int index = 3; fields >> field && index <= 17; ++index) {
    if (index == 14 || index == 15 || (reaped && (index == 16 || index == 17))) {
      ticks += std::stod(field);
    }
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The database: the postmaster with the backends it has reaped, and those
// still running (one per server connection).
double DatabaseCpuSeconds(pid_t postmaster) {
  if (postmaster <= 0) return 0;
  double total = CpuSeconds(postmaster, true);
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream file(entry.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 2));
    char state = 0;
    pid_t parent = 0;
    fields >> state >> parent;
    if (parent == postmaster) total += CpuSeconds(std::stoi(name), false);
  }
  return total;
}

const char* ServerProgram() {
  const char* chosen = std::getenv("TL_BENCH_SERVER");
  return chosen && *chosen ? chosen : TL_SERVER_BIN;
}

// One client: `count` results, each a fresh challenge and a submission.
void RunClient(int port, int client, int count, std::vector<std::string>& accepted,
               std::atomic<int>& failures) {
  httplib::Client http("127.0.0.1", port);
  http.set_connection_timeout(10);
  http.set_read_timeout(10);
  http.set_keep_alive(true);
  http.set_tcp_nodelay(true);
  for (int i = 0; i < count; ++i) {
    const auto first = http.Get("/cgi/version.pl?version&prg=TidalLynx");
    if (!first || first->status != 200) {
      ++failures;
      continue;
    }
    std::string name = "c";
    name += std::to_string(client);
    name += "-";
    name += std::to_string(i);
    const std::string record = BuildResultRecord(name, 1000 + i, ExtractChallenge(first->body), "");
    const auto second =
        http.Get(("/cgi/version.pl?hs&prg=TidalLynx&inf=" + EncodeResult(record)).c_str());
    if (second && second->status == 200) {
      accepted.push_back(name);
    } else {
      ++failures;
    }
  }
}

// Every accepted result exactly once, and nothing that was not accepted; the
// number accepted, or `problem` set.
size_t CheckStoredOnce(TScoreStore& store, const std::vector<std::vector<std::string>>& accepted,
                       int most, std::string& problem) {
  std::map<std::string, int> stored;
  // Every stored result, verified or not.
  store.SetRankAll(true);
  for (const TScoreRow& row : store.Top(most + 1)) ++stored[row.Name];
  size_t acceptedCount = 0;
  for (const auto& list : accepted) {
    acceptedCount += list.size();
    for (const auto& name : list) {
      if (stored[name] != 1) {
        problem = "result " + name + " is not stored exactly once";
        return 0;
      }
    }
  }
  if (stored.size() != acceptedCount || static_cast<size_t>(store.ResultCount()) != acceptedCount) {
    problem = "the database holds results that were not accepted";
  }
  return acceptedCount;
}

// `clients` clients of `perClient` results each, client c talking to the
// server on portOf(c), run to their end; what each had accepted, by client.
template <typename PortOf>
std::vector<std::vector<std::string>> RunClients(int clients, int perClient, PortOf portOf,
                                                 std::atomic<int>& failures) {
  std::vector<std::vector<std::string>> accepted(static_cast<size_t>(clients));
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back(RunClient, portOf(c), c, perClient,
                         std::ref(accepted[static_cast<size_t>(c)]), std::ref(failures));
  }
  for (auto& t : threads) t.join();
  return accepted;
}

// Checks one round's store and adds its accepted results to the counters;
// false (and the benchmark skipped) when a result is missing or doubled.
bool TallyRound(benchmark::State& state, TScoreStore& store,
                const std::vector<std::vector<std::string>>& accepted, int most, int failures,
                int64_t& totalAccepted) {
  std::string problem;
  const size_t acceptedCount = CheckStoredOnce(store, accepted, most, problem);
  if (!problem.empty()) {
    state.SkipWithError(problem.c_str());
    return false;
  }
  totalAccepted += static_cast<int64_t>(acceptedCount);
  state.counters["accepted"] = static_cast<double>(acceptedCount);
  state.counters["failed"] = failures;
  return true;
}

void BM_ConcurrentSubmissions(benchmark::State& state) {
  const int clients = static_cast<int>(state.range(0));
  const int perClient = static_cast<int>(state.range(1));
  const fs::path dir = fs::temp_directory_path() / ("tl_bench_load_" + std::to_string(getpid()));
  int64_t totalAccepted = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string error;
    auto store = TScoreStore::Open((dir / "scores.db").string(), error);
    if (!store) {
      state.SkipWithError(error.c_str());
      return;
    }
    TScoreServer server(*store);
    const int port = server.Bind("127.0.0.1", 0);
    if (port <= 0) {
      state.SkipWithError("cannot bind a loopback port");
      return;
    }
    std::thread serving([&] { server.Run(); });
    std::atomic<int> failures{0};
    state.ResumeTiming();

    const auto accepted = RunClients(
        clients, perClient, [port](int) { return port; }, failures);

    state.PauseTiming();
    server.Stop();
    serving.join();
    if (!TallyRound(state, *store, accepted, clients * perClient, failures.load(), totalAccepted)) {
      return;
    }
    store.reset();
    fs::remove_all(dir);
    state.ResumeTiming();
  }
  state.counters["results_per_s"] =
      benchmark::Counter(static_cast<double>(totalAccepted), benchmark::Counter::kIsRate);
}

// range(0): 0 SQLite, 1 PostgreSQL; range(1): server processes (SQLite: one).
void BM_ServerProcesses(benchmark::State& state) {
  const bool postgres = state.range(0) == 1;
  const int processes = static_cast<int>(state.range(1));
  constexpr int kClients = 8;
  constexpr int kPerClient = 500;
  const fs::path dir = fs::temp_directory_path() / ("tl_bench_fleet_" + std::to_string(getpid()));
  // One PostgreSQL for the whole run, started on first need.
  TPostgresInstance* pg = postgres ? &TPostgresInstance::Shared() : nullptr;
  if (pg && !pg->Ready()) {
    state.SkipWithError(("no PostgreSQL: " + pg->Error()).c_str());
    return;
  }
  int64_t totalAccepted = 0;
  double serverSeconds = 0;
  double databaseSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(dir);
    const std::string database =
        postgres ? pg->Uri(pg->CreateDatabase()) : (dir / "scores.db").string();
    std::vector<std::unique_ptr<TServerProcess>> servers;
    for (int i = 0; i < processes; ++i) {
      servers.push_back(std::make_unique<TServerProcess>(
          ServerProgram(), dir / ("server" + std::to_string(i)), database,
          std::vector<std::string>{"--challenges-per-address", "10000", "--rate", "0/min"}));
      if (servers.back()->Port() <= 0) {
        state.SkipWithError(("server did not start: " + servers.back()->Log()).c_str());
        return;
      }
    }
    std::atomic<int> failures{0};
    const auto serverCpu = [&servers] {
      double total = 0;
      for (const auto& server : servers) total += CpuSeconds(server->Pid(), false);
      return total;
    };
    const pid_t postmaster = pg ? pg->Postmaster() : 0;
    const double serverBefore = serverCpu();
    const double databaseBefore = DatabaseCpuSeconds(postmaster);
    state.ResumeTiming();

    const auto accepted = RunClients(
        kClients, kPerClient,
        [&servers, processes](int c) {
          return servers[static_cast<size_t>(c % processes)]->Port();
        },
        failures);

    state.PauseTiming();
    // Read before the servers stop: their backends end with their connections.
    serverSeconds += serverCpu() - serverBefore;
    databaseSeconds += DatabaseCpuSeconds(postmaster) - databaseBefore;
    servers.clear();
    std::string error;
    auto store = TScoreStore::Open(database, error);
    if (!store) {
      state.SkipWithError(error.c_str());
      return;
    }
    if (!TallyRound(state, *store, accepted, kClients * kPerClient, failures.load(),
                    totalAccepted)) {
      return;
    }
    store.reset();
    fs::remove_all(dir);
    state.ResumeTiming();
  }
  state.counters["results_per_s"] =
      benchmark::Counter(static_cast<double>(totalAccepted), benchmark::Counter::kIsRate);
  if (totalAccepted == 0) return;
  // The cost of one accepted result (its challenge and its submission).
  const double perResult = 1e6 / static_cast<double>(totalAccepted);
  state.counters["server_cpu_us"] = serverSeconds * perResult;
  state.counters["db_cpu_us"] = databaseSeconds * perResult;
  const double cores = (serverSeconds + databaseSeconds) * perResult * 1e-6 * 10'000;
  state.counters["cores_10k_per_s"] = cores;
  std::printf(
      "%s, %d process(es): %.0f us server + %.0f us database CPU per accepted result;"
      " 10,000 results/s take %.1f cores\n",
      postgres ? "PostgreSQL" : "SQLite", processes, serverSeconds * perResult,
      databaseSeconds * perResult, cores);
}

BENCHMARK(BM_ServerProcesses)
    ->ArgNames({"postgres", "processes"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ConcurrentSubmissions)
    ->Args({8, 500})
    ->Args({1, 500})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Load on the score server: several clients submit results at once over
// loopback (each result is the game's two requests), then the database is
// checked: every accepted result is stored exactly once, nothing else is.

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ScoreServer.h"
#include "ScoreStore.h"
#include "online/ResultCodec.h"

namespace {

namespace fs = std::filesystem;

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
    std::vector<std::vector<std::string>> accepted(static_cast<size_t>(clients));
    std::atomic<int> failures{0};
    state.ResumeTiming();

    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
      threads.emplace_back(RunClient, port, c, perClient,
                           std::ref(accepted[static_cast<size_t>(c)]), std::ref(failures));
    }
    for (auto& t : threads) t.join();

    state.PauseTiming();
    server.Stop();
    serving.join();
    // Every accepted result exactly once, and nothing that was not accepted.
    std::map<std::string, int> stored;
    for (const TScoreRow& row : store->Top(clients * perClient + 1)) ++stored[row.Name];
    size_t acceptedCount = 0;
    for (const auto& list : accepted) {
      acceptedCount += list.size();
      for (const auto& name : list) {
        if (stored[name] != 1) {
          state.SkipWithError(("result " + name + " is not stored exactly once").c_str());
          return;
        }
      }
    }
    if (stored.size() != acceptedCount ||
        static_cast<size_t>(store->ResultCount()) != acceptedCount) {
      state.SkipWithError("the database holds results that were not accepted");
      return;
    }
    totalAccepted += static_cast<int64_t>(acceptedCount);
    state.counters["accepted"] = static_cast<double>(acceptedCount);
    state.counters["failed"] = failures.load();
    store.reset();
    fs::remove_all(dir);
    state.ResumeTiming();
  }
  state.counters["results_per_s"] =
      benchmark::Counter(static_cast<double>(totalAccepted), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ConcurrentSubmissions)
    ->Args({8, 500})
    ->Args({1, 500})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

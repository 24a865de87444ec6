// A database that is locked by someone else, or stopped outright, while
// players submit: every client gets a definite answer (200 and stored, or 503
// and not stored), and what needs no database is answered at once.

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "LiveServer.h"
#include "RawHttp.h"
#include "protocol/ResultCodec.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kVersion = "/cgi/version.pl?version&prg=TidalLynx";
const std::string kSubmit = "/cgi/version.pl?hs&prg=TidalLynx&inf=";
constexpr int kSubmitters = 8;

int64_t Ms(Clock::duration d) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

// Holds the results table locked from another connection until destroyed.
class TTableLock {
 public:
  TTableLock(TBackend backend, const TFreshDatabase& db) {
    if (backend == TBackend::Sqlite) {
      locked_ = sqlite3_open(db.Location.c_str(), &sqlite_) == SQLITE_OK &&
                sqlite3_exec(sqlite_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
      return;
    }
    pg_ = PQconnectdb(db.Location.c_str());
    PGresult* r = PQexec(pg_, "BEGIN; LOCK TABLE results IN ACCESS EXCLUSIVE MODE");
    locked_ = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
  }
  ~TTableLock() {
    if (sqlite_) sqlite3_exec(sqlite_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(sqlite_);
    if (pg_) PQclear(PQexec(pg_, "COMMIT"));
    PQfinish(pg_);
  }
  TTableLock(const TTableLock&) = delete;
  TTableLock& operator=(const TTableLock&) = delete;
  bool Locked() const { return locked_; }

 private:
  sqlite3* sqlite_ = nullptr;
  PGconn* pg_ = nullptr;
  bool locked_ = false;
};

// A polite client asking for pages while the database is held up. Each must
// get a definite answer promptly (the bound is a generous 2 s, as the
// sanitized server shares a busy machine; the freeze it guards against lasted
// the whole lock). /readyz may say 503 while the database is locked; the
// others must say 200.
class TPageWatcher {
 public:
  TPageWatcher(int port, std::vector<std::string> paths)
      : thread_([this, port, paths] {
          while (!stop_) {
            for (const std::string& path : paths) {
              const auto start = Clock::now();
              const int status = RawStatus(RawGet(port, path, "127.0.0.2", "", 2000ms));
              slowestMs_ = std::max<int64_t>(slowestMs_, Ms(Clock::now() - start));
              if (status == 0 || (path != "/readyz" && status != 200)) ++misses_;
              ++asked_;
            }
            std::this_thread::sleep_for(50ms);
          }
        }) {}
  ~TPageWatcher() { Finish(); }
  void Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::atomic<int> asked_{0};
  std::atomic<int> misses_{0};
  std::atomic<int64_t> slowestMs_{0};

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Submits one result per challenge at once; the statuses (0: no answer).
std::vector<int> SubmitAll(int port, const std::vector<std::string>& challenges) {
  std::vector<int> statuses(challenges.size());
  std::vector<std::thread> submitters;
  for (size_t i = 0; i < challenges.size(); ++i) {
    submitters.emplace_back([&, i] {
      const std::string record = BuildResultRecord("Stall" + std::to_string(i),
                                                   100 + static_cast<int>(i), challenges[i], "");
      statuses[i] = RawStatus(RawGet(port, kSubmit + EncodeResult(record), "127.0.0.3", "", 15s));
    });
  }
  for (auto& t : submitters) t.join();
  return statuses;
}

// Every 200 stored, nothing else; the stored count.
void ExpectDefinite(TScoreStore& store, const std::vector<int>& statuses) {
  const auto rows = store.Top(100);
  for (size_t i = 0; i < statuses.size(); ++i) {
    const std::string name = "Stall" + std::to_string(i);
    const bool stored = std::any_of(rows.begin(), rows.end(),
                                    [&](const TScoreRow& row) { return row.Name == name; });
    EXPECT_TRUE(statuses[i] == 200 || statuses[i] == 503) << name << ": " << statuses[i];
    EXPECT_EQ(stored, statuses[i] == 200) << name << " answered " << statuses[i];
  }
}

class DatabaseStall : public testing::TestWithParam<TBackend> {};

TEST_P(DatabaseStall, ALockedTableGetsDefiniteAnswersAndPagesStayPrompt) {
  TScoreServerOptions options;
  options.MaxOpenChallengesPerAddress = 1000;
  TLiveServer server("stall_lock", GetParam(), options);
  ASSERT_GT(server.Port(), 0);
  std::vector<std::string> challenges;
  for (int i = 0; i < kSubmitters; ++i) {
    challenges.push_back(ExtractChallenge(server.Get(kVersion).second));
  }
  std::vector<int> statuses;
  TPageWatcher pages(server.Port(), {"/", "/healthz", "/readyz"});
  int64_t slowestSubmitMs = 0;
  {
    TTableLock lock(GetParam(), server.Database());
    ASSERT_TRUE(lock.Locked());
    const auto start = Clock::now();
    statuses = SubmitAll(server.Port(), challenges);
    slowestSubmitMs = Ms(Clock::now() - start);
    // Held a while longer, so a result left waiting on the lock would show below.
    std::this_thread::sleep_for(500ms);
  }
  pages.Finish();
  std::this_thread::sleep_for(500ms);
  const int unavailable = static_cast<int>(std::count(statuses.begin(), statuses.end(), 503));
  std::cout << "[ locked ] submitters answered 503: " << unavailable << " of " << kSubmitters
            << ", all answered within " << slowestSubmitMs << " ms; slowest page "
            << pages.slowestMs_ << " ms\n";
  EXPECT_GT(unavailable, 0) << "the lock did not hold anything up";
  ExpectDefinite(server.Store(), statuses);
  EXPECT_EQ(pages.misses_.load(), 0) << "a page waited on the database";
  EXPECT_GT(pages.asked_.load(), 3);
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseStall, TL_BACKENDS);

TEST(DatabaseStallPostgres, AStoppedDatabaseLeavesHealthAndPagesPrompt) {
  TScoreServerOptions options;
  options.MaxOpenChallengesPerAddress = 1000;
  TLiveServer server("stall_stop", TBackend::Postgres, options);
  ASSERT_GT(server.Port(), 0);
  const std::vector<std::string> challenges = {ExtractChallenge(server.Get(kVersion).second),
                                               ExtractChallenge(server.Get(kVersion).second)};
  TPostgresInstance& pg = TPostgresInstance::Shared();
  struct TResume {
    TPostgresInstance& pg;
    ~TResume() { pg.SignalAll(SIGCONT); }
  } resume{pg};
  pg.SignalAll(SIGSTOP);
  TPageWatcher pages(server.Port(), {"/", "/healthz"});
  const std::vector<int> statuses = SubmitAll(server.Port(), challenges);
  // Readiness turns 503 within a few seconds, each answer within one.
  int ready = 200;
  int64_t slowestReadyMs = 0;
  for (int i = 0; i < 50 && ready == 200; ++i) {
    const auto start = Clock::now();
    ready = RawStatus(RawGet(server.Port(), "/readyz", "127.0.0.1", "", 2000ms));
    slowestReadyMs = std::max(slowestReadyMs, Ms(Clock::now() - start));
    if (ready == 200) std::this_thread::sleep_for(100ms);
  }
  pages.Finish();
  pg.SignalAll(SIGCONT);
  std::cout << "[ stopped ] slowest /healthz or page " << pages.slowestMs_ << " ms, /readyz "
            << slowestReadyMs << " ms; submitters answered " << statuses[0] << ", " << statuses[1]
            << "\n";
  EXPECT_EQ(ready, 503);
  EXPECT_LT(slowestReadyMs, 2000);
  EXPECT_EQ(pages.misses_.load(), 0);
  // Back again: ready, and a 503 stayed unstored once the database went on.
  for (int i = 0; i < 100 && ready != 200; ++i) {
    std::this_thread::sleep_for(100ms);
    ready = RawStatus(RawGet(server.Port(), "/readyz"));
  }
  EXPECT_EQ(ready, 200);
  std::this_thread::sleep_for(500ms);
  ExpectDefinite(server.Store(), statuses);
}

}  // namespace

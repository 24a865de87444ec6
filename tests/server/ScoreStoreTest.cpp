#include "ScoreStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "StoreBackends.h"

namespace {

constexpr int64_t kLifetime = 600;
constexpr int64_t kT0 = 1'800'000'000;
constexpr int64_t kDay = 24 * 3600;

TSubmittedResult Result(const std::string& name, int32_t score, const std::string& p) {
  return TSubmittedResult{name, score, p, "player"};
}

// Every test runs once on SQLite and once on PostgreSQL, each on a fresh database.
class ScoreStore : public testing::TestWithParam<TBackend> {
 protected:
  void SetUp() override {
    db_ = FreshDatabase(GetParam(), testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_FALSE(db_.Location.empty()) << db_.Error;
  }
  // A store on the test's database; several stand for several server processes.
  std::unique_ptr<TScoreStore> Open() {
    std::string error;
    auto store = TScoreStore::Open(db_.Location, 2, error);
    EXPECT_TRUE(store) << error;
    // The table's order is tested over every result, as --ranking all ranks them.
    if (store) store->SetRankAll(true);
    return store;
  }
  // Runs one statement on the database behind the store's back.
  bool RawSql(const std::string& sql) {
    if (GetParam() == TBackend::Postgres) return TPostgresInstance::Shared().Sql(db_.PgName, sql);
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open(db_.Location.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
  }

  TFreshDatabase db_;
};

TEST_P(ScoreStore, ChallengeFromOneStoreIsAcceptedOnceByAnotherAndExpires) {
  auto a = Open();
  auto b = Open();
  ASSERT_TRUE(a && b);
  struct TCase {
    const char* label;
    int64_t issuedAt;
    int64_t submittedAt;
    bool replay;  // submit a second time with the same p, through either store
    TSubmitOutcome outcome;
  };
  const TCase cases[] = {
      {"fresh", kT0, kT0 + 1, false, TSubmitOutcome::Stored},
      {"at the end of its life", kT0, kT0 + kLifetime, false, TSubmitOutcome::Stored},
      {"expired", kT0, kT0 + kLifetime + 1, false, TSubmitOutcome::BadChallenge},
      {"from the future", kT0 + 50, kT0, false, TSubmitOutcome::BadChallenge},
      {"replayed", kT0, kT0 + 2, true, TSubmitOutcome::BadChallenge},
  };
  int64_t stored = 0;
  for (const TCase& c : cases) {
    const auto p = a->IssueChallenge(c.issuedAt, kLifetime);
    ASSERT_TRUE(p.has_value()) << c.label;
    TSubmitOutcome outcome = b->Submit(Result(c.label, 10, *p), c.submittedAt, kLifetime);
    if (c.replay) {
      ASSERT_EQ(outcome, TSubmitOutcome::Stored) << c.label;
      ++stored;
      EXPECT_EQ(b->Submit(Result(c.label, 20, *p), c.submittedAt, kLifetime), c.outcome);
      outcome = a->Submit(Result(c.label, 30, *p), c.submittedAt, kLifetime);
    }
    EXPECT_EQ(outcome, c.outcome) << c.label;
    if (outcome == TSubmitOutcome::Stored) ++stored;
    EXPECT_EQ(a->ResultCount(), stored) << c.label;
  }
  EXPECT_EQ(b->Submit(Result("never", 1, "NeverIssued"), kT0, kLifetime),
            TSubmitOutcome::BadChallenge);
  EXPECT_EQ(b->ResultCount(), stored);
}

TEST_P(ScoreStore, RacingSubmissionsOfOneChallengeStoreItOnce) {
  auto a = Open();
  auto b = Open();
  ASSERT_TRUE(a && b);
  std::vector<std::string> challenges;
  for (int i = 0; i < 20; ++i) challenges.push_back(a->IssueChallenge(kT0, kLifetime).value_or(""));
  std::atomic<int> stored{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t) {
    threads.emplace_back([&, t] {
      TScoreStore& store = t % 2 ? *a : *b;
      for (const std::string& p : challenges) {
        std::string name = "t";  // appended: GCC 12's -Wrestrict misreads "t" + ...
        name += std::to_string(t);
        if (store.Submit(Result(name, t, p), kT0 + 1, kLifetime) == TSubmitOutcome::Stored) {
          ++stored;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(stored.load(), 20);
  EXPECT_EQ(a->ResultCount(), 20);
  EXPECT_EQ(a->OpenChallengeCount(), 0);
}

TEST_P(ScoreStore, OpenChallengesAreCappedPerAddressAndExpiredOnesSwept) {
  auto store = Open();
  ASSERT_TRUE(store);
  constexpr int kCap = 16;
  // A flood from one address fills its cap and nothing more.
  std::set<std::string> seen;
  int tooMany = 0;
  for (int i = 0; i < 300; ++i) {
    const TIssuedChallenge issued = store->IssueChallenge("192.0.2.7", kT0, kLifetime, kCap);
    if (issued.Outcome == TIssueOutcome::Stored) seen.insert(issued.Challenge);
    if (issued.Outcome == TIssueOutcome::TooMany) ++tooMany;
  }
  EXPECT_EQ(seen.size(), size_t{kCap});
  EXPECT_EQ(tooMany, 300 - kCap);
  EXPECT_EQ(store->OpenChallengeCount(), kCap);
  // Other addresses are not held up; a used challenge frees its slot.
  EXPECT_EQ(store->IssueChallenge("192.0.2.8", kT0, kLifetime, kCap).Outcome,
            TIssueOutcome::Stored);
  ASSERT_EQ(store->Submit(Result("used", 1, *seen.begin()), kT0 + 1, kLifetime),
            TSubmitOutcome::Stored);
  EXPECT_EQ(store->IssueChallenge("192.0.2.7", kT0 + 1, kLifetime, kCap).Outcome,
            TIssueOutcome::Stored);
  EXPECT_EQ(store->IssueChallenge("192.0.2.7", kT0 + 1, kLifetime, kCap).Outcome,
            TIssueOutcome::TooMany);
  // Expired challenges no longer count, and issuing sweeps them out.
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(store
                  ->IssueChallenge("198.51.100." + std::to_string(i), kT0 + 10 * kLifetime,
                                   kLifetime, kCap)
                  .Outcome,
              TIssueOutcome::Stored);
  }
  EXPECT_EQ(store->OpenChallengeCount(), 200);
}

TEST_P(ScoreStore, TopRanksPagesAndTheLastWeekAndSurvivesReopening) {
  const int64_t now = kT0 + 30 * kDay;
  {
    auto store = Open();
    ASSERT_TRUE(store);
    // Name, score, days before now.
    const std::tuple<const char*, int32_t, int64_t> results[] = {{"low", 10, 1},   {"old", 950, 8},
                                                                 {"high", 900, 0}, {"tieA", 500, 2},
                                                                 {"tieB", 500, 2}, {"<i>", 1, 6}};
    for (const auto& [name, score, daysAgo] : results) {
      const int64_t at = now - daysAgo * kDay;
      const auto p = store->IssueChallenge(at, kLifetime);
      ASSERT_EQ(store->Submit(Result(name, score, *p), at, kLifetime), TSubmitOutcome::Stored);
    }
  }
  auto store = Open();
  ASSERT_TRUE(store);
  struct TCase {
    TScorePeriod period;
    int64_t offset;
    int limit;
    std::vector<std::string> names;
    int64_t total;
  };
  const TCase cases[] = {
      {TScorePeriod::AllTime, 0, 4, {"old", "high", "tieA", "tieB"}, 6},
      {TScorePeriod::AllTime, 4, 4, {"low", "<i>"}, 6},
      {TScorePeriod::Week, 0, 10, {"high", "tieA", "tieB", "low", "<i>"}, 5},
      {TScorePeriod::Week, 3, 1, {"low"}, 5},
      {TScorePeriod::Week, 9, 10, {}, 5},
  };
  for (const TCase& c : cases) {
    const TScoreSlice slice = store->Top(c.period, now, c.offset, c.limit);
    ASSERT_TRUE(slice.Available);
    EXPECT_EQ(slice.Total, c.total);
    ASSERT_EQ(slice.Rows.size(), c.names.size()) << c.offset;
    for (size_t i = 0; i < c.names.size(); ++i) {
      EXPECT_EQ(slice.Rows[i].Name, c.names[i]);
      EXPECT_EQ(slice.Rows[i].Rank, c.offset + static_cast<int64_t>(i) + 1);
    }
  }
  const auto best = store->Top(1);
  ASSERT_EQ(best.size(), 1u);
  EXPECT_EQ(best[0].Score, 950);
  EXPECT_EQ(best[0].PlayerName, "player");
  EXPECT_EQ(best[0].Submitted, now - 8 * kDay);
  EXPECT_TRUE(store->Healthy());
}

TEST_P(ScoreStore, RefusesADatabaseOfANewerSchema) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(RawSql("UPDATE schema_version SET version = version + 1"));
  std::string error;
  EXPECT_FALSE(TScoreStore::Open(db_.Location, 1, error));
  const std::string expected = "schema version " + std::to_string(TScoreStore::kSchemaVersion + 1) +
                               " is newer than this server knows (" +
                               std::to_string(TScoreStore::kSchemaVersion) + ")";
  EXPECT_NE(error.find(expected), std::string::npos) << error;
}

// A database of the last version before replays: its results are kept, and
// not ranked by default, since none has a replay.
TEST_P(ScoreStore, UpgradesAVersion2DatabaseWhoseResultsAreRankedOnlyWithRankingAll) {
  {
    auto store = Open();
    ASSERT_TRUE(store);
    const auto p = store->IssueChallenge(kT0, kLifetime);
    ASSERT_TRUE(p);
    ASSERT_EQ(store->Submit(Result("Old", 500, *p), kT0 + 1, kLifetime), TSubmitOutcome::Stored);
  }
  ASSERT_TRUE(RawSql("DROP TABLE replays"));
  ASSERT_TRUE(RawSql("UPDATE schema_version SET version = 2"));
  std::string error;
  auto store = TScoreStore::Open(db_.Location, 1, error);
  ASSERT_TRUE(store) << error;
  EXPECT_TRUE(store->Top(10).empty());
  const auto unranked = store->Unsettled(kT0, 10);
  ASSERT_EQ(unranked.size(), 1u);
  EXPECT_EQ(unranked[0].Status, "no replay");
  EXPECT_EQ(store->AddReplay("NoSuchP", {1, 2, 3}, kT0).Outcome,
            TReplayUploadOutcome::UnknownResult);
  store->SetRankAll(true);
  ASSERT_EQ(store->Top(10).size(), 1u);
  EXPECT_EQ(store->Top(10)[0].Name, "Old");
}

INSTANTIATE_TEST_SUITE_P(Backends, ScoreStore, TL_BACKENDS);

TEST(ScoreStoreSqlite, UpgradesTheLayoutFromBeforeTheVersionTableKeepingEverything) {
  const TFreshDatabase fresh = FreshDatabase(TBackend::Sqlite, "upgrade");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(fresh.Location.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE results(id INTEGER PRIMARY KEY, name TEXT NOT NULL,"
                         " player TEXT NOT NULL, score INTEGER NOT NULL,"
                         " challenge TEXT NOT NULL UNIQUE, submitted INTEGER NOT NULL);"
                         "CREATE TABLE challenges(p TEXT PRIMARY KEY, issued INTEGER NOT NULL);"
                         "INSERT INTO results VALUES(1, 'Kept', 'pl', 777, 'OldP', 1800000000);"
                         "INSERT INTO challenges VALUES('OpenP', 1800000000);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  std::string error;
  auto store = TScoreStore::Open("sqlite:" + fresh.Location, error);
  ASSERT_TRUE(store) << error;
  // A result from before replays has none: ranked only when every result is.
  EXPECT_TRUE(store->Top(10).empty());
  store->SetRankAll(true);
  ASSERT_EQ(store->Top(10).size(), 1u);
  EXPECT_EQ(store->Top(10)[0].Name, "Kept");
  EXPECT_EQ(store->Submit(Result("New", 5, "OpenP"), kT0 + 1, kLifetime), TSubmitOutcome::Stored);
  EXPECT_EQ(store->IssueChallenge("192.0.2.1", kT0, kLifetime, 1).Outcome, TIssueOutcome::Stored);
  EXPECT_EQ(store->IssueChallenge("192.0.2.1", kT0, kLifetime, 1).Outcome, TIssueOutcome::TooMany);
}

TEST(ScoreStorePostgres, ALostDatabaseIsUnavailableUntilItIsBackThenMendsItself) {
  const TFreshDatabase fresh = FreshDatabase(TBackend::Postgres, "restart");
  ASSERT_FALSE(fresh.Location.empty()) << fresh.Error;
  TPostgresInstance& pg = TPostgresInstance::Shared();
  std::string error;
  auto store = TScoreStore::Open(fresh.Location, 2, error);
  ASSERT_TRUE(store) << error;
  const auto before = store->IssueChallenge(kT0, kLifetime);
  ASSERT_TRUE(before);

  // Connections cut by the server: the next request connects again.
  ASSERT_TRUE(pg.Sql("postgres",
                     "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" +
                         fresh.PgName + "'"));
  const auto cut = store->IssueChallenge(kT0, kLifetime);
  ASSERT_TRUE(cut);
  EXPECT_EQ(store->Submit(Result("Cut", 2, *cut), kT0 + 1, kLifetime), TSubmitOutcome::Stored);

  ASSERT_TRUE(pg.Stop());
  EXPECT_FALSE(store->Healthy());
  EXPECT_EQ(store->IssueChallenge("192.0.2.1", kT0, kLifetime, 4).Outcome,
            TIssueOutcome::Unavailable);
  EXPECT_EQ(store->Submit(Result("Down", 3, *before), kT0 + 2, kLifetime),
            TSubmitOutcome::Unavailable);
  EXPECT_FALSE(store->Top(TScorePeriod::AllTime, kT0, 0, 10).Available);
  ASSERT_TRUE(pg.Start());

  // Back by itself within a bounded wait; p handed out before survived.
  bool healthy = false;
  for (int i = 0; i < 50 && !healthy; ++i) {
    healthy = store->Healthy();
    if (!healthy) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(healthy);
  EXPECT_EQ(store->Submit(Result("Back", 4, *before), kT0 + 3, kLifetime), TSubmitOutcome::Stored);
  EXPECT_EQ(store->ResultCount(), 2);
}

}  // namespace

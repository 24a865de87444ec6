#include "ScoreStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int64_t kLifetime = 600;
constexpr int64_t kT0 = 1'800'000'000;

fs::path FreshDatabase(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("tl_store_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path path = dir / (name + ".db");
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path.string() + suffix);
  return path;
}

std::unique_ptr<TScoreStore> OpenStore(const fs::path& path) {
  std::string error;
  auto store = TScoreStore::Open(path.string(), error);
  EXPECT_TRUE(store) << error;
  return store;
}

TSubmittedResult Result(const std::string& name, int32_t score, const std::string& p) {
  return TSubmittedResult{name, score, p, "player"};
}

TEST(ScoreStore, ChallengeIsSingleUseAndExpires) {
  auto store = OpenStore(FreshDatabase("challenge"));
  ASSERT_TRUE(store);
  struct TCase {
    const char* label;
    int64_t issuedAt;
    int64_t submittedAt;
    bool replay;  // submit a second time with the same p
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
    const auto p = store->IssueChallenge(c.issuedAt, kLifetime);
    ASSERT_TRUE(p.has_value()) << c.label;
    TSubmitOutcome outcome = store->Submit(Result(c.label, 10, *p), c.submittedAt, kLifetime);
    if (c.replay) {
      ASSERT_EQ(outcome, TSubmitOutcome::Stored) << c.label;
      ++stored;
      outcome = store->Submit(Result(c.label, 20, *p), c.submittedAt, kLifetime);
    }
    EXPECT_EQ(outcome, c.outcome) << c.label;
    if (outcome == TSubmitOutcome::Stored) ++stored;
    EXPECT_EQ(store->ResultCount(), stored) << c.label;
  }
  EXPECT_EQ(store->Submit(Result("never", 1, "NeverIssued"), kT0, kLifetime),
            TSubmitOutcome::BadChallenge);
  EXPECT_EQ(store->ResultCount(), stored);
}

TEST(ScoreStore, ChallengesAreDistinctAndOldOnesAreSwept) {
  auto store = OpenStore(FreshDatabase("sweep"));
  ASSERT_TRUE(store);
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) seen.insert(store->IssueChallenge(kT0, kLifetime).value_or(""));
  EXPECT_EQ(seen.size(), 100u);
  EXPECT_FALSE(seen.count(""));
  // Issuing long after they expired sweeps them out; the table stays bounded.
  for (int i = 0; i < 100; ++i) store->IssueChallenge(kT0 + 10 * kLifetime, kLifetime);
  EXPECT_LE(store->OpenChallengeCount(), 100);
}

TEST(ScoreStore, TopOrdersByScoreThenArrivalAndSurvivesReopening) {
  const fs::path path = FreshDatabase("top");
  {
    auto store = OpenStore(path);
    ASSERT_TRUE(store);
    const std::pair<const char*, int32_t> results[] = {
        {"low", 10}, {"high", 900}, {"tieA", 500}, {"tieB", 500}, {"<i>", 1}};
    for (const auto& [name, score] : results) {
      const auto p = store->IssueChallenge(kT0, kLifetime);
      ASSERT_EQ(store->Submit(Result(name, score, *p), kT0 + 1, kLifetime), TSubmitOutcome::Stored);
    }
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  const auto rows = store->Top(4);
  ASSERT_EQ(rows.size(), 4u);
  const char* expected[] = {"high", "tieA", "tieB", "low"};
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].Name, expected[i]);
  EXPECT_EQ(rows[0].Score, 900);
  EXPECT_EQ(rows[0].PlayerName, "player");
  EXPECT_EQ(rows[0].Submitted, kT0 + 1);
  EXPECT_EQ(store->Top(100).size(), 5u);

  // The journal is in write-ahead mode.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "wal");
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}

}  // namespace

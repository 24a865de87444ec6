#include "SqliteScoreStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

// Version 1 is the layout from before the version table: no address column.
constexpr const char* kCreateSchema =
    "CREATE TABLE results("
    "  id INTEGER PRIMARY KEY,"
    "  name TEXT NOT NULL,"
    "  player TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  challenge TEXT NOT NULL UNIQUE,"
    "  submitted INTEGER NOT NULL);"
    "CREATE INDEX results_by_score ON results(score DESC, id);"
    "CREATE TABLE challenges("
    "  p TEXT PRIMARY KEY,"
    "  issued INTEGER NOT NULL,"
    "  address TEXT NOT NULL DEFAULT '');"
    "CREATE INDEX challenges_by_age ON challenges(issued);";
constexpr const char* kUpgradeFrom1 =
    "ALTER TABLE challenges ADD COLUMN address TEXT NOT NULL DEFAULT '';";
constexpr const char* kIndexesOf2 =
    "CREATE INDEX IF NOT EXISTS results_by_time ON results(submitted);"
    "CREATE INDEX IF NOT EXISTS challenges_by_address ON challenges(address, issued);";
// Results from before version 3 have no replay, so they are not ranked by default.
constexpr const char* kReplaysOf3 =
    "CREATE TABLE IF NOT EXISTS replays("
    "  id INTEGER PRIMARY KEY,"
    "  result_id INTEGER NOT NULL UNIQUE REFERENCES results(id),"
    "  data BLOB NOT NULL,"
    "  uploaded INTEGER NOT NULL,"
    "  status TEXT NOT NULL DEFAULT 'pending',"
    "  reason TEXT NOT NULL DEFAULT '',"
    "  lease_owner TEXT NOT NULL DEFAULT '',"
    "  lease_until INTEGER NOT NULL DEFAULT 0,"
    "  attempts INTEGER NOT NULL DEFAULT 0,"
    "  verifications INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX IF NOT EXISTS replays_by_status ON replays(status, id);";

// Resets a statement when it goes out of scope, whatever path leaves.
class TStatementUse {
 public:
  explicit TStatementUse(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~TStatementUse() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  TStatementUse(const TStatementUse&) = delete;
  TStatementUse& operator=(const TStatementUse&) = delete;
  sqlite3_stmt* operator*() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_;
};

void BindText(sqlite3_stmt* stmt, int index, const std::string& text) {
  sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
  const auto* text = sqlite3_column_text(stmt, column);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<size_t>(sqlite3_column_bytes(stmt, column)))
              : std::string();
}

// A call waits at most this long for the other request threads, and as long
// again for a write lock another process holds; then it fails (503, nothing
// stored), well inside the request deadline.
constexpr auto kLockWait = std::chrono::milliseconds(1000);

int64_t PeriodStart(TScorePeriod period, int64_t now) {
  return period == TScorePeriod::Week ? now - TScoreStore::kWeekSeconds
                                      : std::numeric_limits<int64_t>::min();
}

}  // namespace

std::unique_ptr<TSqliteScoreStore> TSqliteScoreStore::Open(const std::string& path,
                                                           std::string& error) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    error = "cannot open database " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<TSqliteScoreStore> store(new TSqliteScoreStore(db));
  // Start-up may wait a while for another process; requests may not.
  sqlite3_busy_timeout(db, 5000);
  if (!store->Exec("PRAGMA journal_mode=WAL;") || !store->Exec("PRAGMA synchronous=NORMAL;") ||
      !store->Migrate(error) || !store->Prepare(error)) {
    if (error.empty()) error = std::string("cannot set up the database: ") + sqlite3_errmsg(db);
    error = "database " + path + ": " + error;
    return nullptr;
  }
  sqlite3_busy_timeout(db, static_cast<int>(kLockWait.count()));
  return store;
}

TSqliteScoreStore::~TSqliteScoreStore() {
  for (sqlite3_stmt* stmt :
       {insertChallenge_, countOpenForAddress_, purgeChallenges_, consumeChallenge_, insertResult_,
        topResults_, countRanked_, countResults_, countChallenges_}) {
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db_);
}

bool TSqliteScoreStore::Exec(const char* sql) {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool TSqliteScoreStore::Migrate(std::string& error) {
  if (!Exec("BEGIN IMMEDIATE")) return false;
  sqlite3_stmt* stmt = nullptr;
  int version = -1;
  bool hasTables = false;
  if (Exec("CREATE TABLE IF NOT EXISTS schema_version(version INTEGER NOT NULL)") &&
      sqlite3_prepare_v2(db_,
                         "SELECT (SELECT MAX(version) FROM schema_version),"
                         " EXISTS(SELECT 1 FROM sqlite_master WHERE name = 'challenges')",
                         -1, &stmt, nullptr) == SQLITE_OK &&
      sqlite3_step(stmt) == SQLITE_ROW) {
    version = sqlite3_column_int(stmt, 0);
    hasTables = sqlite3_column_int(stmt, 1) != 0;
  }
  sqlite3_finalize(stmt);
  if (version < 0) {
    Exec("ROLLBACK");
    return false;
  }
  if (version == 0 && hasTables) version = 1;
  if (version > kSchemaVersion) {
    Exec("ROLLBACK");
    error = "its schema version " + std::to_string(version) + " is newer than this server knows (" +
            std::to_string(kSchemaVersion) + "); run a newer tidal-lynx-scores";
    return false;
  }
  const bool ok =
      (version != 0 || Exec(kCreateSchema)) && (version != 1 || Exec(kUpgradeFrom1)) &&
      Exec(kIndexesOf2) && Exec(kReplaysOf3) && Exec("DELETE FROM schema_version") &&
      Exec(("INSERT INTO schema_version VALUES(" + std::to_string(kSchemaVersion) + ")").c_str()) &&
      Exec("COMMIT");
  if (!ok) {
    error = std::string("cannot create or upgrade the schema: ") + sqlite3_errmsg(db_);
    Exec("ROLLBACK");
  }
  return ok;
}

bool TSqliteScoreStore::Prepare(std::string& error) {
  const std::pair<sqlite3_stmt**, const char*> statements[] = {
      {&insertChallenge_, "INSERT INTO challenges(p, issued, address) VALUES(?1, ?2, ?3)"},
      {&countOpenForAddress_,
       "SELECT COUNT(*) FROM challenges WHERE address = ?1 AND issued >= ?2"},
      {&purgeChallenges_,
       "DELETE FROM challenges WHERE p IN"
       " (SELECT p FROM challenges WHERE issued < ?1 LIMIT ?2)"},
      {&consumeChallenge_, "DELETE FROM challenges WHERE p = ?1 AND issued >= ?2 AND issued <= ?3"},
      {&insertResult_,
       "INSERT INTO results(name, player, score, challenge, submitted) VALUES(?1, ?2, ?3, ?4, ?5)"},
      {&topResults_,
       "SELECT r.name, r.player, r.score, r.submitted, coalesce(p.id, 0) FROM results r"
       " LEFT JOIN replays p ON p.result_id = r.id"
       " WHERE r.submitted >= ?1 AND (?4 OR p.status = 'verified')"
       " ORDER BY r.score DESC, r.id LIMIT ?2 OFFSET ?3"},
      {&countRanked_,
       "SELECT COUNT(*) FROM (SELECT 1 FROM results r LEFT JOIN replays p ON p.result_id = r.id"
       " WHERE r.submitted >= ?1 AND (?3 OR p.status = 'verified') LIMIT ?2)"},
      {&countResults_, "SELECT COUNT(*) FROM results"},
      {&countChallenges_, "SELECT COUNT(*) FROM challenges"},
  };
  for (const auto& [slot, sql] : statements) {
    if (sqlite3_prepare_v2(db_, sql, -1, slot, nullptr) != SQLITE_OK) {
      error = std::string("cannot prepare statement: ") + sqlite3_errmsg(db_);
      return false;
    }
  }
  return true;
}

TIssuedChallenge TSqliteScoreStore::IssueChallenge(const std::string& address, int64_t now,
                                                   int64_t lifetimeSeconds, int maxOpen) {
  std::unique_lock lock(mutex_, kLockWait);
  if (!lock) return {TIssueOutcome::Unavailable, {}};
  if (++issuedSincePurge_ >= kPurgeInterval) {
    issuedSincePurge_ = 0;
    TStatementUse purge(purgeChallenges_);
    sqlite3_bind_int64(*purge, 1, now - lifetimeSeconds);
    sqlite3_bind_int(*purge, 2, kPurgeBatch);
    sqlite3_step(*purge);
  }
  // Count and insert in one write transaction: exact also when several
  // processes share the file.
  if (!Exec("BEGIN IMMEDIATE")) return {TIssueOutcome::Unavailable, {}};
  const TIssuedChallenge issued = InsertChallenge(address, now, lifetimeSeconds, maxOpen);
  if (issued.Outcome != TIssueOutcome::Stored || !Exec("COMMIT")) {
    Exec("ROLLBACK");
    return issued.Outcome == TIssueOutcome::Stored ? TIssuedChallenge{} : issued;
  }
  return issued;
}

TIssuedChallenge TSqliteScoreStore::InsertChallenge(const std::string& address, int64_t now,
                                                    int64_t lifetimeSeconds, int maxOpen) {
  if (maxOpen > 0) {
    TStatementUse count(countOpenForAddress_);
    BindText(*count, 1, address);
    sqlite3_bind_int64(*count, 2, now - lifetimeSeconds);
    if (sqlite3_step(*count) != SQLITE_ROW) return {TIssueOutcome::Unavailable, {}};
    if (sqlite3_column_int64(*count, 0) >= maxOpen) return {TIssueOutcome::TooMany, {}};
  }
  // A clash with an open challenge is astronomically unlikely; try again if it happens.
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string p = NewChallenge();
    TStatementUse insert(insertChallenge_);
    BindText(*insert, 1, p);
    sqlite3_bind_int64(*insert, 2, now);
    BindText(*insert, 3, address);
    if (sqlite3_step(*insert) == SQLITE_DONE) return {TIssueOutcome::Stored, std::move(p)};
  }
  return {TIssueOutcome::Unavailable, {}};
}

TSubmitOutcome TSqliteScoreStore::Submit(const TSubmittedResult& result, int64_t now,
                                         int64_t lifetimeSeconds) {
  std::unique_lock lock(mutex_, kLockWait);
  if (!lock) return TSubmitOutcome::Unavailable;
  if (!Exec("BEGIN IMMEDIATE")) return TSubmitOutcome::Failed;
  {
    TStatementUse consume(consumeChallenge_);
    BindText(*consume, 1, result.Challenge);
    sqlite3_bind_int64(*consume, 2, now - lifetimeSeconds);
    sqlite3_bind_int64(*consume, 3, now);
    if (sqlite3_step(*consume) != SQLITE_DONE) {
      Exec("ROLLBACK");
      return TSubmitOutcome::Failed;
    }
    if (sqlite3_changes(db_) != 1) {
      Exec("ROLLBACK");
      return TSubmitOutcome::BadChallenge;
    }
  }
  {
    TStatementUse insert(insertResult_);
    BindText(*insert, 1, result.Name);
    BindText(*insert, 2, result.PlayerName);
    sqlite3_bind_int64(*insert, 3, result.Score);
    BindText(*insert, 4, result.Challenge);
    sqlite3_bind_int64(*insert, 5, now);
    if (sqlite3_step(*insert) != SQLITE_DONE) {
      Exec("ROLLBACK");
      return TSubmitOutcome::Failed;
    }
  }
  if (!Exec("COMMIT")) {
    Exec("ROLLBACK");
    return TSubmitOutcome::Failed;
  }
  return TSubmitOutcome::Stored;
}

TScoreSlice TSqliteScoreStore::Top(TScorePeriod period, int64_t now, int64_t offset, int limit) {
  std::unique_lock lock(mutex_, kLockWait);
  if (!lock) return {};
  TScoreSlice slice;
  const int64_t since = PeriodStart(period, now);
  {
    TStatementUse count(countRanked_);
    sqlite3_bind_int64(*count, 1, since);
    sqlite3_bind_int64(*count, 2, kMaxRanked);
    sqlite3_bind_int(*count, 3, RankAll() ? 1 : 0);
    if (sqlite3_step(*count) != SQLITE_ROW) return slice;
    slice.Total = sqlite3_column_int64(*count, 0);
  }
  offset = std::max<int64_t>(offset, 0);
  const int64_t rows = std::min<int64_t>(std::max(limit, 0), kMaxRanked - offset);
  if (rows > 0) {
    TStatementUse top(topResults_);
    sqlite3_bind_int64(*top, 1, since);
    sqlite3_bind_int64(*top, 2, rows);
    sqlite3_bind_int64(*top, 3, offset);
    sqlite3_bind_int(*top, 4, RankAll() ? 1 : 0);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(*top)) == SQLITE_ROW) {
      slice.Rows.push_back(
          {ColumnText(*top, 0), ColumnText(*top, 1),
           static_cast<int32_t>(sqlite3_column_int64(*top, 2)), sqlite3_column_int64(*top, 3),
           offset + static_cast<int64_t>(slice.Rows.size()) + 1, sqlite3_column_int64(*top, 4)});
    }
    if (step != SQLITE_DONE) return TScoreSlice{};
  }
  slice.Available = true;
  return slice;
}

bool TSqliteScoreStore::Healthy() {
  std::unique_lock lock(mutex_, kLockWait);
  if (!lock) return false;
  return Exec("SELECT 1");
}

int64_t TSqliteScoreStore::CountOf(sqlite3_stmt* stmt) {
  std::unique_lock lock(mutex_, kLockWait);
  if (!lock) return -1;
  TStatementUse count(stmt);
  return sqlite3_step(*count) == SQLITE_ROW ? sqlite3_column_int64(*count, 0) : -1;
}

int64_t TSqliteScoreStore::ResultCount() {
  return CountOf(countResults_);
}

int64_t TSqliteScoreStore::OpenChallengeCount() {
  return CountOf(countChallenges_);
}

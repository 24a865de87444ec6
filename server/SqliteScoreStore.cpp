#include "SqliteScoreStore.h"

#include <sqlite3.h>

#include <chrono>
#include <cstring>

#include "StoreSchema.h"

namespace {

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
        topResults_, countRanked_, countResults_, countChallenges_, banGeneration_, activeBans_,
        replayQueue_, begin_, commit_}) {
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
    error = NewerSchemaMessage(version);
    return false;
  }
  for (const std::string& step : SchemaSteps(TSqlDialect::Sqlite, version)) {
    if (Exec(step.c_str())) continue;
    // A column an earlier run of this step already added.
    if (std::strncmp(sqlite3_errmsg(db_), "duplicate column name", 21) == 0) continue;
    error = std::string("cannot create or upgrade the schema: ") + sqlite3_errmsg(db_);
    Exec("ROLLBACK");
    return false;
  }
  if (!Exec("COMMIT")) {
    error = std::string("cannot create or upgrade the schema: ") + sqlite3_errmsg(db_);
    Exec("ROLLBACK");
    return false;
  }
  return true;
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
       "INSERT INTO results(name, player, score, challenge, submitted, address)"
       " VALUES(?1, ?2, ?3, ?4, ?5, ?6)"},
      {&topResults_, kTopStatement},
      {&countRanked_, kRankedStatement},
      {&countResults_, "SELECT COUNT(*) FROM results"},
      {&countChallenges_, "SELECT COUNT(*) FROM challenges"},
      {&banGeneration_, kBanGenerationStatement},
      {&activeBans_, kActiveBansStatement},
      {&replayQueue_, kReplayQueueStatement},
      {&begin_, "BEGIN IMMEDIATE"},
      {&commit_, "COMMIT"},
  };
  for (const auto& [slot, sql] : statements) {
    const std::string text = SqlFor(TSqlDialect::Sqlite, sql);
    if (sqlite3_prepare_v2(db_, text.c_str(), -1, slot, nullptr) != SQLITE_OK) {
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
  if (!Step(begin_)) return {TIssueOutcome::Unavailable, {}};
  const TIssuedChallenge issued = InsertChallenge(address, now, lifetimeSeconds, maxOpen);
  if (issued.Outcome != TIssueOutcome::Stored || !Step(commit_)) {
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

bool TSqliteScoreStore::Step(sqlite3_stmt* stmt) {
  TStatementUse use(stmt);
  return sqlite3_step(stmt) == SQLITE_DONE;
}

bool TSqliteScoreStore::RefreshBans() {
  int64_t generation = 0;
  {
    TStatementUse read(banGeneration_);
    if (sqlite3_step(*read) != SQLITE_ROW) return false;
    generation = sqlite3_column_int64(*read, 0);
  }
  if (generation == bans_.Generation()) return true;
  std::vector<TBanRule> rules;
  TStatementUse all(activeBans_);
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(*all)) == SQLITE_ROW) {
    std::string ignored;
    if (auto rule = MakeBanRule(ColumnText(*all, 0), ColumnText(*all, 1), ignored)) {
      rules.push_back(std::move(*rule));
    }
  }
  if (step != SQLITE_DONE) return false;
  bans_.Replace(generation, std::move(rules));
  return true;
}

TSubmitOutcome TSqliteScoreStore::Submit(const TSubmittedResult& result, const std::string& address,
                                         int64_t now, int64_t lifetimeSeconds) {
  std::unique_lock lock(mutex_, kLockWait);
  if (!lock) return TSubmitOutcome::Unavailable;
  if (!Step(begin_)) return TSubmitOutcome::Failed;
  // Inside the write transaction: no ban can land between this look and the insert.
  if (!RefreshBans()) {
    Exec("ROLLBACK");
    return TSubmitOutcome::Failed;
  }
  if (bans_.Refuses(result.Name, result.PlayerName, address)) {
    Exec("ROLLBACK");
    return TSubmitOutcome::Banned;
  }
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
    BindText(*insert, 6, address);
    if (sqlite3_step(*insert) != SQLITE_DONE) {
      Exec("ROLLBACK");
      return TSubmitOutcome::Failed;
    }
  }
  if (!Step(commit_)) {
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
  const TPageBounds page = ClampPage(offset, limit);
  {
    TStatementUse count(countRanked_);
    sqlite3_bind_int64(*count, 1, since);
    sqlite3_bind_int64(*count, 2, kMaxRanked);
    sqlite3_bind_int(*count, 3, RankAll() ? 1 : 0);
    if (sqlite3_step(*count) != SQLITE_ROW) return slice;
    slice.Total = sqlite3_column_int64(*count, 0);
  }
  if (page.Rows > 0) {
    TStatementUse top(topResults_);
    sqlite3_bind_int64(*top, 1, since);
    sqlite3_bind_int64(*top, 2, page.Rows);
    sqlite3_bind_int64(*top, 3, page.Offset);
    sqlite3_bind_int(*top, 4, RankAll() ? 1 : 0);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(*top)) == SQLITE_ROW) {
      slice.Rows.push_back({ColumnText(*top, 0), ColumnText(*top, 1),
                            static_cast<int32_t>(sqlite3_column_int64(*top, 2)),
                            sqlite3_column_int64(*top, 3),
                            page.Offset + static_cast<int64_t>(slice.Rows.size()) + 1,
                            sqlite3_column_int64(*top, 4)});
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

TReplayQueue TSqliteScoreStore::ReplayQueue() {
  std::unique_lock lock(mutex_, kLockWait);
  if (!lock) return {};
  TStatementUse queue(replayQueue_);
  if (sqlite3_step(*queue) != SQLITE_ROW) return {};
  return {true, sqlite3_column_int64(*queue, 0), sqlite3_column_int64(*queue, 1)};
}

int TSqliteScoreStore::ConnectionsInUse() {
  // One connection, busy while a call holds it.
  if (!mutex_.try_lock()) return 1;
  mutex_.unlock();
  return 0;
}

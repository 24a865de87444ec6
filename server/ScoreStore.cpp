#include "ScoreStore.h"

#include <sqlite3.h>

#include <random>

namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS results("
    "  id INTEGER PRIMARY KEY,"
    "  name TEXT NOT NULL,"
    "  player TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  challenge TEXT NOT NULL UNIQUE,"
    "  submitted INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS results_by_score ON results(score DESC, id);"
    "CREATE TABLE IF NOT EXISTS challenges("
    "  p TEXT PRIMARY KEY,"
    "  issued INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS challenges_by_age ON challenges(issued);";

// Expired challenges are swept every so many issues rather than on each one.
constexpr uint32_t kPurgeInterval = 64;
constexpr size_t kChallengeLength = 20;
constexpr std::string_view kChallengeAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string NewChallenge() {
  std::random_device entropy;
  std::uniform_int_distribution<size_t> pick(0, kChallengeAlphabet.size() - 1);
  std::string p;
  for (size_t i = 0; i < kChallengeLength; ++i) {
    const size_t index = pick(entropy);
    p += kChallengeAlphabet[index];
  }
  return p;
}

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

}  // namespace

std::unique_ptr<TScoreStore> TScoreStore::Open(const std::string& path, std::string& error) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    error = "cannot open database " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<TScoreStore> store(new TScoreStore(db));
  sqlite3_busy_timeout(db, 5000);
  if (!store->Exec("PRAGMA journal_mode=WAL;") || !store->Exec("PRAGMA synchronous=NORMAL;") ||
      !store->Exec(kSchema) || !store->Prepare(error)) {
    if (error.empty()) error = "cannot set up database " + path + ": " + sqlite3_errmsg(db);
    return nullptr;
  }
  return store;
}

TScoreStore::~TScoreStore() {
  for (sqlite3_stmt* stmt : {insertChallenge_, purgeChallenges_, consumeChallenge_, insertResult_,
                             topResults_, countResults_, countChallenges_}) {
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db_);
}

bool TScoreStore::Exec(const char* sql) {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool TScoreStore::Prepare(std::string& error) {
  const std::pair<sqlite3_stmt**, const char*> statements[] = {
      {&insertChallenge_, "INSERT INTO challenges(p, issued) VALUES(?1, ?2)"},
      {&purgeChallenges_, "DELETE FROM challenges WHERE issued < ?1"},
      {&consumeChallenge_, "DELETE FROM challenges WHERE p = ?1 AND issued >= ?2 AND issued <= ?3"},
      {&insertResult_,
       "INSERT INTO results(name, player, score, challenge, submitted) VALUES(?1, ?2, ?3, ?4, ?5)"},
      {&topResults_,
       "SELECT name, player, score, submitted FROM results ORDER BY score DESC, id LIMIT ?1"},
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

std::optional<std::string> TScoreStore::IssueChallenge(int64_t now, int64_t lifetimeSeconds) {
  std::lock_guard lock(mutex_);
  if (++issuedSincePurge_ >= kPurgeInterval) {
    issuedSincePurge_ = 0;
    TStatementUse purge(purgeChallenges_);
    sqlite3_bind_int64(*purge, 1, now - lifetimeSeconds);
    sqlite3_step(*purge);
  }
  // A clash with an open challenge is astronomically unlikely; try again if it happens.
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string p = NewChallenge();
    TStatementUse insert(insertChallenge_);
    BindText(*insert, 1, p);
    sqlite3_bind_int64(*insert, 2, now);
    if (sqlite3_step(*insert) == SQLITE_DONE) return p;
  }
  return std::nullopt;
}

TSubmitOutcome TScoreStore::Submit(const TSubmittedResult& result, int64_t now,
                                   int64_t lifetimeSeconds) {
  std::lock_guard lock(mutex_);
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

std::vector<TScoreRow> TScoreStore::Top(int limit) {
  std::lock_guard lock(mutex_);
  std::vector<TScoreRow> rows;
  TStatementUse top(topResults_);
  sqlite3_bind_int(*top, 1, limit);
  while (sqlite3_step(*top) == SQLITE_ROW) {
    rows.push_back({ColumnText(*top, 0), ColumnText(*top, 1),
                    static_cast<int32_t>(sqlite3_column_int64(*top, 2)),
                    sqlite3_column_int64(*top, 3)});
  }
  return rows;
}

int64_t TScoreStore::ResultCount() {
  std::lock_guard lock(mutex_);
  TStatementUse count(countResults_);
  return sqlite3_step(*count) == SQLITE_ROW ? sqlite3_column_int64(*count, 0) : 0;
}

int64_t TScoreStore::OpenChallengeCount() {
  std::lock_guard lock(mutex_);
  TStatementUse count(countChallenges_);
  return sqlite3_step(*count) == SQLITE_ROW ? sqlite3_column_int64(*count, 0) : 0;
}

bool TScoreStore::Healthy() {
  std::lock_guard lock(mutex_);
  TStatementUse count(countChallenges_);
  return sqlite3_step(*count) == SQLITE_ROW;
}

#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "SubmittedResult.h"

struct sqlite3;
struct sqlite3_stmt;

// One stored result, as the world table shows it.
struct TScoreRow {
  std::string Name;
  std::string PlayerName;
  int32_t Score = 0;
  int64_t Submitted = 0;  // Unix time, seconds
};

enum class TSubmitOutcome : uint8_t {
  Stored,        // the result is in the table
  BadChallenge,  // p was never handed out, already used or expired; nothing stored
  Failed,        // the database refused; nothing stored
};

// The score database (SQLite, WAL journal): handed-out challenges and stored
// results. Every statement is prepared once; calls are serialised, so one store
// may serve every request thread.
class TScoreStore {
 public:
  // Opens or creates the database; nothing and `error` set when that fails.
  static std::unique_ptr<TScoreStore> Open(const std::string& path, std::string& error);
  ~TScoreStore();
  TScoreStore(const TScoreStore&) = delete;
  TScoreStore& operator=(const TScoreStore&) = delete;

  // A fresh single-use challenge issued at `now`; nothing when the database fails.
  std::optional<std::string> IssueChallenge(int64_t now, int64_t lifetimeSeconds);
  // Consumes the result's challenge (issued no more than `lifetimeSeconds`
  // before `now`) and stores the result, both in one transaction.
  TSubmitOutcome Submit(const TSubmittedResult& result, int64_t now, int64_t lifetimeSeconds);
  // The best `limit` results, highest score first, earlier result first on a tie.
  std::vector<TScoreRow> Top(int limit);
  int64_t ResultCount();
  // Whether the database answers a query.
  bool Healthy();
  int64_t OpenChallengeCount();

 private:
  explicit TScoreStore(sqlite3* db) : db_(db) {}
  bool Prepare(std::string& error);
  bool Exec(const char* sql);

  std::mutex mutex_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insertChallenge_ = nullptr;
  sqlite3_stmt* purgeChallenges_ = nullptr;
  sqlite3_stmt* consumeChallenge_ = nullptr;
  sqlite3_stmt* insertResult_ = nullptr;
  sqlite3_stmt* topResults_ = nullptr;
  sqlite3_stmt* countResults_ = nullptr;
  sqlite3_stmt* countChallenges_ = nullptr;
  uint32_t issuedSincePurge_ = 0;
};

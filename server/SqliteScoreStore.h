#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "ScoreStore.h"

struct sqlite3;
struct sqlite3_stmt;

// The score database in one SQLite file (WAL journal), for a server running on
// one machine. Every statement is prepared once; calls are serialised, and
// each gives up (Unavailable) after a bounded wait for a lock.
class TSqliteScoreStore final : public TScoreStore {
 public:
  static std::unique_ptr<TSqliteScoreStore> Open(const std::string& path, std::string& error);
  ~TSqliteScoreStore() override;

  TIssuedChallenge IssueChallenge(const std::string& address, int64_t now, int64_t lifetimeSeconds,
                                  int maxOpen) override;
  using TScoreStore::IssueChallenge;
  TSubmitOutcome Submit(const TSubmittedResult& result, const std::string& address, int64_t now,
                        int64_t lifetimeSeconds) override;
  using TScoreStore::Submit;
  TScoreSlice Top(TScorePeriod period, int64_t now, int64_t offset, int limit) override;
  using TScoreStore::Top;
  bool Healthy() override;
  int64_t ResultCount() override;
  int64_t OpenChallengeCount() override;
  TReplayQueue ReplayQueue() override;
  int ConnectionsInUse() override;
  // Replays: SqliteReplayRows.cpp.
  TReplayUpload AddReplay(const std::string& p, const std::vector<uint8_t>& data,
                          int64_t now) override;
  TReplayInfo Replay(int64_t id, bool withData) override;
  std::optional<TReplayClaim> ClaimReplay(const std::string& owner, int64_t leaseMs) override;
  bool SettleReplay(const TReplayClaim& claim, bool verified, const std::string& reason) override;
  std::vector<TUnsettledRow> Unsettled(int64_t since, int limit) override;

 private:
  explicit TSqliteScoreStore(sqlite3* db) : db_(db) {}
  bool Migrate(std::string& error);
  // The issue itself, inside the caller's transaction.
  TIssuedChallenge InsertChallenge(const std::string& address, int64_t now, int64_t lifetimeSeconds,
                                   int maxOpen);
  bool Prepare(std::string& error);
  bool Exec(const char* sql);
  bool Step(sqlite3_stmt* stmt);
  // Reloads the bans when their counter in the database moved; inside the
  // caller's transaction.
  bool RefreshBans();
  int64_t CountOf(sqlite3_stmt* stmt);

  std::timed_mutex mutex_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insertChallenge_ = nullptr;
  sqlite3_stmt* countOpenForAddress_ = nullptr;
  sqlite3_stmt* purgeChallenges_ = nullptr;
  sqlite3_stmt* consumeChallenge_ = nullptr;
  sqlite3_stmt* insertResult_ = nullptr;
  sqlite3_stmt* topResults_ = nullptr;
  sqlite3_stmt* countRanked_ = nullptr;
  sqlite3_stmt* countResults_ = nullptr;
  sqlite3_stmt* countChallenges_ = nullptr;
  sqlite3_stmt* banGeneration_ = nullptr;
  sqlite3_stmt* activeBans_ = nullptr;
  sqlite3_stmt* replayQueue_ = nullptr;
  sqlite3_stmt* begin_ = nullptr;
  sqlite3_stmt* commit_ = nullptr;
  uint32_t issuedSincePurge_ = 0;
};

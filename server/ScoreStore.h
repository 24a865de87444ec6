#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BanList.h"
#include "ReplayRecords.h"
#include "protocol/SubmittedResult.h"

// One stored result, as the world table shows it.
struct TScoreRow {
  std::string Name;
  std::string PlayerName;
  int32_t Score = 0;
  int64_t Submitted = 0;  // Unix time, seconds
  int64_t Rank = 0;       // 1 for the best result of the listed period
  int64_t ReplayId = 0;   // its replay; 0 when none was uploaded
};

enum class TSubmitOutcome : uint8_t {
  Stored,        // the result is in the table
  BadChallenge,  // p was never handed out, already used or expired; nothing stored
  Failed,        // the database refused; nothing stored
  Unavailable,   // the database could not be reached; nothing stored
  Banned,        // a ban in force matches it; nothing stored, p not used
};

enum class TIssueOutcome : uint8_t {
  Stored,       // `Challenge` is handed out
  TooMany,      // the address already holds its cap of open challenges
  Unavailable,  // the database could not be reached or refused
};

struct TIssuedChallenge {
  TIssueOutcome Outcome = TIssueOutcome::Unavailable;
  std::string Challenge;
};

enum class TScorePeriod : uint8_t { AllTime, Week };

// A slice of the ranked table and how many results the period holds in all.
struct TScoreSlice {
  bool Available = false;  // false: the database could not be read
  std::vector<TScoreRow> Rows;
  int64_t Total = 0;  // capped at TScoreStore::kMaxRanked
};

// Replays waiting for a verifier, as /metrics shows them.
struct TReplayQueue {
  bool Available = false;
  int64_t Depth = 0;
  int64_t OldestUploaded = 0;  // Unix seconds; 0 when the queue is empty
};

// The score database: handed-out challenges and stored results. Every call is
// safe from any request thread. Implementations: SQLite (one file, the default
// for a single machine) and PostgreSQL (shared by several server processes).
class TScoreStore {
 public:
  // Schema version this server writes; a database with a newer one is refused.
  // Version 3 added the replays and their verification, 4 moderation (removed
  // and banned results, bans, the audit trail).
  static constexpr int kSchemaVersion = 4;
  // Results past this rank are not listed: paging and counting stay bounded.
  static constexpr int64_t kMaxRanked = 10'000;
  static constexpr int64_t kWeekSeconds = 7 * 24 * 3600;

  // `database`: FILE or sqlite:FILE (SQLite), or a PostgreSQL URI or key=value
  // string without a password (`connections` sized pool; SQLite ignores it). Creates or upgrades
  // the schema; nothing and `error` set when that fails.
  static std::unique_ptr<TScoreStore> Open(const std::string& database, int connections,
                                           std::string& error);
  static std::unique_ptr<TScoreStore> Open(const std::string& database, std::string& error) {
    return Open(database, 1, error);
  }
  virtual ~TScoreStore() = default;
  TScoreStore(const TScoreStore&) = delete;
  TScoreStore& operator=(const TScoreStore&) = delete;

  // A fresh single-use challenge for `address`, issued at `now`, unless the
  // address already holds `maxOpen` unexpired ones (0: no cap).
  virtual TIssuedChallenge IssueChallenge(const std::string& address, int64_t now,
                                          int64_t lifetimeSeconds, int maxOpen) = 0;
  // Without an address or a cap; nothing when the database fails.
  std::optional<std::string> IssueChallenge(int64_t now, int64_t lifetimeSeconds);
  // Consumes the result's challenge (issued no more than `lifetimeSeconds`
  // before `now`) and stores the result with the client `address` it came
  // from, both in one transaction; unless a ban in force (as the database says
  // at this call) matches it.
  virtual TSubmitOutcome Submit(const TSubmittedResult& result, const std::string& address,
                                int64_t now, int64_t lifetimeSeconds) = 0;
  TSubmitOutcome Submit(const TSubmittedResult& result, int64_t now, int64_t lifetimeSeconds) {
    return Submit(result, std::string(), now, lifetimeSeconds);
  }
  // Up to `limit` results of `period` (ending at `now`) from rank `offset` + 1
  // on: highest score first, earlier result first on a tie.
  virtual TScoreSlice Top(TScorePeriod period, int64_t now, int64_t offset, int limit) = 0;
  // The best `limit` results of all time.
  std::vector<TScoreRow> Top(int limit) { return Top(TScorePeriod::AllTime, 0, 0, limit).Rows; }
  // One cheap round trip to the database.
  virtual bool Healthy() = 0;
  // -1 when the database cannot be read.
  virtual int64_t ResultCount() = 0;
  virtual int64_t OpenChallengeCount() = 0;
  virtual TReplayQueue ReplayQueue() = 0;
  // Database connections busy with a call right now.
  virtual int ConnectionsInUse() = 0;

  // Ranking: by default only results whose replay was verified are ranked;
  // with `all` every stored result is, as before replays existed.
  void SetRankAll(bool all) { rankAll_ = all; }
  bool RankAll() const { return rankAll_; }

  // Replays (see ReplayRecords.h). Stores the replay of the result accepted
  // with challenge `p`, pending.
  virtual TReplayUpload AddReplay(const std::string& p, const std::vector<uint8_t>& data,
                                  int64_t now) = 0;
  virtual TReplayInfo Replay(int64_t id, bool withData) = 0;
  // The oldest pending replay whose lease is free or ran out, leased to
  // `owner` for `leaseMs`; nothing when there is none (or the database fails).
  virtual std::optional<TReplayClaim> ClaimReplay(const std::string& owner, int64_t leaseMs) = 0;
  // The final mark: written only while the replay is pending and `claim`
  // still holds its lease. False when the mark was not written.
  virtual bool SettleReplay(const TReplayClaim& claim, bool verified,
                            const std::string& reason) = 0;
  // Results since `since` that are not ranked (no replay, pending, rejected),
  // newest first.
  virtual std::vector<TUnsettledRow> Unsettled(int64_t since, int limit) = 0;

 protected:
  TScoreStore() = default;
  // Expired challenges are swept every so many issues, at most so many at once,
  // so a sweep never holds up submissions for long.
  static constexpr uint32_t kPurgeInterval = 64;
  static constexpr int kPurgeBatch = 500;
  // 20 random letters and digits.
  static std::string NewChallenge();

  // The bans in force as this process last read them.
  TBanCache bans_;

 private:
  bool rankAll_ = false;
};

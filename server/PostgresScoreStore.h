#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "PgConnectionPool.h"
#include "ScoreStore.h"

// The score database on a PostgreSQL server, shared by every server process
// that points at it: challenges live in the database, so p handed out by one
// process is accepted (once) by any other. Each request runs on a connection of
// a small pool; a request that meets a broken connection gets Unavailable with
// nothing half-stored, and the next one connects again.
class TPostgresScoreStore final : public TScoreStore {
 public:
  // `uri`: a postgresql:// or postgres:// connection URI without a password
  // (libpq reads it from PGPASSWORD or PGPASSFILE).
  static std::unique_ptr<TPostgresScoreStore> Open(const std::string& uri, int connections,
                                                   std::string& error);

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
  // Replays: PgReplayRows.cpp.
  TReplayUpload AddReplay(const std::string& p, const std::vector<uint8_t>& data,
                          int64_t now) override;
  TReplayInfo Replay(int64_t id, bool withData) override;
  std::optional<TReplayClaim> ClaimReplay(const std::string& owner, int64_t leaseMs) override;
  bool SettleReplay(const TReplayClaim& claim, bool verified, const std::string& reason) override;
  std::vector<TUnsettledRow> Unsettled(int64_t since, int limit) override;

 private:
  TPostgresScoreStore(const std::string& uri, int connections);
  bool Migrate(std::string& error);
  int64_t Count(const char* statement);
  // Reloads the bans when their counter in the database moved.
  bool RefreshBans(TPgConnectionPool::TLease& lease, TPgDeadline deadline);

  TPgConnectionPool pool_;
  std::atomic<uint32_t> issuedSincePurge_{0};
};

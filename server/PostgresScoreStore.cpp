#include "PostgresScoreStore.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <limits>
#include <vector>

#include "DatabaseLocation.h"
#include "PgQuery.h"
#include "StoreSchema.h"

namespace {

// Prepared on every connection: name, text.
constexpr std::pair<const char*, const char*> kStatements[] = {
    {"issue", "INSERT INTO challenges(p, issued, address) VALUES($1, $2, $3)"},
    // Locked rows are being consumed or purged by another process: skip them.
    {"purge",
     "DELETE FROM challenges WHERE p IN (SELECT p FROM challenges WHERE issued < $1"
     " LIMIT $2 FOR UPDATE SKIP LOCKED)"},
    // One statement: the challenge goes only if the result is stored, and
    // only while the bans are those this process checked against ($8, their
    // counter); when they moved, nothing happens and the caller looks again.
    {"submit",
     "WITH used AS (DELETE FROM challenges WHERE p = $1 AND issued BETWEEN $2 AND $3"
     " AND (SELECT generation FROM ban_state) = $8 RETURNING p)"
     " INSERT INTO results(name, player, score, challenge, submitted, address)"
     " SELECT $4, $5, $6, p, $7, $9 FROM used"},
    // A capped issue: the address's lock, then the count and the insert, in
    // one pipelined round trip and one transaction. The lock makes
    // count-then-insert exact across processes; the insert's own snapshot,
    // taken after the lock, sees what the holder before it committed.
    {"lockaddress", "SELECT pg_advisory_xact_lock(hashtextextended($1, 0))"},
    {"issuecapped",
     "INSERT INTO challenges(p, issued, address) SELECT $1, $2, $3"
     " WHERE (SELECT count(*) FROM challenges WHERE address = $3 AND issued >= $4) < $5"
     " RETURNING p"},
    {"top", kTopStatement},
    {"ranked", kRankedStatement},
    {"bangen", kBanGenerationStatement},
    {"bans", kActiveBansStatement},
    {"queue", kReplayQueueStatement},
    {"results", "SELECT count(*) FROM results"},
    {"challenges", "SELECT count(*) FROM challenges"},
    {"ping", "SELECT 1"},
};

// Enforced by the database itself, below the budget: a statement that waits on
// a lock or runs long is cancelled and its transaction rolled back, so the
// answer (503, nothing stored) is certain. The budget's own cut-off only bites
// when the database stops answering altogether.
constexpr const char* kSessionLimits = "SET statement_timeout = 1500; SET lock_timeout = 1000";
// Creating or upgrading the schema at start-up may wait for another process doing it.
constexpr auto kMigrateBudget = std::chrono::seconds(30);

bool HasPassword(const std::string& uri) {
  char* parseError = nullptr;
  PQconninfoOption* options = PQconninfoParse(uri.c_str(), &parseError);
  PQfreemem(parseError);
  bool found = false;
  for (PQconninfoOption* o = options; o && o->keyword; ++o) {
    if (std::strcmp(o->keyword, "password") == 0 && o->val && *o->val) found = true;
  }
  PQconninfoFree(options);
  return found;
}

}  // namespace

TPostgresScoreStore::TPostgresScoreStore(const std::string& uri, int connections)
    : pool_(uri, connections, [](PGconn* conn, TPgDeadline deadline) {
        if (!PQsendQuery(conn, kSessionLimits)) return false;
        TPgResult limits(PgAwait(conn, deadline));
        if (PQresultStatus(limits.get()) != PGRES_COMMAND_OK) return false;
        for (const auto& [name, sql] : kStatements) {
          if (!PQsendPrepare(conn, name, sql, 0, nullptr)) return false;
          TPgResult prepared(PgAwait(conn, deadline));
          if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) return false;
        }
        return true;
      }) {}

std::unique_ptr<TPostgresScoreStore> TPostgresScoreStore::Open(const std::string& uri,
                                                               int connections,
                                                               std::string& error) {
  // ParseDatabaseLocation has vetted it; this is the last guard, and says no more.
  char* parseError = nullptr;
  PQconninfoOption* parsed = PQconninfoParse(uri.c_str(), &parseError);
  PQfreemem(parseError);
  if (!parsed) {
    error = "bad PostgreSQL connection string";
    return nullptr;
  }
  PQconninfoFree(parsed);
  if (HasPassword(uri)) {
    error =
        "the PostgreSQL connection string carries a password; put it in PGPASSFILE or "
        "PGPASSWORD instead";
    return nullptr;
  }
  std::unique_ptr<TPostgresScoreStore> store(new TPostgresScoreStore(uri, connections));
  if (!store->Migrate(error)) {
    error = "database " + RedactPasswords(uri) + ": " + error;
    return nullptr;
  }
  return store;
}

bool TPostgresScoreStore::Migrate(std::string& error) {
  // Creating the schema needs no prepared statements: use a bare connection.
  TPgConnectionPool setup(pool_.Conninfo(), 1, nullptr);
  const TPgDeadline deadline = std::chrono::steady_clock::now() + kMigrateBudget;
  auto lease = setup.Acquire(error, deadline);
  if (!lease) {
    error = "cannot connect: " + error;
    return false;
  }
  auto fail = [&](const TQuery& q) {
    error = "cannot create or upgrade the schema: " +
            std::string(q.Result ? PQresultErrorMessage(q.Result.get()) : "out of memory");
    while (!error.empty() && error.back() == '\n') error.pop_back();
    if (lease) RunText(lease, "ROLLBACK", deadline);
    return false;
  };
  // Several processes may start at once: one creates, the others wait and see it.
  for (const char* step : {"BEGIN", "SELECT pg_advisory_xact_lock(7431, 1)",
                           "CREATE TABLE IF NOT EXISTS schema_version(version INTEGER NOT NULL)"}) {
    TQuery q = RunText(lease, step, deadline);
    if (q.State != TRun::Ok) return fail(q);
  }
  TQuery found = RunText(lease, "SELECT coalesce(max(version), 0) FROM schema_version", deadline);
  if (found.State != TRun::Ok) return fail(found);
  const int64_t version = Number(found.Result.get(), 0, 0);
  if (version > kSchemaVersion) {
    RunText(lease, "ROLLBACK", deadline);
    error = NewerSchemaMessage(version);
    return false;
  }
  const std::vector<std::string> steps =
      version < kSchemaVersion ? SchemaSteps(TSqlDialect::Postgres, static_cast<int>(version))
                               : std::vector<std::string>();
  for (const std::string& step : steps) {
    TQuery q = RunText(lease, step, deadline);
    if (q.State != TRun::Ok) return fail(q);
  }
  TQuery commit = RunText(lease, "COMMIT", deadline);
  return commit.State == TRun::Ok || fail(commit);
}

TIssuedChallenge TPostgresScoreStore::IssueChallenge(const std::string& address, int64_t now,
                                                     int64_t lifetimeSeconds, int maxOpen) {
  // A connection that broke before the challenge was handed out costs nothing
  // but an unused row that expires: try again on a fresh one.
  const TPgDeadline deadline = CallDeadline();
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string error;
    auto lease = pool_.Acquire(error, deadline);
    if (!lease) return {TIssueOutcome::Unavailable, {}};
    if (++issuedSincePurge_ % kPurgeInterval == 0) {
      Run(lease, "purge", {std::to_string(now - lifetimeSeconds), std::to_string(kPurgeBatch)},
          deadline);
      if (!lease) continue;
    }
    std::string p = NewChallenge();
    TQuery q;
    if (maxOpen <= 0) {
      q = Run(lease, "issue", {p, std::to_string(now), address}, deadline);
    } else {
      std::vector<TQuery> steps =
          RunPipeline(lease,
                      {{"lockaddress", nullptr, {address}},
                       {"issuecapped",
                        nullptr,
                        {p, std::to_string(now), address, std::to_string(now - lifetimeSeconds),
                         std::to_string(maxOpen)}}},
                      deadline);
      if (!lease) continue;
      q = steps[0].State != TRun::Ok ? std::move(steps[0]) : std::move(steps[1]);
    }
    if (q.State == TRun::Lost) continue;
    if (q.State == TRun::Refused) continue;  // a clash of p: astronomically rare
    if (maxOpen > 0 && PQntuples(q.Result.get()) == 0) return {TIssueOutcome::TooMany, {}};
    return {TIssueOutcome::Stored, std::move(p)};
  }
  return {TIssueOutcome::Unavailable, {}};
}

bool TPostgresScoreStore::RefreshBans(TPgConnectionPool::TLease& lease, TPgDeadline deadline) {
  const TQuery generation = Run(lease, "bangen", {}, deadline);
  if (generation.State != TRun::Ok || PQntuples(generation.Result.get()) != 1) return false;
  const int64_t now = Number(generation.Result.get(), 0, 0);
  if (now == bans_.Generation()) return true;
  const TQuery all = Run(lease, "bans", {}, deadline);
  if (all.State != TRun::Ok) return false;
  std::vector<TBanRule> rules;
  for (int i = 0; i < PQntuples(all.Result.get()); ++i) {
    std::string ignored;
    auto rule = MakeBanRule(PQgetvalue(all.Result.get(), i, 0), PQgetvalue(all.Result.get(), i, 1),
                            ignored);
    if (rule) rules.push_back(std::move(*rule));
  }
  bans_.Replace(now, std::move(rules));
  return true;
}

TSubmitOutcome TPostgresScoreStore::Submit(const TSubmittedResult& result,
                                           const std::string& address, int64_t now,
                                           int64_t lifetimeSeconds) {
  const TPgDeadline deadline = CallDeadline();
  std::string error;
  auto lease = pool_.Acquire(error, deadline);
  if (!lease) return TSubmitOutcome::Unavailable;
  // The bans as last read; the statement itself checks they are still those.
  if (bans_.Generation() < 0 && !RefreshBans(lease, deadline)) {
    return lease ? TSubmitOutcome::Failed : TSubmitOutcome::Unavailable;
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (bans_.Refuses(result.Name, result.PlayerName, address)) {
      // Refused by the bans as last read: make sure they are still in force.
      const int64_t seen = bans_.Generation();
      if (!RefreshBans(lease, deadline)) {
        return lease ? TSubmitOutcome::Failed : TSubmitOutcome::Unavailable;
      }
      if (bans_.Generation() == seen || bans_.Refuses(result.Name, result.PlayerName, address)) {
        return TSubmitOutcome::Banned;
      }
    }
    const int64_t generation = bans_.Generation();
    // In a transaction of its own, so that a statement cut off by the deadline
    // (the database stopped answering) can never commit later: only COMMIT
    // does. Never retried: after a connection broke during COMMIT the result
    // may or may not be in, and only a consumed p tells; the client hears 503.
    // BEGIN and the statement go in one round trip.
    std::vector<TQuery> steps =
        RunPipeline(lease,
                    {{nullptr, "BEGIN", {}},
                     {"submit",
                      nullptr,
                      {result.Challenge, std::to_string(now - lifetimeSeconds), std::to_string(now),
                       result.Name, result.PlayerName, std::to_string(result.Score),
                       std::to_string(now), std::to_string(generation), address}}},
                    deadline);
    if (!lease) return TSubmitOutcome::Unavailable;
    if (steps[0].State == TRun::Refused) {
      RunText(lease, "ROLLBACK", deadline);
      return TSubmitOutcome::Failed;
    }
    const TQuery q = std::move(steps[1]);
    if (q.State == TRun::Lost) return TSubmitOutcome::Unavailable;
    const bool stored = q.State == TRun::Ok && std::strcmp(PQcmdTuples(q.Result.get()), "1") == 0;
    if (stored) {
      const TQuery commit = RunText(lease, "COMMIT", deadline);
      if (commit.State == TRun::Lost) return TSubmitOutcome::Unavailable;
      if (commit.State == TRun::Refused) return TSubmitOutcome::Failed;
      return TSubmitOutcome::Stored;
    }
    // A refused statement (a lock or statement time-out), an unknown p, or
    // bans that moved: nothing kept.
    RunText(lease, "ROLLBACK", deadline);
    if (!lease) return TSubmitOutcome::Unavailable;
    if (q.State == TRun::Refused) return TSubmitOutcome::Failed;
    if (!RefreshBans(lease, deadline)) {
      return lease ? TSubmitOutcome::Failed : TSubmitOutcome::Unavailable;
    }
    if (bans_.Generation() == generation) return TSubmitOutcome::BadChallenge;
  }
  return TSubmitOutcome::Failed;
}

TScoreSlice TPostgresScoreStore::Top(TScorePeriod period, int64_t now, int64_t offset, int limit) {
  const std::string since = std::to_string(PeriodStart(period, now));
  const TPageBounds page = ClampPage(offset, limit);
  const TPgDeadline deadline = CallDeadline();
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string error;
    auto lease = pool_.Acquire(error, deadline);
    if (!lease) return {};
    const std::string all = RankAll() ? "1" : "0";
    const TQuery count = Run(lease, "ranked", {since, std::to_string(kMaxRanked), all}, deadline);
    if (count.State == TRun::Lost) continue;
    if (count.State != TRun::Ok) return {};
    TScoreSlice slice;
    slice.Total = Number(count.Result.get(), 0, 0);
    if (page.Rows > 0) {
      const TQuery top =
          Run(lease, "top", {since, std::to_string(page.Rows), std::to_string(page.Offset), all},
              deadline);
      if (top.State == TRun::Lost) continue;
      if (top.State != TRun::Ok) return {};
      const PGresult* r = top.Result.get();
      for (int i = 0; i < PQntuples(r); ++i) {
        slice.Rows.push_back({PQgetvalue(r, i, 0), PQgetvalue(r, i, 1),
                              static_cast<int32_t>(Number(r, i, 2)), Number(r, i, 3),
                              page.Offset + i + 1, Number(r, i, 4)});
      }
    }
    slice.Available = true;
    return slice;
  }
  return {};
}

int64_t TPostgresScoreStore::Count(const char* statement) {
  const TPgDeadline deadline = CallDeadline();
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string error;
    auto lease = pool_.Acquire(error, deadline);
    if (!lease) return -1;
    const TQuery q = Run(lease, statement, {}, deadline);
    if (q.State == TRun::Lost) continue;
    return q.State == TRun::Ok ? Number(q.Result.get(), 0, 0) : -1;
  }
  return -1;
}

bool TPostgresScoreStore::Healthy() {
  return Count("ping") == 1;
}

int64_t TPostgresScoreStore::ResultCount() {
  return Count("results");
}

int64_t TPostgresScoreStore::OpenChallengeCount() {
  return Count("challenges");
}

TReplayQueue TPostgresScoreStore::ReplayQueue() {
  const TPgDeadline deadline = CallDeadline();
  std::string error;
  auto lease = pool_.Acquire(error, deadline);
  if (!lease) return {};
  const TQuery q = Run(lease, "queue", {}, deadline);
  if (q.State != TRun::Ok || PQntuples(q.Result.get()) != 1) return {};
  return {true, Number(q.Result.get(), 0, 0), Number(q.Result.get(), 0, 1)};
}

int TPostgresScoreStore::ConnectionsInUse() {
  return pool_.InUse();
}

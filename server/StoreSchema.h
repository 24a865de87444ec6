#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ScoreStore.h"

// What the two score stores share: the schema and its upgrade steps, the
// ranking statements, the period and page rules. Statements are written once
// with PostgreSQL's $N parameters; SqlFor turns them into SQLite's ?N.

enum class TSqlDialect : uint8_t { Sqlite, Postgres };

// The statements that bring a database of schema `version` (0: empty) up to
// TScoreStore::kSchemaVersion, in order, inside one transaction. Each is safe
// to run again on a database that already has what it adds.
std::vector<std::string> SchemaSteps(TSqlDialect dialect, int version);
// Why a database of a newer schema is refused.
std::string NewerSchemaMessage(int64_t version);
// `sql` with $N parameters as the dialect writes them.
std::string SqlFor(TSqlDialect dialect, const std::string& sql);

// The results a period lists start at this time (Unix seconds).
int64_t PeriodStart(TScorePeriod period, int64_t now);

// A page of the ranked table: from rank `Offset` + 1, `Rows` results (never
// past TScoreStore::kMaxRanked).
struct TPageBounds {
  int64_t Offset = 0;
  int64_t Rows = 0;
};
TPageBounds ClampPage(int64_t offset, int limit);

// A result is ranked when it is shown (neither removed nor under a ban) and
// its replay was verified, or ($N = 1) every shown result is.
// Parameters: $1 period start, $2 rows, $3 offset, $4 rank all (1 or 0).
inline constexpr const char* kTopStatement =
    "SELECT r.name, r.player, r.score, r.submitted, coalesce(p.id, 0) FROM results r"
    " LEFT JOIN replays p ON p.result_id = r.id"
    " WHERE r.submitted >= $1 AND r.removed = '' AND r.ban_id = 0"
    " AND ($4 = 1 OR p.status = 'verified')"
    " ORDER BY r.score DESC, r.id LIMIT $2 OFFSET $3";
// Parameters: $1 period start, $2 the cap, $3 rank all (1 or 0).
inline constexpr const char* kRankedStatement =
    "SELECT count(*) FROM (SELECT 1 FROM results r LEFT JOIN replays p ON p.result_id = r.id"
    " WHERE r.submitted >= $1 AND r.removed = '' AND r.ban_id = 0"
    " AND ($3 = 1 OR p.status = 'verified') LIMIT $2) AS ranked";
// Shown results since $1 that are not ranked (no replay, pending, rejected),
// newest first, at most $2.
inline constexpr const char* kUnsettledStatement =
    "SELECT r.name, r.player, r.score, r.submitted, coalesce(p.id, 0),"
    " coalesce(p.status, 'no replay'), coalesce(p.reason, '') FROM results r"
    " LEFT JOIN replays p ON p.result_id = r.id"
    " WHERE r.submitted >= $1 AND r.removed = '' AND r.ban_id = 0"
    " AND (p.id IS NULL OR p.status <> 'verified')"
    " ORDER BY r.submitted DESC, r.id DESC LIMIT $2";
// The bans in force, and the counter every ban and unban moves.
inline constexpr const char* kActiveBansStatement =
    "SELECT kind, value FROM bans WHERE lifted = 0 ORDER BY id";
inline constexpr const char* kBanGenerationStatement = "SELECT generation FROM ban_state";
// Pending replays and the upload time of the oldest (0 when none).
inline constexpr const char* kReplayQueueStatement =
    "SELECT count(*), coalesce(min(uploaded), 0) FROM replays WHERE status = 'pending'";

#include "StoreSchema.h"

#include <algorithm>
#include <limits>

namespace {

// {id}, {int64} and {blob} stand for the dialect's words.
// Version 1 is the layout from before the version table: no address column.
constexpr const char* kCreate =
    "CREATE TABLE results("
    "  id {id},"
    "  name TEXT NOT NULL,"
    "  player TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  challenge TEXT NOT NULL UNIQUE,"
    "  submitted {int64} NOT NULL);"
    "CREATE INDEX results_by_score ON results(score DESC, id);"
    "CREATE TABLE challenges("
    "  p TEXT PRIMARY KEY,"
    "  issued {int64} NOT NULL,"
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
    "  id {id},"
    "  result_id {int64} NOT NULL UNIQUE REFERENCES results(id),"
    "  data {blob} NOT NULL,"
    "  uploaded {int64} NOT NULL,"
    "  status TEXT NOT NULL DEFAULT 'pending',"
    "  reason TEXT NOT NULL DEFAULT '',"
    "  lease_owner TEXT NOT NULL DEFAULT '',"
    "  lease_until {int64} NOT NULL DEFAULT 0,"
    "  attempts INTEGER NOT NULL DEFAULT 0,"
    "  verifications INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX IF NOT EXISTS replays_by_status ON replays(status, id);";
// Version 4: moderation. A result keeps the address it came from, the reason
// it was removed ('' while shown) and the ban that hides it (0: none); bans
// and their counter; the audit trail of every admin action.
constexpr const char* kModerationOf4 =
    "CREATE TABLE IF NOT EXISTS bans("
    "  id {id},"
    "  kind TEXT NOT NULL,"
    "  value TEXT NOT NULL,"
    "  reason TEXT NOT NULL,"
    "  created {int64} NOT NULL,"
    "  lifted {int64} NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS ban_state(generation {int64} NOT NULL);"
    "INSERT INTO ban_state SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM ban_state);"
    "CREATE TABLE IF NOT EXISTS audit("
    "  id {id},"
    "  at {int64} NOT NULL,"
    "  action TEXT NOT NULL,"
    "  target TEXT NOT NULL,"
    "  reason TEXT NOT NULL,"
    "  actor TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS results_by_ban ON results(ban_id) WHERE ban_id <> 0;";
constexpr const char* kResultColumnsOf4[] = {
    "address TEXT NOT NULL DEFAULT ''",
    "removed TEXT NOT NULL DEFAULT ''",
    "ban_id {int64} NOT NULL DEFAULT 0",
};
// The audit trail is append-only, enforced by the database itself.
constexpr const char* kAuditGuardSqlite =
    "CREATE TRIGGER IF NOT EXISTS audit_no_update BEFORE UPDATE ON audit"
    " BEGIN SELECT RAISE(ABORT, 'the audit trail is append-only'); END;"
    "CREATE TRIGGER IF NOT EXISTS audit_no_delete BEFORE DELETE ON audit"
    " BEGIN SELECT RAISE(ABORT, 'the audit trail is append-only'); END;";
constexpr const char* kAuditGuardPostgres =
    "CREATE OR REPLACE FUNCTION audit_append_only() RETURNS trigger LANGUAGE plpgsql AS"
    " $$BEGIN RAISE EXCEPTION 'the audit trail is append-only'; END$$;"
    "CREATE OR REPLACE TRIGGER audit_no_change BEFORE UPDATE OR DELETE ON audit"
    " FOR EACH ROW EXECUTE FUNCTION audit_append_only();"
    "CREATE OR REPLACE TRIGGER audit_no_truncate BEFORE TRUNCATE ON audit"
    " FOR EACH STATEMENT EXECUTE FUNCTION audit_append_only();";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string InDialect(TSqlDialect dialect, const std::string& text) {
  const bool pg = dialect == TSqlDialect::Postgres;
  return Replace(
      Replace(Replace(text, "{id}", pg ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY"),
              "{int64}", pg ? "BIGINT" : "INTEGER"),
      "{blob}", pg ? "BYTEA" : "BLOB");
}

}  // namespace

std::vector<std::string> SchemaSteps(TSqlDialect dialect, int version) {
  const bool pg = dialect == TSqlDialect::Postgres;
  std::vector<std::string> steps;
  if (version == 0) steps.push_back(InDialect(dialect, kCreate));
  // PostgreSQL databases start at version 2.
  if (version == 1 && !pg) steps.emplace_back(kUpgradeFrom1);
  if (version < 3) {
    steps.emplace_back(kIndexesOf2);
    steps.push_back(InDialect(dialect, kReplaysOf3));
  }
  if (version < 4) {
    for (const char* column : kResultColumnsOf4) {
      // SQLite has no IF NOT EXISTS here: the store skips a column it already has.
      steps.push_back(InDialect(dialect, std::string("ALTER TABLE results ADD COLUMN ") +
                                             (pg ? "IF NOT EXISTS " : "") + column));
    }
    steps.push_back(InDialect(dialect, kModerationOf4));
    steps.emplace_back(pg ? kAuditGuardPostgres : kAuditGuardSqlite);
  }
  steps.emplace_back("DELETE FROM schema_version");
  steps.push_back("INSERT INTO schema_version VALUES(" +
                  std::to_string(TScoreStore::kSchemaVersion) + ")");
  return steps;
}

std::string NewerSchemaMessage(int64_t version) {
  return "its schema version " + std::to_string(version) + " is newer than this server knows (" +
         std::to_string(TScoreStore::kSchemaVersion) + "); run a newer tidal-lynx-scores";
}

std::string SqlFor(TSqlDialect dialect, const std::string& sql) {
  if (dialect == TSqlDialect::Postgres) return sql;
  std::string out = sql;
  for (size_t i = 0; i + 1 < out.size(); ++i) {
    if (out[i] == '$' && out[i + 1] >= '1' && out[i + 1] <= '9') out[i] = '?';
  }
  return out;
}

int64_t PeriodStart(TScorePeriod period, int64_t now) {
  return period == TScorePeriod::Week ? now - TScoreStore::kWeekSeconds
                                      : std::numeric_limits<int64_t>::min();
}

TPageBounds ClampPage(int64_t offset, int limit) {
  TPageBounds page;
  page.Offset = std::max<int64_t>(offset, 0);
  page.Rows = std::max<int64_t>(
      std::min<int64_t>(std::max(limit, 0), TScoreStore::kMaxRanked - page.Offset), 0);
  return page;
}

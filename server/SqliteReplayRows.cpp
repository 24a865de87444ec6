// The replay rows of the SQLite score store: upload, status, the verifier's
// claim and its final mark. One worker per process uses the claim, but the
// lease makes it safe for another process on the same file too.

#include <sqlite3.h>

#include <chrono>
#include <memory>

#include "SqliteScoreStore.h"
#include "StoreSchema.h"

namespace {

struct TFinalize {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using TStatement = std::unique_ptr<sqlite3_stmt, TFinalize>;

TStatement PrepareOnce(sqlite3* db, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return nullptr;
  }
  return TStatement(stmt);
}

void Bind(sqlite3_stmt* stmt, int index, const std::string& text) {
  sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string Text(sqlite3_stmt* stmt, int column) {
  const auto* text = sqlite3_column_text(stmt, column);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<size_t>(sqlite3_column_bytes(stmt, column)))
              : std::string();
}

std::vector<uint8_t> Blob(sqlite3_stmt* stmt, int column) {
  const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(stmt, column));
  return bytes ? std::vector<uint8_t>(bytes, bytes + sqlite3_column_bytes(stmt, column))
               : std::vector<uint8_t>();
}

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TReplayUpload TSqliteScoreStore::AddReplay(const std::string& p, const std::vector<uint8_t>& data,
                                           int64_t now) {
  std::lock_guard lock(mutex_);
  TStatement find =
      PrepareOnce(db_,
                  "SELECT r.id, EXISTS(SELECT 1 FROM replays WHERE result_id = r.id) FROM results r"
                  " WHERE r.challenge = ?1");
  if (!find) return {};
  Bind(find.get(), 1, p);
  const int step = sqlite3_step(find.get());
  if (step == SQLITE_DONE) return {TReplayUploadOutcome::UnknownResult, 0};
  if (step != SQLITE_ROW) return {};
  if (sqlite3_column_int(find.get(), 1) != 0) return {TReplayUploadOutcome::AlreadyUploaded, 0};
  const int64_t resultId = sqlite3_column_int64(find.get(), 0);
  TStatement insert =
      PrepareOnce(db_, "INSERT INTO replays(result_id, data, uploaded) VALUES(?1, ?2, ?3)");
  if (!insert) return {};
  sqlite3_bind_int64(insert.get(), 1, resultId);
  sqlite3_bind_blob(insert.get(), 2, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(insert.get(), 3, now);
  const int inserted = sqlite3_step(insert.get());
  // Another process on the same file may have stored one in between.
  if (inserted == SQLITE_CONSTRAINT) return {TReplayUploadOutcome::AlreadyUploaded, 0};
  if (inserted != SQLITE_DONE) return {};
  return {TReplayUploadOutcome::Stored, sqlite3_last_insert_rowid(db_)};
}

TReplayInfo TSqliteScoreStore::Replay(int64_t id, bool withData) {
  std::lock_guard lock(mutex_);
  TReplayInfo info;
  TStatement select = PrepareOnce(
      db_,
      "SELECT p.status, p.reason, r.name, r.score, p.uploaded, p.verifications,"
      " CASE WHEN ?2 THEN p.data END FROM replays p JOIN results r ON r.id = p.result_id"
      " WHERE p.id = ?1");
  if (!select) {
    info.Available = false;
    return info;
  }
  sqlite3_bind_int64(select.get(), 1, id);
  sqlite3_bind_int(select.get(), 2, withData ? 1 : 0);
  const int step = sqlite3_step(select.get());
  if (step != SQLITE_ROW) {
    info.Available = step == SQLITE_DONE;
    return info;
  }
  info.Found = true;
  info.Id = id;
  info.Status = Text(select.get(), 0);
  info.Reason = Text(select.get(), 1);
  info.Name = Text(select.get(), 2);
  info.Score = static_cast<int32_t>(sqlite3_column_int64(select.get(), 3));
  info.Uploaded = sqlite3_column_int64(select.get(), 4);
  info.Verifications = sqlite3_column_int64(select.get(), 5);
  if (withData) info.Data = Blob(select.get(), 6);
  return info;
}

std::optional<TReplayClaim> TSqliteScoreStore::ClaimReplay(const std::string& owner,
                                                           int64_t leaseMs) {
  std::lock_guard lock(mutex_);
  const int64_t now = NowMs();
  if (!Exec("BEGIN IMMEDIATE")) return std::nullopt;
  TStatement pick =
      PrepareOnce(db_,
                  "SELECT p.id, p.data, r.name, r.player, r.score FROM replays p"
                  " JOIN results r ON r.id = p.result_id"
                  " WHERE p.status = 'pending' AND p.lease_until < ?1 ORDER BY p.id LIMIT 1");
  std::optional<TReplayClaim> claim;
  if (pick) {
    sqlite3_bind_int64(pick.get(), 1, now);
    if (sqlite3_step(pick.get()) == SQLITE_ROW) {
      claim = TReplayClaim{sqlite3_column_int64(pick.get(), 0),
                           owner,
                           Blob(pick.get(), 1),
                           Text(pick.get(), 2),
                           Text(pick.get(), 3),
                           static_cast<int32_t>(sqlite3_column_int64(pick.get(), 4))};
    }
  }
  if (claim) {
    TStatement lease =
        PrepareOnce(db_,
                    "UPDATE replays SET lease_owner = ?2, lease_until = ?3, attempts = attempts + 1"
                    " WHERE id = ?1");
    bool leased = false;
    if (lease) {
      sqlite3_bind_int64(lease.get(), 1, claim->Id);
      Bind(lease.get(), 2, owner);
      sqlite3_bind_int64(lease.get(), 3, now + leaseMs);
      leased = sqlite3_step(lease.get()) == SQLITE_DONE;
    }
    if (!leased) claim.reset();
  }
  if (!claim || !Exec("COMMIT")) {
    Exec("ROLLBACK");
    return std::nullopt;
  }
  return claim;
}

bool TSqliteScoreStore::SettleReplay(const TReplayClaim& claim, bool verified,
                                     const std::string& reason) {
  std::lock_guard lock(mutex_);
  TStatement settle =
      PrepareOnce(db_,
                  "UPDATE replays SET status = ?3, reason = ?4, verifications = verifications + 1,"
                  " lease_until = 0 WHERE id = ?1 AND status = 'pending' AND lease_owner = ?2");
  if (!settle) return false;
  sqlite3_bind_int64(settle.get(), 1, claim.Id);
  Bind(settle.get(), 2, claim.Owner);
  Bind(settle.get(), 3, verified ? kReplayVerified : kReplayRejected);
  Bind(settle.get(), 4, reason);
  return sqlite3_step(settle.get()) == SQLITE_DONE && sqlite3_changes(db_) == 1;
}

std::vector<TUnsettledRow> TSqliteScoreStore::Unsettled(int64_t since, int limit) {
  std::lock_guard lock(mutex_);
  std::vector<TUnsettledRow> rows;
  TStatement select = PrepareOnce(db_, SqlFor(TSqlDialect::Sqlite, kUnsettledStatement).c_str());
  if (!select) return rows;
  sqlite3_bind_int64(select.get(), 1, since);
  sqlite3_bind_int(select.get(), 2, limit);
  while (sqlite3_step(select.get()) == SQLITE_ROW) {
    rows.push_back({Text(select.get(), 0), Text(select.get(), 1),
                    static_cast<int32_t>(sqlite3_column_int64(select.get(), 2)),
                    sqlite3_column_int64(select.get(), 3), sqlite3_column_int64(select.get(), 4),
                    Text(select.get(), 5), Text(select.get(), 6)});
  }
  return rows;
}

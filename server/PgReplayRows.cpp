// The replay rows of the PostgreSQL score store. Every server process runs
// verifier workers against the same table: a claim takes the oldest free
// pending replay with FOR UPDATE SKIP LOCKED and leases it on the database's
// clock, so a killed worker's replay is free again when its lease runs out,
// and the final mark is written only by the lease's holder while the replay
// is still pending: each replay is settled exactly once.

#include <libpq-fe.h>

#include <charconv>
#include <chrono>
#include <cstring>
#include <memory>

#include "PgQuery.h"
#include "PostgresScoreStore.h"
#include "StoreSchema.h"

namespace {

struct TParam {
  std::string Text;
  const std::vector<uint8_t>* Bytes = nullptr;  // sent as binary when set
};

// One statement with parameters; nothing when the connection or the
// statement failed or the deadline passed (a lost connection is dropped from
// the pool).
TPgResult Exec(TPgConnectionPool::TLease& lease, const char* sql, const std::vector<TParam>& params,
               TPgDeadline deadline) {
  std::vector<const char*> values;
  std::vector<int> lengths;
  std::vector<int> formats;
  for (const TParam& p : params) {
    values.push_back(p.Bytes ? reinterpret_cast<const char*>(p.Bytes->data()) : p.Text.c_str());
    lengths.push_back(p.Bytes ? static_cast<int>(p.Bytes->size()) : 0);
    formats.push_back(p.Bytes ? 1 : 0);
  }
  if (!PQsendQueryParams(*lease, sql, static_cast<int>(params.size()), nullptr, values.data(),
                         lengths.data(), formats.data(), 0)) {
    lease.Discard();
    return nullptr;
  }
  TPgResult result(PgAwait(*lease, deadline));
  if (!result) {
    lease.Discard();
    return nullptr;
  }
  const ExecStatusType status = PQresultStatus(result.get());
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  if (PgConnectionLost(*lease, result.get())) lease.Discard();
  return nullptr;
}

std::vector<uint8_t> Bytes(const PGresult* result, int row, int column) {
  size_t size = 0;
  unsigned char* raw = PQunescapeBytea(
      reinterpret_cast<const unsigned char*>(PQgetvalue(result, row, column)), &size);
  if (!raw) return {};
  std::vector<uint8_t> out(raw, raw + size);
  PQfreemem(raw);
  return out;
}

constexpr const char* kNowMs = "(extract(epoch FROM clock_timestamp()) * 1000)::bigint";

}  // namespace

TReplayUpload TPostgresScoreStore::AddReplay(const std::string& p, const std::vector<uint8_t>& data,
                                             int64_t now) {
  std::string error;
  const TPgDeadline deadline = CallDeadline();
  auto lease = pool_.Acquire(error, deadline);
  if (!lease) return {};
  const TPgResult stored =
      Exec(lease,
           "INSERT INTO replays(result_id, data, uploaded) SELECT id, $2, $3 FROM results"
           " WHERE challenge = $1 ON CONFLICT (result_id) DO NOTHING RETURNING id",
           {{p}, {{}, &data}, {std::to_string(now)}}, deadline);
  if (!stored) return {};
  if (PQntuples(stored.get()) == 1) {
    return {TReplayUploadOutcome::Stored, Number(stored.get(), 0, 0)};
  }
  const TPgResult known =
      Exec(lease, "SELECT count(*) FROM results WHERE challenge = $1", {{p}}, deadline);
  if (!known) return {};
  return {Number(known.get(), 0, 0) > 0 ? TReplayUploadOutcome::AlreadyUploaded
                                        : TReplayUploadOutcome::UnknownResult,
          0};
}

TReplayInfo TPostgresScoreStore::Replay(int64_t id, bool withData) {
  TReplayInfo info;
  std::string error;
  const TPgDeadline deadline = CallDeadline();
  auto lease = pool_.Acquire(error, deadline);
  const TPgResult row =
      lease ? Exec(lease,
                   "SELECT p.status, p.reason, r.name, r.score, p.uploaded, p.verifications,"
                   " CASE WHEN $2::boolean THEN p.data END FROM replays p"
                   " JOIN results r ON r.id = p.result_id WHERE p.id = $1",
                   {{std::to_string(id)}, {withData ? "true" : "false"}}, deadline)
            : nullptr;
  if (!row) {
    info.Available = false;
    return info;
  }
  if (PQntuples(row.get()) != 1) return info;
  const PGresult* r = row.get();
  info.Found = true;
  info.Id = id;
  info.Status = PQgetvalue(r, 0, 0);
  info.Reason = PQgetvalue(r, 0, 1);
  info.Name = PQgetvalue(r, 0, 2);
  info.Score = static_cast<int32_t>(Number(r, 0, 3));
  info.Uploaded = Number(r, 0, 4);
  info.Verifications = Number(r, 0, 5);
  if (withData) info.Data = Bytes(r, 0, 6);
  return info;
}

std::optional<TReplayClaim> TPostgresScoreStore::ClaimReplay(const std::string& owner,
                                                             int64_t leaseMs) {
  std::string error;
  const TPgDeadline deadline = CallDeadline();
  auto lease = pool_.Acquire(error, deadline);
  if (!lease) return std::nullopt;
  const std::string now = kNowMs;
  const std::string sql =
      "WITH picked AS (SELECT id FROM replays WHERE status = 'pending' AND lease_until < " + now +
      " ORDER BY id LIMIT 1 FOR UPDATE SKIP LOCKED),"
      " claimed AS (UPDATE replays p SET lease_owner = $1, lease_until = " +
      now +
      " + $2, attempts = p.attempts + 1 FROM picked WHERE p.id = picked.id"
      " RETURNING p.id, p.result_id, p.data)"
      " SELECT c.id, c.data, r.name, r.player, r.score FROM claimed c"
      " JOIN results r ON r.id = c.result_id";
  const TPgResult row = Exec(lease, sql.c_str(), {{owner}, {std::to_string(leaseMs)}}, deadline);
  if (!row || PQntuples(row.get()) != 1) return std::nullopt;
  const PGresult* r = row.get();
  return TReplayClaim{Number(r, 0, 0),     owner,
                      Bytes(r, 0, 1),      PQgetvalue(r, 0, 2),
                      PQgetvalue(r, 0, 3), static_cast<int32_t>(Number(r, 0, 4))};
}

bool TPostgresScoreStore::SettleReplay(const TReplayClaim& claim, bool verified,
                                       const std::string& reason) {
  std::string error;
  const TPgDeadline deadline = CallDeadline();
  auto lease = pool_.Acquire(error, deadline);
  if (!lease) return false;
  const TPgResult done =
      Exec(lease,
           "UPDATE replays SET status = $3, reason = $4, verifications = verifications + 1,"
           " lease_until = 0 WHERE id = $1 AND status = 'pending' AND lease_owner = $2",
           {{std::to_string(claim.Id)},
            {claim.Owner},
            {verified ? kReplayVerified : kReplayRejected},
            {reason}},
           deadline);
  return done && std::strcmp(PQcmdTuples(done.get()), "1") == 0;
}

std::vector<TUnsettledRow> TPostgresScoreStore::Unsettled(int64_t since, int limit) {
  std::vector<TUnsettledRow> rows;
  std::string error;
  const TPgDeadline deadline = CallDeadline();
  auto lease = pool_.Acquire(error, deadline);
  if (!lease) return rows;
  const TPgResult found = Exec(lease, kUnsettledStatement,
                               {{std::to_string(since)}, {std::to_string(limit)}}, deadline);
  if (!found) return rows;
  const PGresult* r = found.get();
  for (int i = 0; i < PQntuples(r); ++i) {
    rows.push_back({PQgetvalue(r, i, 0), PQgetvalue(r, i, 1), static_cast<int32_t>(Number(r, i, 2)),
                    Number(r, i, 3), Number(r, i, 4), PQgetvalue(r, i, 5), PQgetvalue(r, i, 6)});
  }
  return rows;
}

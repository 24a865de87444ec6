#include "PgQuery.h"

#include <libpq-fe.h>

#include <charconv>
#include <cstring>

void TPgResultFree::operator()(PGresult* result) const {
  PQclear(result);
}

TPgDeadline CallDeadline() {
  return std::chrono::steady_clock::now() + kPgCallBudget;
}

// Sorts a statement's result: done, refused by the database, or lost with its
// connection (which is then dropped from the pool).
TQuery Classify(TPgConnectionPool::TLease& lease, PGresult* result) {
  TQuery query;
  query.Result.reset(result);
  const ExecStatusType status = PQresultStatus(result);
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
    query.State = TRun::Ok;
  } else if (PgConnectionLost(*lease, result)) {
    lease.Discard();
  } else {
    query.State = TRun::Refused;
  }
  return query;
}

// Runs a prepared statement on a leased connection, within `deadline`.
TQuery Run(TPgConnectionPool::TLease& lease, const char* name,
           const std::vector<std::string>& params, TPgDeadline deadline) {
  std::vector<const char*> values;
  for (const std::string& p : params) values.push_back(p.c_str());
  if (!PQsendQueryPrepared(*lease, name, static_cast<int>(values.size()), values.data(), nullptr,
                           nullptr, 0)) {
    return Classify(lease, nullptr);
  }
  return Classify(lease, PgAwait(*lease, deadline));
}

// Runs a plain (unprepared, possibly multi-statement) text; same outcomes.
TQuery RunText(TPgConnectionPool::TLease& lease, const std::string& sql, TPgDeadline deadline) {
  if (!PQsendQuery(*lease, sql.c_str())) return Classify(lease, nullptr);
  return Classify(lease, PgAwait(*lease, deadline));
}

std::vector<TQuery> RunPipeline(TPgConnectionPool::TLease& lease, const std::vector<TStep>& steps,
                                TPgDeadline deadline) {
  std::vector<TQuery> queries(steps.size());
  bool sent = PQenterPipelineMode(*lease) == 1;
  for (const TStep& step : steps) {
    if (!sent) break;
    std::vector<const char*> values;
    for (const std::string& p : step.Params) values.push_back(p.c_str());
    sent =
        step.Prepared
            ? PQsendQueryPrepared(*lease, step.Prepared, static_cast<int>(values.size()),
                                  values.data(), nullptr, nullptr, 0) == 1
            : PQsendQueryParams(*lease, step.Text, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
  }
  std::vector<PGresult*> results;
  if (sent && PQpipelineSync(*lease) == 1) {
    results = PgAwaitPipeline(*lease, steps.size(), deadline);
  }
  if (results.size() != steps.size()) {
    for (PGresult* r : results) PQclear(r);
    lease.Discard();
    return queries;
  }
  for (size_t i = 0; i < steps.size(); ++i) {
    queries[i] = Classify(lease, results[i]);
    if (!lease) break;
  }
  return queries;
}

int64_t Number(const PGresult* result, int row, int column) {
  const char* text = PQgetvalue(result, row, column);
  int64_t value = 0;
  std::from_chars(text, text + std::strlen(text), value);
  return value;
}

#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PgConnectionPool.h"

struct pg_result;
using PGresult = pg_result;

// Running statements on a leased PostgreSQL connection within a deadline,
// shared by the score store's files.

// What one store call may take in all: waiting for a connection, connecting,
// and its statements. The request deadline is longer, so the client always
// hears whether its result was stored.
inline constexpr auto kPgCallBudget = std::chrono::milliseconds(2500);
TPgDeadline CallDeadline();

struct TPgResultFree {
  void operator()(PGresult* result) const;
};
using TPgResult = std::unique_ptr<PGresult, TPgResultFree>;

enum class TRun : uint8_t { Ok, Refused, Lost };

struct TQuery {
  TRun State = TRun::Lost;
  TPgResult Result;
};

// Sorts a statement's result: done, refused by the database, or lost with its
// connection (which is then dropped from the pool).
TQuery Classify(TPgConnectionPool::TLease& lease, PGresult* result);
// Runs a prepared statement with text parameters.
TQuery Run(TPgConnectionPool::TLease& lease, const char* name,
           const std::vector<std::string>& params, TPgDeadline deadline);
// Runs a plain (unprepared, possibly multi-statement) text; same outcomes.
TQuery RunText(TPgConnectionPool::TLease& lease, const std::string& sql, TPgDeadline deadline);

// One step of a pipeline: a prepared statement, or (no name) a plain text
// without parameters.
struct TStep {
  const char* Prepared = nullptr;
  const char* Text = nullptr;
  std::vector<std::string> Params;
};
// Sends the steps in pipeline mode and syncs: one round trip. Outside an
// explicit transaction they run in one implicit transaction, committed by the
// sync; after BEGIN it stays open. Every step's outcome, each Lost when the
// round trip failed (the connection is then dropped).
std::vector<TQuery> RunPipeline(TPgConnectionPool::TLease& lease, const std::vector<TStep>& steps,
                                TPgDeadline deadline);

// A column of a result as a number (0 when it is not one).
int64_t Number(const PGresult* result, int row, int column);

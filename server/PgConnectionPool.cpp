#include "PgConnectionPool.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cstring>

namespace {

// After a failed connect, requests fail at once for a moment instead of each
// waiting on an unreachable database.
constexpr auto kReconnectPause = std::chrono::milliseconds(200);

// An idle connection has nothing to read; anything there is the server
// closing it (shut down, restarted, or the connection was terminated).
bool LooksAlive(PGconn* conn) {
  if (PQstatus(conn) != CONNECTION_OK) return false;
  pollfd fd{PQsocket(conn), POLLIN, 0};
  return fd.fd >= 0 && poll(&fd, 1, 0) == 0;
}

// Waits until `fd` is ready for `events` or `deadline` passes.
bool WaitFor(int fd, short events, TPgDeadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
  if (left <= 0 || fd < 0) return false;
  pollfd p{fd, events, 0};
  return poll(&p, 1, static_cast<int>(left)) > 0;
}

}  // namespace

PGresult* PgAwait(PGconn* conn, TPgDeadline deadline) {
  // Send all of the query first.
  while (true) {
    const int flushed = PQflush(conn);
    if (flushed == 0) break;
    if (flushed < 0 || !WaitFor(PQsocket(conn), POLLOUT | POLLIN, deadline)) return nullptr;
    if (!PQconsumeInput(conn)) return nullptr;
  }
  PGresult* kept = nullptr;
  while (true) {
    while (!PQisBusy(conn)) {
      PGresult* next = PQgetResult(conn);
      if (!next) return kept;
      if (kept && PQresultStatus(kept) == PGRES_FATAL_ERROR) {
        PQclear(next);
      } else {
        PQclear(kept);
        kept = next;
      }
    }
    if (!WaitFor(PQsocket(conn), POLLIN, deadline) || !PQconsumeInput(conn)) {
      PQclear(kept);
      return nullptr;
    }
  }
}

std::vector<PGresult*> PgAwaitPipeline(PGconn* conn, size_t count, TPgDeadline deadline) {
  std::vector<PGresult*> results(count, nullptr);
  const auto fail = [&results] {
    for (PGresult*& r : results) PQclear(r);
    return std::vector<PGresult*>();
  };
  while (true) {
    const int flushed = PQflush(conn);
    if (flushed == 0) break;
    if (flushed < 0 || !WaitFor(PQsocket(conn), POLLOUT | POLLIN, deadline)) return fail();
    if (!PQconsumeInput(conn)) return fail();
  }
  // Each statement's results end with a null; the sync ends the pipeline.
  size_t index = 0;
  while (true) {
    while (!PQisBusy(conn)) {
      PGresult* next = PQgetResult(conn);
      if (!next) {
        ++index;
        continue;
      }
      if (PQresultStatus(next) == PGRES_PIPELINE_SYNC) {
        PQclear(next);
        if (!PQexitPipelineMode(conn)) return fail();
        return results;
      }
      if (index < count && !results[index]) {
        results[index] = next;
      } else {
        PQclear(next);
      }
    }
    if (!WaitFor(PQsocket(conn), POLLIN, deadline) || !PQconsumeInput(conn)) return fail();
  }
}

bool PgConnectionLost(PGconn* conn, const PGresult* result) {
  if (PQstatus(conn) != CONNECTION_OK || !result) return true;
  const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  if (!state) return false;
  // Class 08: connection exception; 57P01-57P03: shutdown, crash, starting up.
  return std::strncmp(state, "08", 2) == 0 || std::strncmp(state, "57P0", 4) == 0;
}

TPgConnectionPool::TPgConnectionPool(std::string conninfo, int size,
                                     std::function<bool(PGconn*, TPgDeadline)> setup)
    : conninfo_(std::move(conninfo)), size_(size < 1 ? 1 : size), setup_(std::move(setup)) {}

TPgConnectionPool::~TPgConnectionPool() {
  for (PGconn* conn : idle_) PQfinish(conn);
}

PGconn* TPgConnectionPool::Connect(std::string& error, TPgDeadline deadline) {
  // Our defaults first: the caller's connection string overrides them.
  const char* keys[] = {"connect_timeout", "tcp_user_timeout", "application_name", "dbname",
                        nullptr};
  const char* values[] = {"5", "10000", "tidal-lynx-scores", conninfo_.c_str(), nullptr};
  PGconn* conn = PQconnectStartParams(keys, values, 1);
  // Connected without blocking, so a database that accepts the connection and
  // then says nothing costs the deadline, not libpq's own time-outs.
  PostgresPollingStatusType state = PGRES_POLLING_WRITING;
  while (conn && PQstatus(conn) != CONNECTION_BAD && state != PGRES_POLLING_OK &&
         state != PGRES_POLLING_FAILED) {
    if (!WaitFor(PQsocket(conn), state == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline)) {
      error = "the database did not answer in time";
      PQfinish(conn);
      return nullptr;
    }
    state = PQconnectPoll(conn);
  }
  if (!conn || PQstatus(conn) != CONNECTION_OK) {
    error = conn ? PQerrorMessage(conn) : "out of memory";
    while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) error.pop_back();
    PQfinish(conn);
    return nullptr;
  }
  PQsetnonblocking(conn, 1);
  // Notices ("already exists, skipping") are not for the server's output.
  PQsetNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);
  if (setup_ && !setup_(conn, deadline)) {
    error = PQerrorMessage(conn);
    if (error.empty()) error = "the database did not answer in time";
    while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) error.pop_back();
    PQfinish(conn);
    return nullptr;
  }
  return conn;
}

TPgConnectionPool::TLease TPgConnectionPool::Acquire(std::string& error, TPgDeadline deadline) {
  std::unique_lock lock(mutex_);
  while (true) {
    while (!idle_.empty()) {
      PGconn* conn = idle_.back();
      idle_.pop_back();
      if (LooksAlive(conn)) return TLease(this, conn);
      PQfinish(conn);
      --open_;
    }
    if (open_ < size_) break;
    if (returned_.wait_until(lock, deadline) == std::cv_status::timeout && idle_.empty() &&
        open_ >= size_) {
      error = "every database connection is busy";
      return {};
    }
  }
  if (std::chrono::steady_clock::now() - lastConnectFailure_ < kReconnectPause) {
    error = "the database is not reachable";
    return {};
  }
  ++open_;
  lock.unlock();
  PGconn* conn = Connect(error, deadline);
  lock.lock();
  if (!conn) {
    --open_;
    lastConnectFailure_ = std::chrono::steady_clock::now();
    returned_.notify_one();
    return {};
  }
  return TLease(this, conn);
}

void TPgConnectionPool::Return(PGconn* conn, bool broken) {
  std::lock_guard lock(mutex_);
  if (broken || PQstatus(conn) != CONNECTION_OK || PQtransactionStatus(conn) != PQTRANS_IDLE) {
    PQfinish(conn);
    --open_;
  } else {
    idle_.push_back(conn);
  }
  returned_.notify_one();
}

void TPgConnectionPool::TLease::Discard() {
  if (conn_) pool_->Return(conn_, true);
  conn_ = nullptr;
}

void TPgConnectionPool::TLease::Release() {
  if (conn_) pool_->Return(conn_, false);
  conn_ = nullptr;
}

int TPgConnectionPool::InUse() {
  std::lock_guard lock(mutex_);
  return open_ - static_cast<int>(idle_.size());
}

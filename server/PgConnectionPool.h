#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct pg_conn;
using PGconn = pg_conn;

using TPgDeadline = std::chrono::steady_clock::time_point;

// A few PostgreSQL connections shared by the request threads. Connections are
// made on first need and remade after the database went away, so a restarted
// database is picked up again by itself; nothing here ever ends the process.
// Every wait has a deadline: a database that stops answering (a stopped
// process, a lost network) costs a caller its deadline, never more.
class TPgConnectionPool {
 public:
  // `setup` runs on every new connection (session settings, prepared
  // statements) within the caller's deadline; a connection it refuses is dropped.
  TPgConnectionPool(std::string conninfo, int size,
                    std::function<bool(PGconn*, TPgDeadline)> setup);
  ~TPgConnectionPool();
  TPgConnectionPool(const TPgConnectionPool&) = delete;
  TPgConnectionPool& operator=(const TPgConnectionPool&) = delete;

  // One connection for one request; returned to the pool when the lease ends.
  class TLease {
   public:
    TLease() = default;
    TLease(TPgConnectionPool* pool, PGconn* conn) : pool_(pool), conn_(conn) {}
    ~TLease() { Release(); }
    TLease(TLease&& other) noexcept : pool_(other.pool_), conn_(other.conn_) {
      other.conn_ = nullptr;
    }
    TLease& operator=(TLease&&) = delete;
    TLease(const TLease&) = delete;
    TLease& operator=(const TLease&) = delete;

    PGconn* operator*() const { return conn_; }
    explicit operator bool() const { return conn_ != nullptr; }
    // The connection broke: close it rather than hand it out again.
    void Discard();

   private:
    void Release();
    TPgConnectionPool* pool_ = nullptr;
    PGconn* conn_ = nullptr;
  };

  // An idle connection, a new one, or (database unreachable, every connection
  // busy until `deadline`) none; `error` then says why.
  TLease Acquire(std::string& error, TPgDeadline deadline);
  const std::string& Conninfo() const { return conninfo_; }
  // Connections leased right now.
  int InUse();

 private:
  PGconn* Connect(std::string& error, TPgDeadline deadline);
  void Return(PGconn* conn, bool broken);

  std::string conninfo_;
  int size_;
  std::function<bool(PGconn*, TPgDeadline)> setup_;
  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<PGconn*> idle_;
  int open_ = 0;  // idle plus leased
  std::chrono::steady_clock::time_point lastConnectFailure_{};
};

// The result of the query just sent on `conn` (non-blocking), once it is
// whole: with several statements, the first error or else the last result.
// Nothing when `deadline` passes first or the connection fails; the
// connection is then of no further use.
struct pg_result* PgAwait(PGconn* conn, TPgDeadline deadline);

// The first result of each of the `count` statements sent in pipeline mode on
// `conn` and then synced: one round trip. Leaves pipeline mode. Nothing when
// `deadline` passes first or the connection fails.
std::vector<struct pg_result*> PgAwaitPipeline(PGconn* conn, size_t count, TPgDeadline deadline);

// True when the result of a statement says the connection itself failed
// (rather than the statement): the database went away or is shutting down.
bool PgConnectionLost(PGconn* conn, const struct pg_result* result);

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One row of a query's answer: each column as text (a blob as its bytes).
using TAdminRow = std::vector<std::string>;

// The score database as the admin commands see it: one connection of their
// own beside the running servers, statements written once with $N
// parameters, and transactions. Implementations: SQLite and PostgreSQL.
class TAdminDatabase {
 public:
  // `database`: the server's --db value. Brings the schema up to date first
  // (as the server would); nothing and `error` set when that fails.
  static std::unique_ptr<TAdminDatabase> Open(const std::string& database, std::string& error);
  virtual ~TAdminDatabase() = default;
  TAdminDatabase(const TAdminDatabase&) = delete;
  TAdminDatabase& operator=(const TAdminDatabase&) = delete;

  virtual bool Postgres() const = 0;
  // The rows of one statement; nothing (and Error() says why) when it failed.
  virtual std::optional<std::vector<TAdminRow>> Query(const std::string& sql,
                                                      const std::vector<std::string>& params) = 0;
  // Rows changed by one statement; nothing when it failed.
  virtual std::optional<int64_t> Execute(const std::string& sql,
                                         const std::vector<std::string>& params) = 0;
  // A write transaction (SQLite takes the write lock at once).
  virtual bool Begin() = 0;
  bool Commit();
  void Rollback();
  // An online copy of the whole database into `file` (SQLite only).
  virtual bool Backup(const std::string& file) = 0;
  const std::string& Error() const { return error_; }

 protected:
  TAdminDatabase() = default;
  std::string error_;
};

std::unique_ptr<TAdminDatabase> OpenSqliteAdmin(const std::string& path, std::string& error);
std::unique_ptr<TAdminDatabase> OpenPostgresAdmin(const std::string& conninfo, std::string& error);

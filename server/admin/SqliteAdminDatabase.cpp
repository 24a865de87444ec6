// The admin commands' connection to a SQLite score database, beside the
// running server: it waits its turn for the write lock, and copies the
// database with SQLite's online backup API while the server writes.

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "AdminDatabase.h"
#include "StoreSchema.h"

namespace {

// A server holds the write lock for a few milliseconds per result.
constexpr int kBusyWaitMs = 10'000;
constexpr int kBackupPagesPerStep = 256;

class TSqliteAdminDatabase final : public TAdminDatabase {
 public:
  explicit TSqliteAdminDatabase(sqlite3* db) : db_(db) {}
  ~TSqliteAdminDatabase() override { sqlite3_close(db_); }

  bool Postgres() const override { return false; }

  std::optional<std::vector<TAdminRow>> Query(const std::string& sql,
                                              const std::vector<std::string>& params) override {
    sqlite3_stmt* stmt = Prepare(sql, params);
    if (!stmt) return std::nullopt;
    std::vector<TAdminRow> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
      TAdminRow row;
      for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, c));
        row.emplace_back(
            bytes ? std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(stmt, c)))
                  : std::string());
      }
      rows.push_back(std::move(row));
    }
    const bool ok = step == SQLITE_DONE;
    if (!ok) error_ = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    if (!ok) return std::nullopt;
    return rows;
  }

  std::optional<int64_t> Execute(const std::string& sql,
                                 const std::vector<std::string>& params) override {
    sqlite3_stmt* stmt = Prepare(sql, params);
    if (!stmt) return std::nullopt;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    const bool ok = step == SQLITE_DONE;
    if (!ok) error_ = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    if (!ok) return std::nullopt;
    return sqlite3_changes64(db_);
  }

  bool Begin() override { return Execute("BEGIN IMMEDIATE", {}).has_value(); }

  bool Backup(const std::string& file) override {
    namespace fs = std::filesystem;
    // Written beside the target under another name and renamed when whole:
    // a failed backup leaves no half file, and an existing one is replaced
    // only by a complete copy.
    const std::string partial = file + ".partial-" + std::to_string(getpid());
    sqlite3* target = nullptr;
    if (sqlite3_open_v2(partial.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
      error_ = "cannot create " + partial + ": " + (target ? sqlite3_errmsg(target) : "no memory");
      sqlite3_close(target);
      std::remove(partial.c_str());
      return false;
    }
    sqlite3_backup* copy = sqlite3_backup_init(target, "main", db_, "main");
    int step = copy ? SQLITE_OK : SQLITE_ERROR;
    // Page by page; the server writes between steps (a write restarts the copy
    // of what changed), so it is never held up for long.
    while (copy && (step = sqlite3_backup_step(copy, kBackupPagesPerStep)) != SQLITE_DONE) {
      if (step == SQLITE_OK || step == SQLITE_BUSY || step == SQLITE_LOCKED) {
        sqlite3_sleep(step == SQLITE_OK ? 0 : 5);
        continue;
      }
      break;
    }
    if (copy) sqlite3_backup_finish(copy);
    const bool copied = step == SQLITE_DONE && sqlite3_errcode(target) == SQLITE_OK;
    if (!copied) error_ = std::string("the copy failed: ") + sqlite3_errmsg(target);
    sqlite3_close(target);
    std::error_code ec;
    if (copied) fs::rename(partial, file, ec);
    if (!copied || ec) {
      if (ec) error_ = "cannot move the copy to " + file + ": " + ec.message();
      fs::remove(partial, ec);
      return false;
    }
    return true;
  }

 private:
  sqlite3_stmt* Prepare(const std::string& sql, const std::vector<std::string>& params) {
    sqlite3_stmt* stmt = nullptr;
    const std::string text = SqlFor(TSqlDialect::Sqlite, sql);
    if (sqlite3_prepare_v2(db_, text.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      error_ = sqlite3_errmsg(db_);
      sqlite3_finalize(stmt);
      return nullptr;
    }
    for (size_t i = 0; i < params.size(); ++i) {
      sqlite3_bind_text(stmt, static_cast<int>(i + 1), params[i].data(),
                        static_cast<int>(params[i].size()), SQLITE_TRANSIENT);
    }
    return stmt;
  }

  sqlite3* db_;
};

}  // namespace

std::unique_ptr<TAdminDatabase> OpenSqliteAdmin(const std::string& path, std::string& error) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    error = "cannot open database " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyWaitMs);
  return std::make_unique<TSqliteAdminDatabase>(db);
}

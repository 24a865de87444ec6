#include "AdminDatabase.h"

#include <filesystem>

#include "DatabaseLocation.h"
#include "ScoreStore.h"

std::unique_ptr<TAdminDatabase> TAdminDatabase::Open(const std::string& database,
                                                     std::string& error) {
  const auto location = ParseDatabaseLocation(database, error);
  if (!location) return nullptr;
  // A command never makes a new SQLite file: a mistyped --db would otherwise
  // act on an empty database of its own and report success.
  std::error_code ec;
  if (location->Kind == TDatabaseLocation::TKind::Sqlite &&
      !std::filesystem::exists(location->Value, ec)) {
    error = "no database at " + location->Value +
            " (a server makes it when it first starts there; check --db)";
    return nullptr;
  }
  // The store upgrades the schema exactly as a server starting would.
  if (!TScoreStore::Open(database, 1, error)) return nullptr;
  if (location->Kind == TDatabaseLocation::TKind::Postgres) {
    return OpenPostgresAdmin(location->Value, error);
  }
  return OpenSqliteAdmin(location->Value, error);
}

bool TAdminDatabase::Commit() {
  return Execute("COMMIT", {}).has_value();
}

void TAdminDatabase::Rollback() {
  const std::string kept = error_;
  Execute("ROLLBACK", {});
  error_ = kept;
}

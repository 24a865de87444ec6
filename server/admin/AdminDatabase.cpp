#include "AdminDatabase.h"

#include "DatabaseLocation.h"
#include "ScoreStore.h"

std::unique_ptr<TAdminDatabase> TAdminDatabase::Open(const std::string& database,
                                                     std::string& error) {
  const auto location = ParseDatabaseLocation(database, error);
  if (!location) return nullptr;
  // The store creates or upgrades the schema exactly as a server starting would.
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

#pragma once

// Test helper: a fresh empty score database of either backend, so the same
// tests run against SQLite and PostgreSQL.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "PostgresInstance.h"
#include "support/ScratchFolder.h"

enum class TBackend { Sqlite, Postgres };

struct TFreshDatabase {
  std::string Location;  // for TScoreStore::Open and --db; "" when none could be made
  std::string PgName;    // the PostgreSQL database's name
  std::string Error;
};

inline TFreshDatabase FreshDatabase(TBackend backend, std::string name) {
  namespace fs = std::filesystem;
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  TFreshDatabase db;
  if (backend == TBackend::Sqlite) {
    // One folder for every SQLite database of the run, gone when the run ends.
    static const TScratchFolder stores("stores");
    const fs::path path = stores / (name + ".db");
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path.string() + suffix);
    db.Location = path.string();
    return db;
  }
  TPostgresInstance& pg = TPostgresInstance::Shared();
  if (!pg.Ready()) {
    db.Error = pg.Error();
    return db;
  }
  db.PgName = pg.CreateDatabase();
  if (db.PgName.empty()) {
    db.Error = "cannot create a PostgreSQL database";
    return db;
  }
  db.Location = pg.Uri(db.PgName);
  return db;
}

inline void PrintTo(TBackend backend, std::ostream* out) {
  *out << (backend == TBackend::Sqlite ? "SQLite" : "PostgreSQL");
}

inline std::string BackendName(const testing::TestParamInfo<TBackend>& info) {
  return info.param == TBackend::Sqlite ? "Sqlite" : "Postgres";
}

#define TL_BACKENDS testing::Values(TBackend::Sqlite, TBackend::Postgres), BackendName

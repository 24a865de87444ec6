#pragma once

#include <optional>
#include <string>

// What --db names: an SQLite file or a PostgreSQL connection string.
struct TDatabaseLocation {
  enum class TKind : unsigned char { Sqlite, Postgres };
  TKind Kind = TKind::Sqlite;
  // The file name, or a connection string libpq reads (a URI's scheme in lower case).
  std::string Value;
};

// `sqlite:FILE` or a plain path is an SQLite file; a postgresql:// or
// postgres:// URI (in any case) or libpq's key=value form is PostgreSQL.
// Anything that looks like a connection string (a key=value pair, or a
// scheme followed by "://") is never taken as a file name. A password in any
// form is refused. Nothing and `error` set otherwise; `error` never contains a
// password.
std::optional<TDatabaseLocation> ParseDatabaseLocation(const std::string& text, std::string& error);

// `text` with every password it carries (in a URI's user part, a password=
// query parameter or key=value pair) replaced by "***".
std::string RedactPasswords(const std::string& text);

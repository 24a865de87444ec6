// The admin commands' connection to a PostgreSQL score database shared with
// the running servers.

#include <libpq-fe.h>

#include <memory>

#include "AdminDatabase.h"

namespace {

// bytea in a result comes as \x hex text: given back as its bytes.
constexpr Oid kByteaOid = 17;
// No admin statement should wait longer than this on a server's locks.
constexpr const char* kSessionLimits = "SET statement_timeout = 30000";

struct TResultFree {
  void operator()(PGresult* result) const { PQclear(result); }
};
using TPgResult = std::unique_ptr<PGresult, TResultFree>;

std::string Trimmed(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

class TPgAdminDatabase final : public TAdminDatabase {
 public:
  explicit TPgAdminDatabase(PGconn* conn) : conn_(conn) {}
  ~TPgAdminDatabase() override { PQfinish(conn_); }

  bool Postgres() const override { return true; }

  std::optional<std::vector<TAdminRow>> Query(const std::string& sql,
                                              const std::vector<std::string>& params) override {
    TPgResult result = Run(sql, params);
    if (!result) return std::nullopt;
    std::vector<TAdminRow> rows;
    const PGresult* r = result.get();
    for (int i = 0; i < PQntuples(r); ++i) {
      TAdminRow row;
      for (int c = 0; c < PQnfields(r); ++c) {
        if (PQftype(r, c) == kByteaOid && !PQgetisnull(r, i, c)) {
          size_t size = 0;
          unsigned char* raw =
              PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(r, i, c)), &size);
          row.emplace_back(raw ? std::string(reinterpret_cast<const char*>(raw), size)
                               : std::string());
          PQfreemem(raw);
        } else {
          row.emplace_back(PQgetvalue(r, i, c));
        }
      }
      rows.push_back(std::move(row));
    }
    return rows;
  }

  std::optional<int64_t> Execute(const std::string& sql,
                                 const std::vector<std::string>& params) override {
    TPgResult result = Run(sql, params);
    if (!result) return std::nullopt;
    const char* changed = PQcmdTuples(result.get());
    return *changed ? std::stoll(changed) : 0;
  }

  bool Begin() override { return Execute("BEGIN", {}).has_value(); }

  bool Backup(const std::string&) override {
    error_ = "not on PostgreSQL";
    return false;
  }

 private:
  TPgResult Run(const std::string& sql, const std::vector<std::string>& params) {
    std::vector<const char*> values;
    for (const std::string& p : params) values.push_back(p.c_str());
    TPgResult result(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                  values.data(), nullptr, nullptr, 0));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
    error_ = Trimmed(result ? PQresultErrorMessage(result.get()) : PQerrorMessage(conn_));
    return nullptr;
  }

  PGconn* conn_;
};

}  // namespace

std::unique_ptr<TAdminDatabase> OpenPostgresAdmin(const std::string& conninfo, std::string& error) {
  const char* keys[] = {"dbname", "connect_timeout", "application_name", nullptr};
  const char* values[] = {conninfo.c_str(), "10", "tidal-lynx-scores admin", nullptr};
  PGconn* conn = PQconnectdbParams(keys, values, 1);
  if (PQstatus(conn) != CONNECTION_OK) {
    error = "cannot connect: " + Trimmed(PQerrorMessage(conn));
    PQfinish(conn);
    return nullptr;
  }
  PQsetNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);
  TPgResult limits(PQexec(conn, kSessionLimits));
  return std::make_unique<TPgAdminDatabase>(conn);
}

#include "Moderation.h"

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::string BanTarget(const TBanRule& rule) {
  return std::string(BanKindText(rule.Kind)) + " " + rule.Value;
}

int64_t Int(const std::string& text) {
  try {
    return std::stoll(text);
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace

std::string UtcText(int64_t unixSeconds) {
  const auto t = static_cast<std::time_t>(unixSeconds);
  std::tm parts{};
  gmtime_r(&t, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

TAdminOutcome TModeration::Failed(const std::string& what) {
  TAdminOutcome outcome{1, what + ": " + db_.Error()};
  db_.Rollback();
  return outcome;
}

TAdminOutcome TModeration::Finish(const std::string& action, const std::string& target,
                                  const std::string& reason, const std::string& message) {
  if (!db_.Execute(
          "INSERT INTO audit(at, action, target, reason, actor) VALUES($1, $2, $3, $4, $5)",
          {std::to_string(now_), action, target, reason, actor_})) {
    return Failed("cannot write the audit trail");
  }
  if (!db_.Commit()) return Failed("cannot commit");
  return {0, message};
}

TAdminOutcome TModeration::List(const TListFilter& filter, std::ostream& out) {
  std::string sql =
      "SELECT r.id, r.submitted, r.score, r.name, r.player, r.address,"
      " coalesce(p.status, 'no replay'), r.removed, r.ban_id FROM results r"
      " LEFT JOIN replays p ON p.result_id = r.id WHERE 1 = 1";
  std::vector<std::string> params;
  if (filter.Pending) sql += " AND p.status = 'pending'";
  if (filter.Rejected) sql += " AND p.status = 'rejected'";
  if (filter.Hidden) sql += " AND (r.removed <> '' OR r.ban_id <> 0)";
  if (filter.Name) {
    params.push_back(*filter.Name);
    sql += " AND r.name = $" + std::to_string(params.size());
  }
  if (filter.Player) {
    params.push_back(*filter.Player);
    sql += " AND r.player = $" + std::to_string(params.size());
  }
  params.push_back(std::to_string(filter.Limit));
  sql += " ORDER BY r.id DESC LIMIT $" + std::to_string(params.size());
  const auto rows = db_.Query(sql, params);
  if (!rows) return {1, "cannot list the results: " + db_.Error()};
  out << "id\tsubmitted\tscore\tname\tplayer\taddress\treplay\tstate\n";
  for (const TAdminRow& row : *rows) {
    const std::string state = !row[7].empty() ? "removed: " + row[7]
                              : row[8] != "0" ? "banned (ban " + row[8] + ")"
                                              : std::string("shown");
    out << row[0] << '\t' << UtcText(Int(row[1])) << '\t' << row[2] << '\t' << row[3] << '\t'
        << row[4] << '\t' << row[5] << '\t' << row[6] << '\t' << state << '\n';
  }
  return {0, std::to_string(rows->size()) + " entries"};
}

TAdminOutcome TModeration::Remove(int64_t id, const std::string& reason) {
  if (!db_.Begin()) return Failed("cannot start a transaction");
  const auto found =
      db_.Query("SELECT removed, name, score FROM results WHERE id = $1", {std::to_string(id)});
  if (!found) return Failed("cannot read entry " + std::to_string(id));
  if (found->empty()) {
    db_.Rollback();
    return {1, "no entry " + std::to_string(id) + " (see: admin list)"};
  }
  const TAdminRow& row = found->front();
  if (!row[0].empty()) {
    db_.Rollback();
    return {1, "entry " + std::to_string(id) + " is already removed: " + row[0]};
  }
  if (!db_.Execute("UPDATE results SET removed = $2 WHERE id = $1", {std::to_string(id), reason})) {
    return Failed("cannot remove entry " + std::to_string(id));
  }
  return Finish("remove", "entry " + std::to_string(id), reason,
                "removed entry " + std::to_string(id) + " (" + row[1] + ", " + row[2] + ")");
}

TAdminOutcome TModeration::Restore(int64_t id) {
  if (!db_.Begin()) return Failed("cannot start a transaction");
  const auto found =
      db_.Query("SELECT removed, ban_id FROM results WHERE id = $1", {std::to_string(id)});
  if (!found) return Failed("cannot read entry " + std::to_string(id));
  if (found->empty()) {
    db_.Rollback();
    return {1, "no entry " + std::to_string(id) + " (see: admin list)"};
  }
  if (found->front()[0].empty()) {
    db_.Rollback();
    return {1, "entry " + std::to_string(id) + " is not removed"};
  }
  if (!db_.Execute("UPDATE results SET removed = '' WHERE id = $1", {std::to_string(id)})) {
    return Failed("cannot restore entry " + std::to_string(id));
  }
  const std::string banned = found->front()[1];
  return Finish("restore", "entry " + std::to_string(id), "",
                "restored entry " + std::to_string(id) +
                    (banned != "0" ? " (still hidden by ban " + banned + ")" : ""));
}

std::optional<int64_t> TModeration::Apply(int64_t banId, const TBanRule& rule) {
  const std::string ban = std::to_string(banId);
  if (rule.Kind != TBanKind::Address) {
    const char* column = rule.Kind == TBanKind::Name ? "name" : "player";
    return db_.Execute(
        std::string("UPDATE results SET ban_id = $1 WHERE ban_id = 0 AND ") + column + " = $2",
        {ban, rule.Value});
  }
  // Ranges are matched here, the same way a submission is checked.
  const auto rows =
      db_.Query("SELECT id, address FROM results WHERE ban_id = 0 AND address <> ''", {});
  if (!rows) return std::nullopt;
  int64_t hidden = 0;
  for (const TAdminRow& row : *rows) {
    if (!BanMatches(rule, {}, {}, row[1])) continue;
    if (!db_.Execute("UPDATE results SET ban_id = $1 WHERE id = $2", {ban, row[0]})) {
      return std::nullopt;
    }
    ++hidden;
  }
  return hidden;
}

TAdminOutcome TModeration::Ban(const TBanRule& rule, const std::string& reason) {
  const std::string target = BanTarget(rule);
  if (!db_.Begin()) return Failed("cannot start a transaction");
  const auto existing =
      db_.Query("SELECT id FROM bans WHERE lifted = 0 AND kind = $1 AND value = $2",
                {BanKindText(rule.Kind), rule.Value});
  if (!existing) return Failed("cannot read the bans");
  if (!existing->empty()) {
    db_.Rollback();
    return {1, "a ban on " + target + " is already in force (ban " + existing->front()[0] + ")"};
  }
  const auto made = db_.Query(
      "INSERT INTO bans(kind, value, reason, created) VALUES($1, $2, $3, $4) RETURNING id",
      {BanKindText(rule.Kind), rule.Value, reason, std::to_string(now_)});
  if (!made || made->size() != 1) return Failed("cannot add the ban");
  const int64_t banId = Int(made->front()[0]);
  const auto hidden = Apply(banId, rule);
  // The counter tells every server process to read the bans again.
  if (!hidden || !db_.Execute("UPDATE ban_state SET generation = generation + 1", {})) {
    return Failed("cannot apply the ban");
  }
  return Finish("ban", target, reason,
                "banned " + target + " (ban " + std::to_string(banId) + "); " +
                    std::to_string(*hidden) + " results hidden");
}

TAdminOutcome TModeration::Unban(const TBanRule& rule, const std::string& reason) {
  const std::string target = BanTarget(rule);
  if (!db_.Begin()) return Failed("cannot start a transaction");
  const auto lifted = db_.Query(
      "UPDATE bans SET lifted = $3 WHERE lifted = 0 AND kind = $1 AND value = $2 RETURNING id",
      {BanKindText(rule.Kind), rule.Value, std::to_string(now_)});
  if (!lifted) return Failed("cannot lift the ban");
  if (lifted->empty()) {
    db_.Rollback();
    return {1, "no ban on " + target + " is in force (see: admin audit)"};
  }
  int64_t shown = 0;
  for (const TAdminRow& row : *lifted) {
    const auto freed = db_.Execute("UPDATE results SET ban_id = 0 WHERE ban_id = $1", {row[0]});
    if (!freed) return Failed("cannot lift the ban");
    shown += *freed;
  }
  // A result another ban in force also matches stays hidden under that one.
  const auto others = db_.Query("SELECT id, kind, value FROM bans WHERE lifted = 0", {});
  if (!others) return Failed("cannot read the bans");
  for (const TAdminRow& row : *others) {
    std::string ignored;
    const auto other = MakeBanRule(row[1], row[2], ignored);
    const auto hidden = other ? Apply(Int(row[0]), *other) : std::optional<int64_t>(0);
    if (!hidden) return Failed("cannot apply the other bans");
    shown -= *hidden;
  }
  if (!db_.Execute("UPDATE ban_state SET generation = generation + 1", {})) {
    return Failed("cannot lift the ban");
  }
  return Finish(
      "unban", target, reason,
      "lifted the ban on " + target + "; " + std::to_string(shown) + " results shown again");
}

TAdminOutcome TModeration::Reverify(int64_t since, const std::string& sinceText) {
  if (!db_.Begin()) return Failed("cannot start a transaction");
  const auto queued = db_.Execute(
      "UPDATE replays SET status = 'pending', reason = '', lease_owner = '', lease_until = 0"
      " WHERE uploaded >= $1 AND status <> 'pending'",
      {std::to_string(since)});
  if (!queued) return Failed("cannot queue the replays");
  return Finish("reverify", "replays since " + sinceText, "",
                "queued " + std::to_string(*queued) + " replays for verification");
}

TAdminOutcome TModeration::ExportReplays(const std::string& folder, int top) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(folder, ec);
  // Whether the folder takes files at all, before anything is read or written.
  const fs::path probe = fs::path(folder) / (".probe-" + std::to_string(getpid()));
  if (ec || !std::ofstream(probe)) {
    return {1, "cannot write to " + folder + ": " + (ec ? ec.message() : "permission denied")};
  }
  fs::remove(probe, ec);
  const auto rows = db_.Query(
      "SELECT r.id, r.name, r.score, p.data FROM results r JOIN replays p ON p.result_id = r.id"
      " WHERE r.removed = '' AND r.ban_id = 0 ORDER BY r.score DESC, r.id LIMIT $1",
      {std::to_string(top)});
  if (!rows) return {1, "cannot read the replays: " + db_.Error()};
  std::vector<fs::path> written;
  for (size_t i = 0; i < rows->size(); ++i) {
    const TAdminRow& row = (*rows)[i];
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "%04zu", i + 1);
    const fs::path file = fs::path(folder) / (std::string(prefix) + "-entry" + row[0] + ".tlr");
    const fs::path partial = file.string() + ".partial";
    {
      std::ofstream out(partial, std::ios::binary);
      out.write(row[3].data(), static_cast<std::streamsize>(row[3].size()));
      out.close();
      if (!out) ec = std::make_error_code(std::errc::io_error);
    }
    if (!ec) fs::rename(partial, file, ec);
    if (ec) {
      // Nothing half done: what this run wrote goes again.
      fs::remove(partial, ec);
      for (const fs::path& done : written) fs::remove(done, ec);
      return {1, "cannot write " + file.string()};
    }
    written.push_back(file);
  }
  if (!db_.Begin()) return Failed("the replays are written, but the audit trail is not");
  return Finish("export-replays", folder, "",
                "wrote " + std::to_string(written.size()) + " replays to " + folder);
}

TAdminOutcome TModeration::Backup(const std::string& file) {
  if (db_.Postgres()) {
    return {2,
            "backup copies SQLite databases only; for PostgreSQL use pg_dump (for example: "
            "pg_dump -Fc -f scores.dump DBNAME) and pg_restore"};
  }
  if (!db_.Backup(file)) return {1, "cannot back up to " + file + ": " + db_.Error()};
  // Recorded after the copy: the backup itself holds the trail up to it.
  if (!db_.Begin()) return Failed("the backup is written, but the audit trail is not");
  return Finish("backup", file, "", "backed up to " + file);
}

TAdminOutcome TModeration::Audit(int limit, std::ostream& out) {
  const auto rows =
      db_.Query("SELECT id, at, actor, action, target, reason FROM audit ORDER BY id DESC LIMIT $1",
                {std::to_string(limit)});
  if (!rows) return {1, "cannot read the audit trail: " + db_.Error()};
  out << "id\ttime\tuser\taction\ttarget\treason\n";
  for (const TAdminRow& row : *rows) {
    out << row[0] << '\t' << UtcText(Int(row[1])) << '\t' << row[2] << '\t' << row[3] << '\t'
        << row[4] << '\t' << row[5] << '\n';
  }
  return {0, std::to_string(rows->size()) + " audit rows"};
}

// The operator's admin commands against a database that server processes
// are serving, on SQLite and on a real PostgreSQL.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "AdminProgram.h"
#include "ScoreStore.h"
#include "StoreBackends.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kServerOptions = {
    "--ranking", "all", "--rate", "0/min", "--challenges-per-address", "10000"};

class AdminCommands : public testing::TestWithParam<TBackend> {
 protected:
  void SetUp() override {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    db_ = FreshDatabase(GetParam(), "admin_" + name);
    ASSERT_FALSE(db_.Location.empty()) << db_.Error;
    // The database as a server leaves it when it first starts there.
    std::string error;
    ASSERT_TRUE(TScoreStore::Open(db_.Location, error)) << error;
    dir_.emplace("admin_" + name + (GetParam() == TBackend::Sqlite ? "_sqlite" : "_pg"));
  }
  TAdminRun Admin(const std::vector<std::string>& args) {
    return RunAdmin(db_.Location, args, *dir_);
  }
  // The entry ID of `name`'s result with `score`, from admin list.
  std::string IdOf(const std::string& name, int score) {
    std::istringstream lines(Admin({"list", "--name", name}).Out);
    std::string line;
    while (std::getline(lines, line)) {
      std::vector<std::string> cells;
      std::istringstream split(line);
      for (std::string cell; std::getline(split, cell, '\t');) cells.push_back(cell);
      if (cells.size() > 3 && cells[2] == std::to_string(score)) return cells[0];
    }
    return "none";
  }
  size_t AuditRows() {
    const std::string out = Admin({"audit", "--limit", "10000"}).Out;
    return static_cast<size_t>(std::count(out.begin(), out.end(), '\n')) - 2;
  }

  TFreshDatabase db_;
  std::optional<TScratchFolder> dir_;
};

TEST_P(AdminCommands, EachCommandActsOnTheTablesTwoServersServe) {
  TServerProcess a(TL_SERVER_BIN, *dir_ / "a", db_.Location, kServerOptions);
  TServerProcess b(TL_SERVER_BIN, *dir_ / "b", db_.Location, kServerOptions);
  ASSERT_GT(a.Port(), 0) << a.Log();
  ASSERT_GT(b.Port(), 0) << b.Log();
  ASSERT_EQ(SubmitResult(a, "Ace", 500, "ace"), 200);
  ASSERT_EQ(SubmitResult(a, "Ace", 900, "ace"), 200);
  ASSERT_EQ(SubmitResult(a, "Bob", 700, "bobby"), 200);
  ASSERT_EQ(SubmitResult(b, "Cat", 300, "cat"), 200);  // B has read the bans once
  const std::string best = IdOf("Ace", 900);
  const auto scores = [&] { return GetBody(a.Port(), "/api/scores?limit=100"); };
  const auto has = [&](const std::string& text) {
    return scores().find(text) != std::string::npos;
  };

  struct TStep {
    std::vector<std::string> Args;
    int Exit;
    std::string Says;
    std::function<bool()> Then;  // what the tables or the servers show afterwards
  };
  const TStep steps[] = {
      // Removed: the player's earlier result ranks in its place.
      {{"remove", best, "--reason", "impossible score"},
       0,
       "removed entry " + best,
       [&] {
         return !has("\"score\":900") && has("\"rank\":1,\"name\":\"Bob\"") &&
                has("\"rank\":2,\"name\":\"Ace\"");
       }},
      {{"list", "--hidden"}, 0, "removed: impossible score", [&] { return true; }},
      {{"restore", best}, 0, "restored entry " + best, [&] { return has("\"score\":900"); }},
      // A ban hides the player's results and refuses the next one in the
      // other process at once.
      {{"ban", "--player", "bobby", "--reason", "abuse"},
       0,
       "1 results hidden",
       [&] { return !has("Bob") && SubmitResult(b, "Bob", 800, "bobby") == 403; }},
      {{"list", "--player", "bobby"}, 0, "banned (ban 1)", [&] { return true; }},
      {{"unban", "--player", "bobby"},
       0,
       "1 results shown again",
       [&] { return has("Bob") && SubmitResult(b, "Bob", 800, "bobby") == 200; }},
      {{"ban", "--address", "127.0.0.0/8", "--reason", "flood"},
       0,
       "ban 2",
       [&] { return !has("Ace") && SubmitResult(b, "Dan", 10, "dan") == 403; }},
      {{"unban", "--address", "127.0.0.0/8", "--reason", "over"},
       0,
       "shown again",
       [&] { return has("Ace") && SubmitResult(a, "Dan", 10, "dan") == 200; }},
      {{"reverify", "--since", "2020-01-01"}, 0, "queued 0 replays", [&] { return true; }},
      {{"export-replays", (*dir_ / "export").string(), "--top", "5"},
       0,
       "wrote 0 replays",
       [&] { return fs::is_directory(*dir_ / "export"); }},
      {{"audit"}, 0, "remove\tentry " + best + "\timpossible score", [&] { return true; }},
  };
  for (const TStep& step : steps) {
    const TAdminRun run = Admin(step.Args);
    EXPECT_EQ(run.Exit, step.Exit) << step.Args[0] << ": " << run.Out;
    EXPECT_NE(run.Out.find(step.Says), std::string::npos) << step.Args[0] << ": " << run.Out;
    EXPECT_TRUE(step.Then()) << step.Args[0] << "\n" << scores();
  }
  EXPECT_EQ(AuditRows(), 8u);
}

TEST_P(AdminCommands, BadInputIsRefusedWithAMessageAndChangesNothing) {
  TServerProcess a(TL_SERVER_BIN, *dir_ / "a", db_.Location, kServerOptions);
  ASSERT_GT(a.Port(), 0) << a.Log();
  ASSERT_EQ(SubmitResult(a, "Ace", 500, "ace"), 200);
  const std::string id = IdOf("Ace", 500);
  const std::string before = Admin({"list", "--limit", "10000"}).Out;
  struct TCase {
    std::vector<std::string> Args;
    int Exit;
    const char* Says;
  };
  const TCase cases[] = {
      {{"remove", "999999", "--reason", "x"}, 1, "no entry 999999"},
      {{"remove", "abc", "--reason", "x"}, 2, "bad entry ID \"abc\""},
      {{"remove", id, "--reason", "  "}, 2, "remove needs a reason"},
      {{"remove", id}, 2, "remove needs a reason"},
      {{"restore", id}, 1, "is not removed"},
      {{"ban", "--address", "10.0.0.0/40", "--reason", "x"}, 2, "bad --address value"},
      {{"ban", "--address", "not-an-address", "--reason", "x"}, 2, "bad --address value"},
      {{"ban", "--player", "ace", "--name", "Ace", "--reason", "x"}, 2, "exactly one of"},
      {{"unban", "--name", "Nobody"}, 1, "no ban on name Nobody"},
      {{"export-replays", "/proc/tl-cannot-write"}, 1, "cannot write to /proc/tl-cannot-write"},
      {{"reverify", "--since", "yesterday"}, 2, "bad --since value"},
      {{"list", "--limit", "0"}, 2, "bad --limit value"},
      {{"frobnicate"}, 2, "unknown admin command"},
      {GetParam() == TBackend::Sqlite ? std::vector<std::string>{"backup", "/proc/tl-no/x.db"}
                                      : std::vector<std::string>{"backup", "x.db"},
       GetParam() == TBackend::Sqlite ? 1 : 2,
       GetParam() == TBackend::Sqlite ? "cannot back up to /proc/tl-no/x.db" : "use pg_dump"},
  };
  for (const TCase& c : cases) {
    const TAdminRun run = Admin(c.Args);
    EXPECT_EQ(run.Exit, c.Exit) << c.Args[0] << ": " << run.Out;
    EXPECT_NE(run.Out.find(c.Says), std::string::npos) << c.Args[0] << ": " << run.Out;
  }
  EXPECT_EQ(Admin({"list", "--limit", "10000"}).Out, before);
  EXPECT_EQ(AuditRows(), 0u);
  EXPECT_FALSE(fs::exists("x.db"));
  if (GetParam() == TBackend::Sqlite) {
    // A mistyped database path: refused, and no empty database is made there.
    const fs::path typo = *dir_ / "scores-typo.db";
    const TAdminRun run = RunAdmin(typo.string(), {"ban", "--name", "X", "--reason", "y"}, *dir_);
    EXPECT_EQ(run.Exit, 1) << run.Out;
    EXPECT_NE(run.Out.find("no database at " + typo.string()), std::string::npos) << run.Out;
    EXPECT_FALSE(fs::exists(typo));
  }
}

TEST_P(AdminCommands, TheAuditTrailRefusesUpdateAndDelete) {
  ASSERT_EQ(Admin({"ban", "--name", "Cheat", "--reason", "aimbot"}).Exit, 0);
  for (const char* change : {"UPDATE audit SET reason = 'nothing'", "DELETE FROM audit"}) {
    if (GetParam() == TBackend::Sqlite) {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(db_.Location.c_str(), &db), SQLITE_OK);
      EXPECT_NE(sqlite3_exec(db, change, nullptr, nullptr, nullptr), SQLITE_OK) << change;
      EXPECT_STREQ(sqlite3_errmsg(db), "the audit trail is append-only");
      sqlite3_close(db);
    } else {
      EXPECT_FALSE(TPostgresInstance::Shared().Sql(db_.PgName, change)) << change;
      EXPECT_FALSE(TPostgresInstance::Shared().Sql(db_.PgName, "TRUNCATE audit"));
    }
  }
  // Who did it: the operating system user that ran the command.
  const passwd* user = getpwuid(getuid());
  ASSERT_TRUE(user);
  const TAdminRun audit = Admin({"audit"});
  EXPECT_NE(audit.Out.find(std::string(user->pw_name) + "\tban\tname Cheat\taimbot"),
            std::string::npos)
      << audit.Out;
  EXPECT_EQ(AuditRows(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Backends, AdminCommands, TL_BACKENDS);

}  // namespace

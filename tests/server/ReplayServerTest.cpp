// The world table verifies: results sent with the game's two requests, their
// replays uploaded, played again by the real server program's verifier
// workers, and only verified results ranked.

#include <gtest/gtest.h>
#include <httplib.h>
#include <libpq-fe.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ReplayGames.h"
#include "StoreBackends.h"
#include "online/ServerProcess.h"
#include "protocol/ResultCodec.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kVersion = "/cgi/version.pl?version&prg=TidalLynx";
const std::string kSubmit = "/cgi/version.pl?hs&prg=TidalLynx&inf=";
const std::string kWorld = "/cgi/version.pl?show&type=0&prg=TidalLynx";
const std::string kType = "application/x-tidal-lynx-replay";

// The game's side of one server: the two requests, the upload, and reading back.
class TPlayer {
 public:
  explicit TPlayer(const TServerProcess& server) : client_("127.0.0.1", server.Port()) {
    client_.set_connection_timeout(5);
    client_.set_read_timeout(10);
  }

  std::pair<int, std::string> Get(const std::string& path) {
    const auto res = client_.Get(path.c_str());
    return res ? std::pair{res->status, res->body} : std::pair{0, std::string()};
  }
  std::pair<int, std::string> Post(const std::string& path, const std::string& body,
                                   const std::string& type) {
    const auto res = client_.Post(path.c_str(), body, type.c_str());
    return res ? std::pair{res->status, res->body} : std::pair{0, std::string()};
  }
  // Requests 1 and 2 as the game sends them; the challenge p, "" on failure.
  std::string SendResult(const std::string& name, int32_t score) {
    const std::string p = ExtractChallenge(Get(kVersion).second);
    if (p.empty()) return {};
    const auto [status, body] =
        Get(kSubmit + EncodeResult(BuildResultRecord(name, score, p, "Player")));
    return status == 200 ? p : std::string();
  }
  // The upload; the replay's id, or 0 (with the answer in `answer`).
  int64_t Upload(const std::string& p, const std::vector<uint8_t>& bytes,
                 std::string* answer = nullptr) {
    const auto [status, body] =
        Post("/api/replays?p=" + p, std::string(bytes.begin(), bytes.end()), kType);
    if (answer) *answer = std::to_string(status) + " " + body;
    const size_t at = body.find("{\"id\":");
    if (status != 202 || at == std::string::npos ||
        body.find("\"status\":\"pending\"") == std::string::npos) {
      return 0;
    }
    return std::stoll(body.substr(at + 6));
  }
  // The replay's status answer once it is settled ("" after `limit`).
  std::string WaitSettled(int64_t id, std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      const auto [status, body] = Get("/api/replays/" + std::to_string(id));
      if (status == 200 && body.find("\"status\":\"pending\"") == std::string::npos) return body;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }

 private:
  httplib::Client client_;
};

// What a PostgreSQL statement returns, row by row, each row's fields joined by "|".
std::vector<std::string> PgRows(const std::string& uri, const std::string& sql) {
  PGconn* conn = PQconnectdb(uri.c_str());
  std::vector<std::string> rows;
  PGresult* result = PQexec(conn, sql.c_str());
  for (int i = 0; PQresultStatus(result) == PGRES_TUPLES_OK && i < PQntuples(result); ++i) {
    std::string row;
    for (int c = 0; c < PQnfields(result); ++c)
      row.append(c ? "|" : "").append(PQgetvalue(result, i, c));
    rows.push_back(row);
  }
  PQclear(result);
  PQfinish(conn);
  return rows;
}

// Counts of the replays table: status|count|verifications|attempts per status.
std::map<std::string, std::string> PgTally(const std::string& uri) {
  std::map<std::string, std::string> tally;
  for (const std::string& row :
       PgRows(uri,
              "SELECT status, count(*), sum(verifications), min(verifications),"
              " max(verifications), sum(attempts) FROM replays GROUP BY status")) {
    tally[row.substr(0, row.find('|'))] = row.substr(row.find('|') + 1);
  }
  return tally;
}

// The text of a page from `marker` on ("" when it is not there).
std::string From(const std::string& page, const std::string& marker) {
  const size_t at = page.find(marker);
  return at == std::string::npos ? std::string() : page.substr(at);
}

class ReplayServerOn : public testing::TestWithParam<TBackend> {};

// An honest game, a result claiming more than its replay reaches, and a
// result without a replay, through the real program: only the first is ranked.
TEST_P(ReplayServerOn, OnlyAResultWhoseReplayPlaysToItsScoreIsRanked) {
  const TFreshDatabase db = FreshDatabase(GetParam(), "replay_world");
  ASSERT_FALSE(db.Location.empty()) << db.Error;
  const TScratchFolder dir("replays_world");
  TServerProcess server(TL_SERVER_BIN, dir, db.Location);
  ASSERT_GT(server.Port(), 0) << server.Log();
  TPlayer player(server);

  const TShortGame honest = RecordGame(3, 3000, "Ace");
  const TShortGame short_ = RecordGame(5, 600, "Liar");
  ASSERT_GT(honest.Score, 0);
  const std::string aceP = player.SendResult("Ace", honest.Score);
  const std::string liarP = player.SendResult("Liar", short_.Score + 1000);
  ASSERT_FALSE(player.SendResult("Ghost", 99'999'999).empty());
  ASSERT_FALSE(aceP.empty());
  ASSERT_FALSE(liarP.empty());
  std::string answer;
  const int64_t ace = player.Upload(aceP, honest.Bytes, &answer);
  ASSERT_GT(ace, 0) << answer;
  const int64_t liar = player.Upload(liarP, short_.Bytes, &answer);
  ASSERT_GT(liar, 0) << answer;

  EXPECT_NE(player.WaitSettled(ace).find("\"status\":\"verified\",\"reason\":\"\""),
            std::string::npos);
  EXPECT_NE(player.WaitSettled(liar).find("\"status\":\"rejected\",\"reason\":\"score mismatch: "
                                          "the replay reaches " +
                                          std::to_string(short_.Score)),
            std::string::npos);
  const auto file = player.Get("/api/replays/" + std::to_string(ace) + ".tlr");
  EXPECT_EQ(file.second, std::string(honest.Bytes.begin(), honest.Bytes.end()));

  // The world page ranks Ace alone, with its replay; the other two are listed
  // apart with their status and reason.
  const std::string page = player.Get(kWorld).second;
  const std::string ranked = page.substr(0, page.find("Not ranked"));
  const std::string unranked = From(page, "Not ranked");
  EXPECT_NE(ranked.find("<td>Ace</td>"), std::string::npos) << page;
  EXPECT_NE(ranked.find("/api/replays/" + std::to_string(ace) + ".tlr"), std::string::npos);
  for (const char* name : {"Liar", "Ghost"}) {
    EXPECT_EQ(ranked.find(name), std::string::npos) << name;
    EXPECT_NE(unranked.find(std::string("<td>") + name + "</td>"), std::string::npos) << name;
  }
  EXPECT_NE(unranked.find("<td>no replay</td>"), std::string::npos);
  EXPECT_NE(unranked.find("<td>rejected</td><td>score mismatch"), std::string::npos);
  const std::string json = player.Get("/api/scores").second;
  EXPECT_NE(json.find("\"total\":1,\"scores\":[{\"rank\":1,\"name\":\"Ace\""), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"status\":\"no replay\""), std::string::npos) << json;

  // What the upload refuses, and that a refusal leaves the result as it was.
  struct TCase {
    const char* label;
    std::string p;
    std::string body;
    std::string type;
    int status;
  };
  const std::string ghostlessP = player.SendResult("Late", 0);
  const std::vector<TCase> cases = {
      {"wrong type", ghostlessP, "x", "application/octet-stream", 415},
      {"too large", ghostlessP, std::string(64 * 1024 + 1, 'x'), kType, 413},
      {"unknown p", "NeverHandedOut", "x", kType, 404},
      {"no p", "", "x", kType, 400},
      {"second upload", aceP, std::string(honest.Bytes.begin(), honest.Bytes.end()), kType, 409},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(player.Post("/api/replays" + (c.p.empty() ? "" : "?p=" + c.p), c.body, c.type).first,
              c.status)
        << c.label;
  }
  EXPECT_EQ(player.Get("/api/replays/999999").first, 404);
  EXPECT_EQ(player.Get("/api/replays").first, 405);
  // The refused uploads took nothing: the result still takes its replay, and a
  // damaged one is rejected as malformed.
  std::vector<uint8_t> damaged = honest.Bytes;
  damaged[damaged.size() / 2] ^= 0x10;
  const int64_t late = player.Upload(ghostlessP, damaged, &answer);
  ASSERT_GT(late, 0) << answer;
  EXPECT_NE(player.WaitSettled(late).find("\"reason\":\"malformed: "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, ReplayServerOn, TL_BACKENDS);

// Two server processes on one PostgreSQL, each with two verifier threads:
// every one of 200 replays is settled exactly once, and both share the work.
TEST(ReplayFleet, TwoServersVerifyEachOf200ReplaysExactlyOnce) {
  const TFreshDatabase db = FreshDatabase(TBackend::Postgres, "replay_fleet");
  ASSERT_FALSE(db.Location.empty()) << db.Error;
  const std::vector<std::string> options = {
      "--rate",      "0/min", "--challenges-per-address", "10000",
      "--verifiers", "2",     "--replay-lease",           "2"};
  const TScratchFolder dirA("replays_fleet_a");
  const TScratchFolder dirB("replays_fleet_b");
  TServerProcess a(TL_SERVER_BIN, dirA, db.Location, options);
  TServerProcess b(TL_SERVER_BIN, dirB, db.Location, options);
  ASSERT_GT(a.Port(), 0) << a.Log();
  ASSERT_GT(b.Port(), 0) << b.Log();
  std::vector<TShortGame> games;
  for (uint32_t seed = 1; seed <= 8; ++seed)
    games.push_back(RecordGame(seed, 64 + 40 * seed, "Fleet"));
  TPlayer toA(a);
  TPlayer toB(b);
  for (int i = 0; i < 200; ++i) {
    TPlayer& player = i % 2 ? toB : toA;
    const TShortGame& game = games[static_cast<size_t>(i) % games.size()];
    const std::string p = player.SendResult("Fleet", game.Score);
    ASSERT_FALSE(p.empty()) << i;
    std::string answer;
    ASSERT_GT(player.Upload(p, game.Bytes, &answer), 0) << answer;
  }
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (Clock::now() < deadline && PgTally(db.Location).count("pending")) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // status | count | sum, min, max of verifications | attempts
  EXPECT_EQ(PgTally(db.Location),
            (std::map<std::string, std::string>{{"verified", "200|200|1|1|200"}}));
  EXPECT_NE(a.Log().find("event=verified"), std::string::npos);
  EXPECT_NE(b.Log().find("event=verified"), std::string::npos);
}

// A worker killed with SIGKILL while it plays a replay: the replay stays
// pending until the lease runs out, then the other server verifies it, once.
TEST(ReplayFleet, AKilledWorkersReplayIsVerifiedByTheOtherAfterTheLease) {
  const TFreshDatabase db = FreshDatabase(TBackend::Postgres, "replay_kill");
  ASSERT_FALSE(db.Location.empty()) << db.Error;
  const std::vector<std::string> options = {"--rate", "0/min",          "--challenges-per-address",
                                            "10000",  "--replay-lease", "2"};
  const TScratchFolder dirA("replays_kill_a");
  const TScratchFolder dirB("replays_kill_b");
  TServerProcess a(TL_SERVER_BIN, dirA, db.Location, options);
  ASSERT_GT(a.Port(), 0) << a.Log();
  // The longest game the script plays: long enough to be caught mid-verification.
  const TShortGame game = RecordGame(11, 39'000, "Long");
  TPlayer player(a);
  // Freezes the server, lets any statement it had in flight finish, and reads
  // the claims it holds; a frozen server cannot settle behind the test's back.
  const std::string claimed =
      "SELECT id, lease_until FROM replays WHERE status = 'pending' AND attempts = 1";
  const auto frozenClaims = [&] {
    kill(a.Pid(), SIGSTOP);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return PgRows(db.Location, claimed);
  };
  // Look after every upload and then while the backlog drains, in any build's
  // speed: kill it the first time it is caught holding a claim.
  std::vector<std::string> held;
  int uploaded = 0;
  for (int i = 0; i < 40 && held.empty(); ++i) {
    if (uploaded < 12) {
      const std::string p = player.SendResult("Long", game.Score);
      ASSERT_FALSE(p.empty());
      ASSERT_GT(player.Upload(p, game.Bytes), 0);
      ++uploaded;
    }
    held = frozenClaims();
    if (held.empty()) {
      kill(a.Pid(), SIGCONT);
      std::this_thread::sleep_for(std::chrono::milliseconds(2 + i % 7));
    }
  }
  ASSERT_EQ(held.size(), 1u) << "the server was never caught holding a claim";
  ASSERT_EQ(a.Stop(SIGKILL), -1);
  ASSERT_EQ(PgRows(db.Location, claimed), held) << "the kill did not land mid-verification";
  const std::string id = held[0].substr(0, held[0].find('|'));
  const int64_t leaseUntil = std::stoll(held[0].substr(held[0].find('|') + 1));

  TServerProcess b(TL_SERVER_BIN, dirB, db.Location, options);
  ASSERT_GT(b.Port(), 0) << b.Log();
  const std::string settled =
      "SELECT status, attempts, verifications, (extract(epoch FROM clock_timestamp()) * "
      "1000)::bigint"
      " FROM replays WHERE id = " +
      id;
  std::string row;
  const auto wait = Clock::now() + std::chrono::seconds(30);
  while (Clock::now() < wait) {
    const auto rows = PgRows(db.Location, settled);
    row = rows.empty() ? std::string() : rows[0];
    if (!row.starts_with("pending")) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(row.starts_with("verified|2|1|")) << row;
  EXPECT_GE(std::stoll(row.substr(row.rfind('|') + 1)), leaseUntil);
  const auto deadlineAll = Clock::now() + std::chrono::seconds(30);
  while (Clock::now() < deadlineAll && PgTally(db.Location).count("pending")) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const std::string all = std::to_string(uploaded);
  EXPECT_EQ(PgTally(db.Location).at("verified").substr(0, 2 * all.size() + 5),
            all + "|" + all + "|1|1");
}

}  // namespace

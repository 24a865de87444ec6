// Two server processes on one PostgreSQL database, as behind a load balancer.

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "PostgresInstance.h"
#include "online/ServerProcess.h"
#include "protocol/ResultCodec.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kVersion = "/cgi/version.pl?version&prg=TidalLynx";
const std::string kSubmit = "/cgi/version.pl?hs&prg=TidalLynx&inf=";

std::unique_ptr<httplib::Client> Connect(const TServerProcess& server) {
  auto client = std::make_unique<httplib::Client>("127.0.0.1", server.Port());
  client->set_connection_timeout(5);
  client->set_read_timeout(10);
  return client;
}

int Status(httplib::Client& client, const std::string& path, std::string* body = nullptr) {
  const auto res = client.Get(path.c_str());
  if (res && body) *body = res->body;
  return res ? res->status : 0;
}

// What the clients saw, by result name.
struct TTally {
  std::mutex Mutex;
  std::vector<std::string> Accepted;    // 200 on the submission
  std::set<std::string> Ambiguous;      // 503, then 403 on the retry: may or may not be in
  std::vector<std::string> Unexpected;  // any other answer
  std::atomic<int> Unavailable{0};      // 503 answers to either request
  std::atomic<int> AcceptedCount{0};
};

// One player: `count` results through one server, each request retried while
// the database is away (bounded by `deadline`).
void Play(const TServerProcess& server, int player, int count, Clock::time_point deadline,
          TTally& tally) {
  auto client = Connect(server);
  for (int i = 0; i < count && Clock::now() < deadline; ++i) {
    std::string name = "c";  // appended: GCC 12's -Wrestrict misreads "c" + ...
    name += std::to_string(player);
    name += "-";
    name += std::to_string(i);
    std::string body;
    int status = 0;
    while ((status = Status(*client, kVersion, &body)) != 200 && Clock::now() < deadline) {
      if (status == 503) ++tally.Unavailable;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (status != 200) break;
    const std::string submit =
        kSubmit + EncodeResult(BuildResultRecord(name, 1000 + i, ExtractChallenge(body), ""));
    bool sawUnavailable = false;
    while ((status = Status(*client, submit)) == 503 && Clock::now() < deadline) {
      ++tally.Unavailable;
      sawUnavailable = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::lock_guard lock(tally.Mutex);
    if (status == 200) {
      tally.Accepted.push_back(name);
      ++tally.AcceptedCount;
    } else if (status == 403 && sawUnavailable) {
      tally.Ambiguous.insert(name);
    } else {
      tally.Unexpected.push_back(name + ": " + std::to_string(status));
    }
  }
}

TEST(ServerFleet, TwoProcessesShareChallengesAndRideOutADatabaseRestart) {
  TPostgresInstance pg;
  ASSERT_TRUE(pg.Ready()) << pg.Error();
  const std::string database = pg.CreateDatabase();
  ASSERT_FALSE(database.empty());
  // Every test client comes from 127.0.0.1: lift the per-address limits.
  const std::vector<std::string> options = {
      "--db-connections", "3", "--challenges-per-address", "10000", "--rate", "0/min"};
  const TScratchFolder dirA("fleet_a");
  const TScratchFolder dirB("fleet_b");
  TServerProcess a(TL_SERVER_BIN, dirA.Path(), pg.Uri(database), options);
  TServerProcess b(TL_SERVER_BIN, dirB.Path(), pg.Uri(database), options);
  ASSERT_GT(a.Port(), 0) << a.Log();
  ASSERT_GT(b.Port(), 0) << b.Log();

  // p handed out by A is accepted once by B and refused on replay through either.
  {
    auto toA = Connect(a);
    auto toB = Connect(b);
    std::string body;
    ASSERT_EQ(Status(*toA, kVersion, &body), 200);
    const std::string submit =
        kSubmit + EncodeResult(BuildResultRecord("Shared", 7, ExtractChallenge(body), ""));
    EXPECT_EQ(Status(*toB, submit), 200);
    EXPECT_EQ(Status(*toB, submit), 403);
    EXPECT_EQ(Status(*toA, submit), 403);
  }

  // Eight players over both servers; the database restarts while they play.
  constexpr int kPlayers = 8;
  constexpr int kPerPlayer = 250;
  const auto deadline = Clock::now() + std::chrono::seconds(90);
  TTally tally;
  std::vector<std::thread> players;
  for (int p = 0; p < kPlayers; ++p) {
    players.emplace_back(Play, std::cref(p % 2 ? a : b), p, kPerPlayer, deadline, std::ref(tally));
  }
  while (tally.AcceptedCount < kPlayers * kPerPlayer / 3 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const int acceptedBeforeRestart = tally.AcceptedCount;
  const bool stopped = pg.Stop();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const bool started = pg.Start();
  for (auto& player : players) player.join();
  ASSERT_TRUE(stopped && started);

  EXPECT_GT(tally.Unavailable.load(), 0) << "no 503 while the database was away";
  EXPECT_TRUE(tally.Unexpected.empty()) << tally.Unexpected.front();
  EXPECT_EQ(tally.Accepted.size() + tally.Ambiguous.size(), size_t{kPlayers * kPerPlayer});
  EXPECT_GT(static_cast<int>(tally.Accepted.size()), acceptedBeforeRestart)
      << "nothing accepted after the restart";

  // Every accepted result stored exactly once; nothing stored twice; nothing
  // stored that was not either accepted or answered 503.
  std::map<std::string, int> stored;
  for (const std::string& name : pg.Column(database, "SELECT name FROM results")) ++stored[name];
  EXPECT_EQ(stored["Shared"], 1);
  for (const std::string& name : tally.Accepted) EXPECT_EQ(stored[name], 1) << name;
  for (const auto& [name, times] : stored) {
    EXPECT_LE(times, 1) << name;
    EXPECT_TRUE(name == "Shared" || tally.Ambiguous.count(name) ||
                std::find(tally.Accepted.begin(), tally.Accepted.end(), name) !=
                    tally.Accepted.end())
        << name;
  }
  // Both processes are still serving.
  EXPECT_EQ(Status(*Connect(a), kVersion), 200) << a.Log().substr(0, 2000);
  EXPECT_EQ(Status(*Connect(b), kVersion), 200);
}

}  // namespace

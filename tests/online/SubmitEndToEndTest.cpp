#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sqlite3.h>
#include <sys/socket.h>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ScoreStore.h"
#include "game/GameStates.h"
#include "online/ReplayUpload.h"
#include "online/ResultSubmission.h"
#include "online/ServerProcess.h"
#include "platform/SdlPlatform.h"
#include "protocol/ResultCodec.h"
#include "server/ReplayGames.h"
#include "server/StoreBackends.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

// The real platform, with every HTTP request it makes written down.
class TRecordingPlatform : public SdlPlatform {
 public:
  THttpResult HttpGet(const std::string& url, const THttpOptions& options) override {
    Urls.push_back(url);
    return SdlPlatform::HttpGet(url, options);
  }
  THttpResult HttpPost(const std::string& url, const std::string& contentType,
                       const std::string& body, const THttpOptions& options) override {
    ++Posts;
    return SdlPlatform::HttpPost(url, contentType, body, options);
  }
  std::vector<std::string> Urls;
  size_t Posts = 0;
};

struct TRow {
  std::string Name;
  std::string Player;
  int64_t Score = 0;
};

std::vector<TRow> StoredRows(const fs::path& database) {
  std::vector<TRow> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name, player, score FROM results ORDER BY id", -1, &stmt,
                           nullptr) == SQLITE_OK) {
      while (sqlite3_step(stmt) == SQLITE_ROW) {
        rows.push_back({reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                        reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)),
                        sqlite3_column_int64(stmt, 2)});
      }
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return rows;
}

// A loopback socket that is listening (the kernel completes connections) but
// never reads or answers; closed with the object.
class TSilentListener {
 public:
  TSilentListener() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(fd_, 8) != 0 || getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
      return;
    }
    port_ = ntohs(addr.sin_port);
  }
  ~TSilentListener() {
    if (fd_ >= 0) close(fd_);
  }
  TSilentListener(const TSilentListener&) = delete;
  TSilentListener& operator=(const TSilentListener&) = delete;
  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// A loopback port with nothing listening on it.
int ClosedPort() {
  TSilentListener probe;
  return probe.Port();
}

TSubmitOptions QuickOptions(const std::string& host) {
  TSubmitOptions options;
  options.Host = host;
  options.ConnectTimeoutMs = 1000;
  options.TotalTimeoutMs = 1500;
  return options;
}

// The game's submission against the server program on either database: the
// result's two requests and its replay's upload, on the worker the shell runs
// them on, with the real HTTP client.
class SubmitEndToEndOn : public testing::TestWithParam<TBackend> {};

TEST_P(SubmitEndToEndOn, AGamesResultIsVerifiedFromItsReplayAndRankedOnTheWorldPage) {
  const TFreshDatabase db = FreshDatabase(GetParam(), "e2e_submit");
  ASSERT_FALSE(db.Location.empty()) << db.Error;
  // The server's own ranking: verified results only.
  const TScratchFolder dir("e2e_submit");
  TServerProcess server(TL_SERVER_BIN, dir, db.Location);
  ASSERT_GT(server.Port(), 0) << server.Log();
  TRecordingPlatform sys;
  const TSubmitOptions options = QuickOptions(server.Host());
  const TShortGame game = RecordGame(3, 3000, "<Ann&Bo>");
  ASSERT_GT(game.Score, 0);
  const std::string replay(game.Bytes.begin(), game.Bytes.end());

  struct TCase {
    const char* Name;
    int32_t Score;
    std::string Replay;
    size_t Requests;  // HTTP requests the game makes
  };
  const TCase cases[] = {
      {"<Ann&Bo>", game.Score, replay, 3},
      // A name that tries to forge a field is refused: no upload follows, and
      // the game still goes on to the table.
      {"Cheat|score=99", 1, replay, 2},
      // Too large to send: the result stands without a replay, never ranked.
      {"Bulky", 500, std::string(kMaxReplayUploadBytes + 1, 'x'), 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    sys.Urls.clear();
    sys.Posts = 0;
    TResultSubmission submission(sys, c.Name, c.Score, "Pilot=1", options);
    submission.Then(ReplayUploadStep(c.Replay));
    submission.Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!submission.Finished() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(submission.Finished());
    EXPECT_EQ(submission.Outcome(), gsHighScores);
    EXPECT_EQ(sys.Urls.size() + sys.Posts, c.Requests);
  }

  // The world page, as a player opens it: the honest game is ranked once its
  // replay played to its score, with a link to the replay.
  const THttpOptions http = SubmissionHttpOptions(options);
  const std::string world = "http://" + server.Host() + "/cgi/version.pl?prg=TidalLynx&show&type=0";
  std::string page;
  std::string ranked;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    const THttpResult answer = sys.HttpGet(world, http);
    ASSERT_TRUE(answer.Ok) << answer.Error;
    page = answer.Body;
    ranked = page.substr(0, page.find("Not ranked"));
    if (ranked.find("&lt;Ann&amp;Bo&gt;") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_NE(ranked.find("<td>&lt;Ann&amp;Bo&gt;</td>"), std::string::npos) << page;
  EXPECT_NE(ranked.find(std::to_string(game.Score)), std::string::npos) << page;
  EXPECT_NE(ranked.find(".tlr"), std::string::npos) << page;
  EXPECT_EQ(page.find("Cheat"), std::string::npos);
  EXPECT_EQ(ranked.find("Bulky"), std::string::npos);
  EXPECT_NE(page.find("<td>Bulky</td>"), std::string::npos) << "listed apart, without a replay";
  EXPECT_NE(server.Log().find("/cgi/version.pl?hs&prg=TidalLynx&inf="), std::string::npos);

  // The store ranks the same one row, with the player's name from the settings.
  std::string error;
  const auto store = TScoreStore::Open(db.Location, error);
  ASSERT_TRUE(store) << error;
  const auto rows = store->Top(10);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Name, "<Ann&Bo>");
  EXPECT_EQ(rows[0].PlayerName, "Pilot=1");
  EXPECT_EQ(rows[0].Score, game.Score);
}

INSTANTIATE_TEST_SUITE_P(Backends, SubmitEndToEndOn, TL_BACKENDS);

TEST(SubmitEndToEnd, ServerRefusesTamperedSecondRequests) {
  const TScratchFolder dir("e2e_tamper");
  TServerProcess server(TL_SERVER_BIN, dir);
  ASSERT_GT(server.Port(), 0) << server.Log();
  TRecordingPlatform sys;
  const THttpOptions http = SubmissionHttpOptions(QuickOptions(server.Host()));
  const std::string base = "http://" + server.Host() + "/cgi/version.pl?";
  auto challenge = [&] {
    return ExtractChallenge(sys.HttpGet(base + "version&prg=TidalLynx", http).Body);
  };
  const std::string used = challenge();
  ASSERT_TRUE(sys.HttpGet(base + "hs&prg=TidalLynx&inf=" +
                              EncodeResult(BuildResultRecord("Kept", 50, used, "")),
                          http)
                  .Ok);

  struct TCase {
    const char* label;
    std::function<std::string(const std::string& p)> record;  // empty: raw garbage inf
    long status;
  };
  const TCase cases[] = {
      {"replayed p", [&](const std::string&) { return BuildResultRecord("Again", 60, used, ""); },
       403},
      {"wrong key letter",
       [](const std::string& p) {
         std::string r = BuildResultRecord("Key", 60, p, "");
         r[r.find("|key=") + 5] = kResultKeyLetter == 'Z' ? 'Y' : 'Z';
         return r;
       },
       400},
      {"forged duplicate field",
       [](const std::string& p) { return BuildResultRecord("a|score=9", 60, p, ""); }, 400},
      {"garbage inf", nullptr, 400},
  };
  for (const TCase& c : cases) {
    const std::string p = challenge();
    const std::string inf = c.record ? EncodeResult(c.record(p)) : "not~encoded";
    const THttpResult r = sys.HttpGet(base + "hs&prg=TidalLynx&inf=" + inf, http);
    EXPECT_FALSE(r.Ok) << c.label;
    EXPECT_EQ(r.Status, c.status) << c.label << ": " << r.Error;
  }
  const auto rows = StoredRows(server.Database());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Name, "Kept");
}

TEST(SubmitEndToEnd, UnreachableOrSilentServerLeadsToTheRetryQuestion) {
  TSilentListener silent;
  ASSERT_GT(silent.Port(), 0);
  struct TCase {
    const char* label;
    int port;
  };
  const TCase cases[] = {
      {"nothing listening", ClosedPort()},
      {"accepts and never answers", silent.Port()},
  };
  for (const TCase& c : cases) {
    TRecordingPlatform sys;
    const uint32_t state =
        SubmitResult(sys, "Nobody", 10, "", QuickOptions("127.0.0.1:" + std::to_string(c.port)));
    EXPECT_EQ(state, gsConnectFailed) << c.label;
    EXPECT_EQ(sys.Urls.size(), 1u) << c.label << ": no second request";
  }
}

TEST(SubmitEndToEnd, RedirectAnswerToTheFirstRequestLeadsToTheRetryQuestion) {
  for (const int status : {301, 302, 307}) {
    // A loopback server that answers every request with the redirect and a
    // body that would otherwise pass for a challenge.
    httplib::Server server;
    std::atomic<int> hits{0};
    server.Get(".*", [&](const httplib::Request&, httplib::Response& res) {
      ++hits;
      res.status = status;
      res.set_header("Location", "/cgi/version.pl?elsewhere");
      res.set_content("p1|p2|p3", "text/html");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread thread([&] { server.listen_after_bind(); });
    for (int i = 0; i < 500 && !server.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    TRecordingPlatform sys;
    const uint32_t state =
        SubmitResult(sys, "Nobody", 10, "", QuickOptions("127.0.0.1:" + std::to_string(port)));
    server.stop();
    thread.join();
    EXPECT_EQ(state, gsConnectFailed) << status;
    EXPECT_EQ(sys.Urls.size(), 1u) << status << ": no second request";
    EXPECT_EQ(hits.load(), 1) << status << ": the redirect is not followed";
  }
}

}  // namespace

#include "ScoreServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "LiveServer.h"
#include "RawHttp.h"
#include "protocol/ResultCodec.h"
#include "support/ScratchFolder.h"

namespace {

const std::string kVersion = "/cgi/version.pl?version&prg=TidalLynx";
const std::string kSubmit = "/cgi/version.pl?hs&prg=TidalLynx&inf=";
const std::string kShow = "/cgi/version.pl?prg=TidalLynx&show&type=0";

std::string FreshChallenge(TLiveServer& server) {
  const auto [status, body] = server.Get(kVersion);
  EXPECT_EQ(status, 200);
  return ExtractChallenge(body);
}

TEST(ScoreServer, AnswersItsAddressesAndNothingElse) {
  TLiveServer server("routes");
  ASSERT_GT(server.Port(), 0);
  struct TCase {
    std::string path;
    int status;
    std::string contains;
  };
  const TCase cases[] = {
      {"/", 200, "/cgi/version.pl?prg=TidalLynx&amp;show&amp;type=0"},
      {kVersion, 200, "TidalLynx|"},
      {kShow, 200, "No results yet"},
      {"/cgi/version.pl?prg=TidalLynx&type=0&show", 200, "world high scores"},
      {"/cgi/version.pl?version&prg=Other", 404, "Not found"},
      {"/cgi/version.pl?version", 404, ""},
      {"/cgi/version.pl?version&prg=TidalLynx&prg=Other", 404, ""},
      {"/cgi/version.pl?prg=TidalLynx", 404, ""},
      {"/cgi/version.pl?prg=TidalLynx&show&type=1", 404, ""},
      {"/cgi/version.pl?hs&prg=TidalLynx", 400, "refused"},
      {"/index.html", 404, "Not found"},
      {"/cgi/other.pl?version&prg=TidalLynx", 404, ""},
      {"/" + std::string(9000, 'x'), 414, ""},
  };
  for (const TCase& c : cases) {
    const auto [status, body] = server.Get(c.path);
    EXPECT_EQ(status, c.status) << c.path.substr(0, 60);
    EXPECT_NE(body.find(c.contains), std::string::npos) << c.path.substr(0, 60) << "\n" << body;
  }
}

TEST(ScoreServer, FirstAnswerCarriesAFreshChallengeAsFifthField) {
  TLiveServer server("challenge");
  ASSERT_GT(server.Port(), 0);
  const auto [status, body] = server.Get(kVersion);
  ASSERT_EQ(status, 200);
  EXPECT_EQ(std::count(body.begin(), body.end(), '|'), 5) << body;
  const std::string p = ExtractChallenge(body);
  EXPECT_GE(p.size(), 16u);
  EXPECT_NE(ExtractChallenge(server.Get(kVersion).second), p);
}

// The tests that store something run on both backends.
class ScoreServerOn : public testing::TestWithParam<TBackend> {};

TEST_P(ScoreServerOn, StoresAResultAndShowsItEscaped) {
  TLiveServer server("store", GetParam());
  ASSERT_GT(server.Port(), 0);
  const std::string p = FreshChallenge(server);
  const auto [status, body] =
      server.Get(kSubmit + EncodeResult(BuildResultRecord("<b>A&B</b>", 4321, p, "\"Q'")));
  EXPECT_EQ(status, 200) << body;
  const auto rows = server.Store().Top(10);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Name, "<b>A&B</b>");
  EXPECT_EQ(rows[0].PlayerName, "\"Q'");
  EXPECT_EQ(rows[0].Score, 4321);
  EXPECT_EQ(rows[0].Submitted, server.Now.load());

  const std::string page = server.Get(kShow).second;
  EXPECT_NE(page.find("&lt;b&gt;A&amp;B&lt;/b&gt;"), std::string::npos) << page;
  EXPECT_NE(page.find("&quot;Q&#39;"), std::string::npos) << page;
  EXPECT_NE(page.find("4321"), std::string::npos);
  EXPECT_EQ(page.find("<b>A"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  const std::string json = server.Get("/api/scores").second;
  EXPECT_NE(json.find(R"("name":"<b>A&B</b>","player":"\"Q'","score":4321)"), std::string::npos)
      << json;
}

TEST_P(ScoreServerOn, RefusesBadSubmissionsAndStoresNothing) {
  TLiveServer server("refuse", GetParam());
  ASSERT_GT(server.Port(), 0);
  // Replayed p, wrong key letter, garbage and forged fields: see the end-to-end tests.
  const std::string first = FreshChallenge(server);
  ASSERT_EQ(server.Get(kSubmit + EncodeResult(BuildResultRecord("First", 10, first, ""))).first,
            200);
  struct TCase {
    const char* label;
    std::function<std::string(const std::string& p)> query;  // given a fresh p
    int status;
  };
  const TCase cases[] = {
      {"unknown p",
       [](const std::string&) { return EncodeResult(BuildResultRecord("X", 20, "Made1Up", "")); },
       403},
      {"inf of the wrong length", [](const std::string&) { return std::string("AAA"); }, 400},
      {"forged score in player name",
       [](const std::string& p) {
         return EncodeResult(BuildResultRecord("x", 1, p, "|score=99999"));
       },
       400},
      {"two inf values",
       [](const std::string& p) {
         return EncodeResult(BuildResultRecord("x", 1, p, "")) +
                "&inf=" + EncodeResult(BuildResultRecord("y", 2, p, ""));
       },
       400},
      {"overlong inf", [](const std::string&) { return std::string(600, 'A'); }, 400},
  };
  for (const TCase& c : cases) {
    const std::string p = FreshChallenge(server);
    const auto [status, body] = server.Get(kSubmit + c.query(p));
    EXPECT_EQ(status, c.status) << c.label << ": " << body;
    EXPECT_NE(body.find("refused"), std::string::npos) << c.label;
    EXPECT_EQ(server.Store().ResultCount(), 1) << c.label;
  }
}

TEST_P(ScoreServerOn, ChallengeExpiresAfterItsLifetime) {
  TLiveServer server("expiry", GetParam());
  ASSERT_GT(server.Port(), 0);
  const std::string late = FreshChallenge(server);
  const std::string inTime = FreshChallenge(server);
  server.Now += 600;
  EXPECT_EQ(server.Get(kSubmit + EncodeResult(BuildResultRecord("InTime", 5, inTime, ""))).first,
            200);
  server.Now += 1;
  EXPECT_EQ(server.Get(kSubmit + EncodeResult(BuildResultRecord("Late", 5, late, ""))).first, 403);
  EXPECT_EQ(server.Store().ResultCount(), 1);
}

TEST_P(ScoreServerOn, WorldPagesAndTheJsonApiRankPageAndFilterByPeriod) {
  TLiveServer server("pages", GetParam());
  ASSERT_GT(server.Port(), 0);
  // 120 results scoring 1000..1119; the first 60 are eight days old.
  const int64_t now = server.Now.load();
  for (int i = 0; i < 120; ++i) {
    const int64_t at = i < 60 ? now - 8 * 24 * 3600 : now - 3600;
    const auto p = server.Store().IssueChallenge(at, 600);
    ASSERT_TRUE(p);
    ASSERT_EQ(server.Store().Submit({"n" + std::to_string(i), 1000 + i, *p, "pl"}, at, 600),
              TSubmitOutcome::Stored);
  }
  struct TCase {
    std::string path;
    int status;
    std::vector<std::string> contains;
  };
  const std::string row = "<tr><td class=\"n\">";
  const TCase cases[] = {
      {kShow,
       200,
       {row + "1</td><td>n119<", row + "50</td><td>n70<", "Page 1 of 3", "type=0&amp;page=2\">Next",
        "period=week\">Last 7 days"}},
      {kShow + "&page=3", 200, {row + "101</td><td>n19<", row + "120</td><td>n0<", "Page 3 of 3"}},
      {kShow + "&period=week&page=2",
       200,
       {row + "51</td><td>n69<", row + "60</td><td>n60<", "period=week\">Previous", "Page 2 of 2"}},
      {kShow + "&page=4", 404, {"3 pages"}},
      {kShow + "&page=0", 400, {}},
      {kShow + "&page=2x", 400, {}},
      {kShow + "&period=year", 400, {}},
      {kShow + "&page=1&page=2", 400, {}},
      {"/api/scores",
       200,
       {R"({"period":"all","total":120,"scores":[{"rank":1,"name":"n119")",
        R"("rank":10,"name":"n110","player":"pl","score":1110)"}},
      {"/api/scores?limit=100&period=week", 200, {R"("total":60)", R"("rank":60,"name":"n60")"}},
      {"/api/scores?limit=101", 400, {R"({"error":)"}},
      {"/api/scores?limit=0", 400, {}},
      {"/api/scores?period=month", 400, {}},
  };
  for (const TCase& c : cases) {
    const auto [status, body] = server.Get(c.path);
    EXPECT_EQ(status, c.status) << c.path;
    for (const std::string& text : c.contains) {
      EXPECT_NE(body.find(text), std::string::npos) << c.path << ": " << text << "\n" << body;
    }
  }
  // Exactly the asked number of rows.
  EXPECT_EQ(server.Get(kShow).second.find(row + "51</td>"), std::string::npos);
  const std::string json = server.Get("/api/scores?limit=7").second;
  size_t ranks = 0;
  for (size_t at = json.find("\"rank\""); at != std::string::npos;
       at = json.find("\"rank\"", at + 1)) {
    ++ranks;
  }
  EXPECT_EQ(ranks, 7u);
}

TEST_P(ScoreServerOn, AFloodOfRequestOneFromOneAddressIsRefusedBeyondItsCap) {
  TScoreServerOptions options;
  options.MaxOpenChallengesPerAddress = 3;
  TLiveServer server("cap", GetParam(), options);
  ASSERT_GT(server.Port(), 0);
  std::vector<std::string> open;
  for (int i = 0; i < 3; ++i) open.push_back(FreshChallenge(server));
  // A flood from the same address leaves the challenge table as it was.
  for (int i = 0; i < 100; ++i) {
    const auto [status, body] = server.Get(kVersion);
    ASSERT_EQ(status, 429) << i;
    EXPECT_NE(body.find("refused: too many open challenges"), std::string::npos) << body;
  }
  EXPECT_EQ(server.Store().OpenChallengeCount(), 3);
  ASSERT_EQ(server.Get(kSubmit + EncodeResult(BuildResultRecord("Used", 5, open[0], ""))).first,
            200);
  EXPECT_EQ(server.Get(kVersion).first, 200);
  EXPECT_EQ(server.Get(kVersion).first, 429);
}

INSTANTIATE_TEST_SUITE_P(Backends, ScoreServerOn, TL_BACKENDS);

TEST(ScoreServer, LogsOneEscapedLinePerRequestWithoutTheResult) {
  TLiveServer server("log");
  ASSERT_GT(server.Port(), 0);
  struct TCase {
    std::string request;  // raw bytes after connecting
    std::string expected;
  };
  const std::string inf = EncodeResult(BuildResultRecord("Secret", 5, "p", ""));
  const TCase cases[] = {
      {"GET / HTTP/1.1\r\nHost: t\r\nConnection: close\r\n\r\n",
       "addr=127.0.0.1 method=GET path=/ status=200 us="},
      {"GET /missing HTTP/1.1\r\nHost: t\r\nConnection: close\r\n\r\n",
       "method=GET path=/missing status=404"},
      {"GET " + kSubmit + inf + "&x=1 HTTP/1.1\r\nHost: t\r\nConnection: close\r\n\r\n",
       "path=/cgi/version.pl?hs&prg=TidalLynx&inf=&x=1 status=403"},
      // A forged field and a terminal escape stay inside one quoted value.
      {"GET /a\"b\x1b[2J status=200\\ HTTP/1.1\r\nHost: t\r\nConnection: close\r\n\r\n",
       "path=\"/a\\\"b\\x1b[2J status=200\\\\\" status=404"},
      {"GET /\xff%0A HTTP/1.1\r\nHost: t\r\nConnection: close\r\n\r\n",
       "path=\"/\\xff%0A\" status=404"},
      {"NOT HTTP AT ALL\r\n\r\n", "addr=127.0.0.1 event=closed reason=malformed-request"},
      {"GET / HTTP/1.1\r\nHost: t\r\nConnection: close\r\n" + std::string(40000, 'h') + "\r\n\r\n",
       "path=/ status=- us="},
  };
  for (const TCase& c : cases) {
    TRawConnection connection(server.Port());
    connection.Send(c.request);
    connection.ReadAll(std::chrono::seconds(5));
  }
  server.Stop();
  const auto log = server.Log();
  std::string all;
  for (const std::string& line : log) all += line + "\n";
  EXPECT_EQ(log.size(), std::size(cases)) << all;
  for (const TCase& c : cases) {
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [&](const std::string& line) {
                              return line.find(c.expected) != std::string::npos;
                            }),
              1)
        << c.expected << "\n"
        << all;
  }
  for (const std::string& line : log) {
    EXPECT_EQ(line.find("Secret"), std::string::npos) << line;
    EXPECT_EQ(line.find(inf), std::string::npos) << line;
    EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](char ch) {
      return static_cast<unsigned char>(ch) < 0x20 || static_cast<unsigned char>(ch) >= 0x7F;
    })) << line;
  }
}

TEST(ScoreServer, KeepsTheConnectionAliveAndHeadWritesNothing) {
  TLiveServer server("keepalive");
  ASSERT_GT(server.Port(), 0);
  const std::string p = FreshChallenge(server);
  const std::string result = kSubmit + EncodeResult(BuildResultRecord("Head", 9, p, ""));
  struct TCase {
    std::string method;
    std::string target;
    int status;
  };
  // One connection for all of them, as a proxy's keep-alive pool would use it.
  const TCase cases[] = {
      {"GET", "/", 200},         {"HEAD", kVersion, 200},      {"HEAD", result, 200},
      {"HEAD", kShow, 200},      {"HEAD", kSubmit + "x", 400}, {"GET", "/healthz", 200},
      {"HEAD", "/missing", 404}, {"GET", "/api/scores", 200},
  };
  TRawConnection connection(server.Port());
  for (const TCase& c : cases) {
    ASSERT_TRUE(connection.Send(c.method + " " + c.target + " HTTP/1.1\r\nHost: t\r\n\r\n"))
        << c.method << " " << c.target << ": the connection was closed";
    bool closed = false;
    const std::string answer = connection.ReadAll(std::chrono::milliseconds(300), &closed);
    EXPECT_EQ(RawStatus(answer), c.status) << c.method << " " << c.target;
    EXPECT_FALSE(closed) << c.method << " " << c.target;
    EXPECT_EQ(answer.find("Connection: close"), std::string::npos) << answer;
    if (c.method == "HEAD") {
      EXPECT_EQ(answer.substr(answer.find("\r\n\r\n") + 4), "") << c.target;
    }
  }
  // Nothing handed out or stored by HEAD: p is still open and takes the result.
  EXPECT_EQ(server.Store().OpenChallengeCount(), 1);
  EXPECT_EQ(server.Store().ResultCount(), 0);
  EXPECT_EQ(server.Get(result).first, 200);
}

TEST(ScoreServer, StopBeforeRunReturnsAtOnce) {
  std::string error;
  const TScratchFolder dir("early");
  auto store = TScoreStore::Open((dir / "early.db").string(), error);
  ASSERT_TRUE(store) << error;
  TScoreServer server(*store);
  ASSERT_GT(server.Bind("127.0.0.1", 0), 0);
  server.Stop();
  EXPECT_TRUE(server.Run());
}

}  // namespace

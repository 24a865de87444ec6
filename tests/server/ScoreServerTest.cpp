#include "ScoreServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>

#include "LiveServer.h"
#include "RawHttp.h"
#include "online/ResultCodec.h"

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

TEST(ScoreServer, StoresAResultAndShowsItEscaped) {
  TLiveServer server("store");
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
}

TEST(ScoreServer, RefusesBadSubmissionsAndStoresNothing) {
  TLiveServer server("refuse");
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

TEST(ScoreServer, ChallengeExpiresAfterItsLifetime) {
  TLiveServer server("expiry");
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

TEST(ScoreServer, LogsOneEscapedLinePerRequestWithoutTheResult) {
  TLiveServer server("log");
  ASSERT_GT(server.Port(), 0);
  struct TCase {
    std::string request;  // raw bytes after connecting
    std::string expected;
  };
  const std::string inf = EncodeResult(BuildResultRecord("Secret", 5, "p", ""));
  const TCase cases[] = {
      {"GET / HTTP/1.1\r\nHost: t\r\n\r\n", "addr=127.0.0.1 method=GET path=/ status=200 us="},
      {"GET /missing HTTP/1.1\r\nHost: t\r\n\r\n", "method=GET path=/missing status=404"},
      {"GET " + kSubmit + inf + "&x=1 HTTP/1.1\r\nHost: t\r\n\r\n",
       "path=/cgi/version.pl?hs&prg=TidalLynx&inf=&x=1 status=403"},
      // A forged field and a terminal escape stay inside one quoted value.
      {"GET /a\"b\x1b[2J status=200\\ HTTP/1.1\r\nHost: t\r\n\r\n",
       "path=\"/a\\\"b\\x1b[2J status=200\\\\\" status=404"},
      {"GET /\xff%0A HTTP/1.1\r\nHost: t\r\n\r\n", "path=\"/\\xff%0A\" status=404"},
      {"NOT HTTP AT ALL\r\n\r\n", "addr=127.0.0.1 event=closed reason=malformed-request"},
      {"GET / HTTP/1.1\r\nHost: t\r\n" + std::string(40000, 'h') + "\r\n\r\n",
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

TEST(ScoreServer, StopBeforeRunReturnsAtOnce) {
  std::string error;
  const auto dir = std::filesystem::temp_directory_path() / ("tl_live_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto store = TScoreStore::Open((dir / "early.db").string(), error);
  ASSERT_TRUE(store) << error;
  TScoreServer server(*store);
  ASSERT_GT(server.Bind("127.0.0.1", 0), 0);
  server.Stop();
  EXPECT_TRUE(server.Run());
}

}  // namespace

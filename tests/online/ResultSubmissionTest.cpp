#include "online/ResultSubmission.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/GameStates.h"
#include "online/WebLinks.h"
#include "protocol/ResultCodec.h"
#include "support/FakePlatform.h"

namespace {

const std::string kInf = "/cgi/version.pl?hs&prg=TidalLynx&inf=";

THttpResult Answer(bool ok, std::string body = {}) {
  THttpResult r;
  r.Ok = ok;
  r.Status = ok ? 200 : 0;
  r.Body = std::move(body);
  return r;
}

std::string DecodedRecordOf(const std::string& url) {
  const size_t at = url.find(kInf);
  if (at == std::string::npos) return "<no inf>";
  return DecodeResult(url.substr(at + kInf.size())).value_or("<undecodable>");
}

// Names with "|" and "=" travel unchanged: the record is not escaped.
TEST(ResultSubmission, RunsBothRequestsAndEndsOnTheRightScreen) {
  struct TCase {
    const char* label;
    bool firstOk;
    const char* firstBody;
    bool secondOk;
    uint32_t state;
    size_t requests;
    const char* p;
  };
  const TCase cases[] = {
      {"normal", true, "TidalLynx|2.0|1|600|Pq7|", true, gsHighScores, 2, "Pq7"},
      {"second fails silently", true, "a|b|c|d|Pq7|", false, gsHighScores, 2, "Pq7"},
      {"answer without p", true, "a|b|c|d|e", true, gsHighScores, 2, ""},
      {"empty answer", true, "", true, gsHighScores, 2, ""},
      {"no server", false, "", true, gsConnectFailed, 1, nullptr},
  };
  for (const TCase& c : cases) {
    FakePlatform sys;
    sys.HttpHandler = [&](const std::string& url) {
      return url.find("?version&") != std::string::npos ? Answer(c.firstOk, c.firstBody)
                                                        : Answer(c.secondOk, "whatever");
    };
    TSubmitOptions options;
    options.Host = "scores.test:99";
    EXPECT_EQ(SubmitResult(sys, "a=b", 4321, "x|score=9", options), c.state) << c.label;
    ASSERT_EQ(sys.HttpRequests.size(), c.requests) << c.label;
    EXPECT_EQ(sys.HttpRequests[0].Url,
              "http://scores.test:99/cgi/version.pl?version&prg=TidalLynx");
    if (c.requests == 2) {
      EXPECT_EQ(sys.HttpRequests[1].Url.rfind("http://scores.test:99" + kInf, 0), 0u) << c.label;
      EXPECT_EQ(DecodedRecordOf(sys.HttpRequests[1].Url),
                BuildResultRecord("a=b", 4321, c.p, "x|score=9"))
          << c.label;
    }
  }
}

TEST(ResultSubmission, EveryRequestCarriesTheHeadersAndIsBounded) {
  FakePlatform sys;
  sys.HttpHandler = [](const std::string&) { return Answer(true, "a|b|c|d|P|"); };
  TSubmitOptions options;
  options.ConnectTimeoutMs = 1500;
  options.TotalTimeoutMs = 2500;
  SubmitResult(sys, "n", 1, "", options);
  ASSERT_EQ(sys.HttpRequests.size(), 2u);
  // Without a host in the options the build's host is used.
  EXPECT_EQ(sys.HttpRequests[0].Url.rfind("http://" + ScoreHost() + "/", 0), 0u);
  for (const auto& request : sys.HttpRequests) {
    const auto& h = request.Options.Headers;
    for (const char* header : {"Accept: text/html, */*", "Content-Type: text/html",
                               "User-Agent: Mozilla/3.0 (compatible; Indy Library)"}) {
      EXPECT_NE(std::find(h.begin(), h.end(), header), h.end()) << header;
    }
    EXPECT_EQ(request.Options.ConnectTimeoutMs, 1500);
    EXPECT_EQ(request.Options.TotalTimeoutMs, 2500);
    EXPECT_GT(request.Options.MaxBodyBytes, 0u);
  }
  // The defaults never wait for ever.
  const THttpOptions defaults = SubmissionHttpOptions(TSubmitOptions{});
  EXPECT_GT(defaults.ConnectTimeoutMs, 0);
  EXPECT_GT(defaults.TotalTimeoutMs, 0);
  EXPECT_LE(defaults.TotalTimeoutMs, 30000);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "ClientAddress.h"
#include "LiveServer.h"
#include "PostgresInstance.h"
#include "RateLimiter.h"
#include "RawHttp.h"
#include "protocol/ResultCodec.h"

namespace {

const std::string kVersion = "/cgi/version.pl?version&prg=TidalLynx";
const std::string kSubmit = "/cgi/version.pl?hs&prg=TidalLynx&inf=";

TEST(RateLimiter, AllowsABurstOfNThenRefillsAtNPerMinute) {
  TRateLimiter limiter(6, 2);  // a token every 10 s; room for two keys
  struct TStep {
    const char* key;
    int64_t ms;
    bool allowed;
  };
  const TStep steps[] = {
      {"a", 0, true},
      {"a", 0, true},
      {"a", 0, true},
      {"a", 0, true},
      {"a", 0, true},
      {"a", 0, true},
      {"a", 1, false},
      {"b", 1, true},
      {"a", 9'999, false},
      {"a", 10'001, true},
      {"a", 10'002, false},
      // The table is full: "b" has refilled completely and makes room.
      {"c", 10'003, true},
      // "a" and "c" are both busy: a newcomer takes the place of "c", whose
      // bucket is full again first; "a", the busier, is still counted.
      {"d", 10'004, true},
      {"a", 10'005, false},
  };
  for (const TStep& s : steps) {
    EXPECT_EQ(limiter.Take(s.key, s.ms), s.allowed) << s.key << " at " << s.ms;
  }
  TRateLimiter unlimited(0);
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(unlimited.Take("a", 0));
}

TEST(AbuseLimits, ANewcomerIsAdmittedDuringAFloodOfFreshAddresses) {
  TScoreServerOptions options;
  options.RatePerMinute = 1;
  options.RateLimitKeys = 500;
  std::string error;
  options.TrustedProxies = {*TAddressRange::Parse("127.0.0.0/8", error)};
  TLiveServer server("flood", TBackend::Sqlite, options);
  ASSERT_GT(server.Port(), 0);
  // Request 2 with a bad result: the limiter counts it, the database is not touched.
  const std::string request = kSubmit + "x";
  const auto as = [&](const std::string& client) {
    return RawStatus(
        RawGet(server.Port(), request, "127.0.0.1", "X-Forwarded-For: " + client + "\r\n"));
  };
  // A proxy forwards a flood of fresh addresses, each asking once: the table
  // fills three times over while the newcomer arrives.
  std::atomic<bool> stop{false};
  std::atomic<int> sent{0};
  std::atomic<int> admitted{0};
  std::vector<std::thread> flooders;
  for (int t = 0; t < 2; ++t) {
    flooders.emplace_back([&, t] {
      for (int i = 0; i < 2000 && !stop; ++i) {
        const int status = as("10." + std::to_string(t) + "." + std::to_string(i / 250) + "." +
                              std::to_string(i % 250));
        ++sent;
        if (status == 400) ++admitted;
      }
    });
  }
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (sent < 1500 && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const int first = as("198.51.100.77");
  const int second = as("198.51.100.77");
  stop = true;
  for (auto& f : flooders) f.join();
  std::cout << "[ flood ] fresh addresses admitted: " << admitted << " of " << sent << "\n";
  EXPECT_EQ(admitted.load(), sent.load());
  EXPECT_EQ(first, 400) << "the newcomer was refused for lack of room";
  EXPECT_EQ(second, 429) << "the newcomer's own limit no longer holds";
}

TEST(ClientAddress, RangesAndForwardedForFromTrustedProxiesOnly) {
  std::string error;
  for (const char* bad : {"", "10.0.0.0/33", "10.0.0.0/", "fe80::/129", "proxy", "10.0.0.0/8x"}) {
    EXPECT_FALSE(TAddressRange::Parse(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  const std::vector<TAddressRange> trusted = {*TAddressRange::Parse("10.0.0.0/8", error),
                                              *TAddressRange::Parse("2001:db8::1", error)};
  struct TCase {
    const char* peer;
    const char* forwardedFor;
    const char* client;
  };
  const TCase cases[] = {
      {"203.0.113.9", "198.51.100.1", "203.0.113.9"},          // not a proxy: header ignored
      {"10.1.2.3", "198.51.100.1", "198.51.100.1"},            // the proxy's word
      {"10.1.2.3", "6.6.6.6, 198.51.100.1", "198.51.100.1"},   // the left part is a claim
      {"10.1.2.3", "198.51.100.1, 10.9.9.9", "198.51.100.1"},  // a chain of trusted proxies
      {"10.1.2.3", "", "10.1.2.3"},
      {"10.1.2.3", "not-an-address", "10.1.2.3"},
      {"10.1.2.3", "198.51.100.1, junk, 10.9.9.9", "10.9.9.9"},
      {"2001:db8::1", "2001:db8:aaaa::5", "2001:db8:aaaa::5"},
      {"::ffff:10.0.0.1", "192.0.2.4", "192.0.2.4"},  // IPv4 over an IPv6 socket
  };
  for (const TCase& c : cases) {
    const auto client = ResolveClient(*ParseAddress(c.peer), c.forwardedFor, trusted);
    EXPECT_EQ(AddressText(client), c.client) << c.peer << " / " << c.forwardedFor;
  }
  // An IPv6 host is counted by its /64.
  EXPECT_EQ(LimitKey(*ParseAddress("2001:db8:1:2:aaaa::1")),
            LimitKey(*ParseAddress("2001:db8:1:2:bbbb::9")));
}

TEST(AbuseLimits, EachRequestHasItsOwnBucketPerClientAndAFloodStoresLittle) {
  TScoreServerOptions options;
  options.RatePerMinute = 5;
  std::string error;
  options.TrustedProxies = {*TAddressRange::Parse("127.0.0.0/8", error)};
  TLiveServer server("rate", TBackend::Sqlite, options);
  ASSERT_GT(server.Port(), 0);
  std::string p;
  int refused = 0;
  for (int i = 0; i < 200; ++i) {
    const auto [status, body] = server.Get(kVersion);
    if (status == 200) p = ExtractChallenge(body);
    if (status == 429) ++refused;
  }
  EXPECT_EQ(refused, 195);
  EXPECT_EQ(server.Store().OpenChallengeCount(), 5);
  // Request 2 has a bucket of its own.
  EXPECT_EQ(server.Get(kSubmit + EncodeResult(BuildResultRecord("Own", 7, p, ""))).first, 200);
  // Another client behind the trusted proxy has buckets of its own; a claim
  // further left in the header is that client's own word and changes nothing.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(RawStatus(RawGet(server.Port(), kVersion, "127.0.0.1",
                               "X-Forwarded-For: 198.51.100.7\r\n")),
              200);
  }
  EXPECT_EQ(RawStatus(RawGet(server.Port(), kVersion, "127.0.0.1",
                             "X-Forwarded-For: 198.51.100.8, 198.51.100.7\r\n")),
            429);
  const auto [status, body] = server.Get(kVersion);
  EXPECT_EQ(status, 429);
  EXPECT_NE(body.find("too many requests"), std::string::npos);
  server.Stop();
  const auto log = server.Log();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.find("addr=198.51.100.7 via=127.0.0.1 ") != std::string::npos;
  }));
}

TEST(AbuseLimits, RefusesWhatTheGameNeverSends) {
  TLiveServer server("refusals");
  ASSERT_GT(server.Port(), 0);
  std::string manyHeaders;
  for (int i = 0; i < 62; ++i) manyHeaders += "X-" + std::to_string(i) + ": 1\r\n";
  const std::string head = "GET " + kVersion + " HTTP/1.1\r\nHost: t\r\nConnection: close\r\n";
  struct TCase {
    const char* label;
    std::string request;
    int status;
  };
  const TCase cases[] = {
      {"64 header lines", head + manyHeaders + "\r\n", 200},
      {"65 header lines", head + manyHeaders + "X-Last: 1\r\n\r\n", 431},
      {"headers beyond the buffer", head + "X-Big: " + std::string(40000, 'b') + "\r\n\r\n", 431},
      {"a range", head + "Range: bytes=0-1\r\n\r\n", 416},
      {"a body", head + "Content-Length: 4\r\n\r\nbody", 413},
      {"another method", "POST " + kVersion + " HTTP/1.1\r\nHost: t\r\nConnection: close\r\n\r\n",
       405},
      {"another HTTP", "GET " + kVersion + " HTTP/3.0\r\nHost: t\r\n\r\n", 505},
  };
  for (const TCase& c : cases) {
    TRawConnection connection(server.Port());
    connection.Send(c.request);
    EXPECT_EQ(RawStatus(connection.ReadAll(std::chrono::seconds(5))), c.status) << c.label;
  }
  EXPECT_EQ(server.Store().OpenChallengeCount(), 1);
}

TEST(AbuseLimits, HealthCheckFollowsTheDatabase) {
  TPostgresInstance pg;
  ASSERT_TRUE(pg.Ready()) << pg.Error();
  const std::string database = pg.CreateDatabase();
  std::string error;
  auto store = TScoreStore::Open(pg.Uri(database), 2, error);
  ASSERT_TRUE(store) << error;
  TScoreServer server(*store);
  const int port = server.Bind("127.0.0.1", 0);
  ASSERT_GT(port, 0);
  std::thread serving([&] { server.Run(); });
  // /healthz says the server answers; /readyz follows the database, probed
  // every second, so a change shows within a few seconds.
  const auto status = [&](const char* path) { return RawStatus(RawGet(port, path)); };
  const auto readyBecomes = [&](int wanted) {
    int got = 0;
    for (int attempt = 0; attempt < 100 && got != wanted; ++attempt) {
      got = status("/readyz");
      if (got != wanted) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return got;
  };
  EXPECT_EQ(status("/healthz"), 200);
  EXPECT_EQ(status("/readyz"), 200);
  ASSERT_TRUE(pg.Stop());
  EXPECT_EQ(readyBecomes(503), 503);
  EXPECT_EQ(status("/healthz"), 200);
  ASSERT_TRUE(pg.Start());
  EXPECT_EQ(readyBecomes(200), 200) << "no recovery after the database came back";
  server.Stop();
  serving.join();
}

}  // namespace

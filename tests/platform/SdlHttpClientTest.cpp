#include "platform/SdlHttpClient.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// A real HTTP server on a free loopback port, running on its own thread for
// the lifetime of the fixture.
class SdlHttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Get("/hello", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("p1|p2|p3", "text/html");
    });
    server_.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.get_header_value("User-Agent") + "\n" + req.get_header_value("Accept"),
                      "text/plain");
    });
    server_.Get("/login", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "session=abc123; Path=/");
      res.set_content("welcome", "text/plain");
    });
    server_.Get("/whoami", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    server_.Get("/moved", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/target");
      res.set_content("moved away", "text/plain");
    });
    server_.Get("/target", [this](const httplib::Request&, httplib::Response& res) {
      ++targetHits_;
      res.set_content("target", "text/plain");
    });
    server_.Get("/big", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(5000, 'x'), "text/plain");
    });
    server_.Get("/bigchunked", [](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [](size_t, httplib::DataSink& sink) {
        const std::string piece(1000, 'y');
        for (int i = 0; i < 5; ++i) sink.write(piece.data(), piece.size());
        sink.done();
        return true;
      });
    });
    server_.Get("/error", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("boom", "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(server_.is_running());
  }

  void TearDown() override {
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }

  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  static THttpOptions Quick() {
    THttpOptions o;
    o.ConnectTimeoutMs = 2000;
    o.TotalTimeoutMs = 5000;
    return o;
  }

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::atomic<int> targetHits_{0};
  SdlHttpClient client_;
};

TEST_F(SdlHttpClientTest, OutcomesOfSimpleExchanges) {
  struct Case {
    std::string path;
    size_t cap;
    bool ok;
    long status;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"/hello", 64 * 1024, true, 200, "p1|p2|p3"},
      {"/missing", 64 * 1024, false, 404, ""},
      {"/error", 64 * 1024, false, 500, "boom"},
      {"/big", 5000, true, 200, std::string(5000, 'x')},  // exactly at the cap
      {"/big", 4999, false, 200, ""},                     // announced length above the cap
      {"/bigchunked", 1500, false, 200, ""},              // streamed past the cap
  };
  for (const auto& c : cases) {
    THttpOptions o = Quick();
    o.MaxBodyBytes = c.cap;
    const THttpResult r = client_.Get(Url(c.path), o);
    EXPECT_EQ(r.Ok, c.ok) << c.path << " cap " << c.cap;
    EXPECT_EQ(r.Status, c.status) << c.path;
    if (c.ok || c.status >= 400) {
      EXPECT_EQ(r.Body, c.body) << c.path;
    } else {
      EXPECT_TRUE(r.Body.empty()) << c.path;  // nothing half-read is handed on
    }
    EXPECT_EQ(r.Error.empty(), c.ok) << c.path << ": " << r.Error;
  }
}

TEST_F(SdlHttpClientTest, SendsTheGivenRequestHeaders) {
  THttpOptions o = Quick();
  o.Headers = {"User-Agent: Mozilla/3.0 (compatible; Indy Library)", "Accept: text/html, */*"};
  const THttpResult r = client_.Get(Url("/echo"), o);
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(r.Body, "Mozilla/3.0 (compatible; Indy Library)\ntext/html, */*");
}

TEST_F(SdlHttpClientTest, KeepsCookiesBetweenRequestsInMemory) {
  EXPECT_EQ(client_.Get(Url("/whoami"), Quick()).Body, "");
  ASSERT_TRUE(client_.Get(Url("/login"), Quick()).Ok);
  EXPECT_EQ(client_.Get(Url("/whoami"), Quick()).Body, "session=abc123");
  // A second client (a new run of the game) starts without them.
  SdlHttpClient fresh;
  EXPECT_EQ(fresh.Get(Url("/whoami"), Quick()).Body, "");
}

TEST_F(SdlHttpClientTest, DoesNotFollowRedirects) {
  const THttpResult r = client_.Get(Url("/moved"), Quick());
  EXPECT_FALSE(r.Ok);  // a redirect is not the answer asked for
  EXPECT_EQ(r.Status, 302);
  EXPECT_EQ(r.Body, "moved away");
  EXPECT_EQ(targetHits_.load(), 0);
}

TEST(SdlHttpClient, RefusedConnectionFailsWithAReason) {
  // Bind a port, then close it: nothing listens there any more.
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  socklen_t len = sizeof addr;
  ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);
  close(fd);
  SdlHttpClient client;
  const THttpResult r =
      client.Get("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/", THttpOptions{});
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Status, 0);
  EXPECT_FALSE(r.Error.empty());
}

TEST(SdlHttpClient, ServerThatNeverAnswersEndsAtTheTotalTimeOut) {
  // The kernel completes the connection from the listen backlog; nobody ever
  // reads or writes, so only the time-out can end the request.
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(fd, 4), 0);
  socklen_t len = sizeof addr;
  ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);
  THttpOptions o;
  o.ConnectTimeoutMs = 200;
  o.TotalTimeoutMs = 300;
  SdlHttpClient client;
  const THttpResult r =
      client.Get("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/", o);
  close(fd);
  EXPECT_FALSE(r.Ok);
  EXPECT_NE(r.Error.find("imed out"), std::string::npos) << r.Error;
}

TEST(SdlHttpClient, RejectsUrlsThatAreNotHttp) {
  SdlHttpClient client;
  for (const std::string url : {"file:///etc/passwd", "ftp://127.0.0.1/", "", "not a url"}) {
    const THttpResult r = client.Get(url, THttpOptions{});
    EXPECT_FALSE(r.Ok) << url;
    EXPECT_TRUE(r.Body.empty()) << url;
    EXPECT_FALSE(r.Error.empty()) << url;
  }
}

}  // namespace

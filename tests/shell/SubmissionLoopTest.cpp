// Sending a result while the window lives on: a real HTTP server on loopback
// that answers slowly, or not at all, and the form's loop keeping on.

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/SdlHttpClient.h"
#include "shell/FormFixture.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr uint16_t kLeft = 37, kEnter = 13;

// A socket that is listened on and never accepted: the connection completes
// from the backlog and no answer ever comes.
class TSilentServer {
 public:
  TSilentServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::listen(fd_, 8) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
      port_ = ntohs(addr.sin_port);
    }
  }
  ~TSilentServer() { ::close(fd_); }
  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace

class SubmissionLoopTest : public MenuFixture {
 protected:
  void SetUp() override {
    MenuFixture::SetUp();
    server_.Get("/cgi/version.pl", [this](const httplib::Request& request, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(600));
      if (request.has_param("hs")) ++results_;
      res.set_content("TidalLynx|2.0|1|600|Pq7|", "text/html");
    });
    slowPort_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(server_.is_running());
  }
  void TearDown() override {
    MenuFixture::TearDown();
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }

  // The game's requests go to `port` on loopback through the real HTTP
  // client, with the options the game chose (its stop among them), the total
  // time-out shortened when `totalTimeoutMs` is given.
  void SendTo(int port, long totalTimeoutMs = 0) {
    sys_.HttpHandler = [this, port, totalTimeoutMs](const std::string& url) {
      // Called on the submission's thread, just after the request was noted.
      THttpOptions options = sys_.HttpRequests.back().Options;
      if (totalTimeoutMs > 0) options.TotalTimeoutMs = totalTimeoutMs;
      const size_t path = url.find('/', url.find("://") + 3);
      return client_.Get("http://127.0.0.1:" + std::to_string(port) + url.substr(path), options);
    };
  }

  // Answers "Yes" on the send question.
  void AnswerYes() {
    Start();
    state_.GameState = gsSubmitAsk;
    Key(kLeft);
    Key(kEnter);
    ASSERT_EQ(state_.GameState, gsSubmitting);
  }

  httplib::Server server_;
  std::thread thread_;
  int slowPort_ = 0;
  std::atomic<int> results_{0};
  SdlHttpClient client_;
};

TEST_F(SubmissionLoopTest, FramesAndEventsGoOnWhileTheServerIsSlowAndTheOutcomeIsTheSame) {
  const TSilentServer silent;
  ASSERT_GT(silent.Port(), 0);
  const struct {
    const char* what;
    int port;
    uint32_t outcome;
    int results;
  } cases[] = {
      {"slow server", slowPort_, gsHighScores, 1},
      {"silent server", silent.Port(), gsConnectFailed, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MenuFixture::TearDown();
    MenuFixture::SetUp();
    state_ = TShellState{};
    sound_.Calls.clear();
    results_ = 0;
    // A silent server ends at the time-out, shortened here from the game's 20 s.
    SendTo(c.port, 1500);
    AnswerYes();
    const int presents = sys_.PresentCount;
    int taken = 0;
    int passes = 0;
    const auto deadline = TClock::now() + std::chrono::seconds(20);
    while (state_.GameState == gsSubmitting && TClock::now() < deadline) {
      taken += TakesPointer();
      ComposeFrame();
      ++passes;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(state_.GameState, c.outcome);
    // Every pass of the wait drew a frame (but the one right after "Please
    // wait..." was drawn, too soon for the next) and took the pointer's moves.
    EXPECT_GE(passes, 10);
    EXPECT_EQ(sys_.PresentCount - presents, passes - 1);
    EXPECT_EQ(taken, passes);
    EXPECT_EQ(results_, c.results);
    ASSERT_FALSE(sound_.Calls.empty());
    EXPECT_EQ(sound_.Calls.back().Id, sndCheckMenu);
  }
}

TEST_F(SubmissionLoopTest, ClosingTheGameWhileTheServerIsSilentDoesNotWaitForItsTimeOut) {
  const TSilentServer silent;
  SendTo(silent.Port());
  AnswerYes();
  ComposeFrame();
  const auto before = TClock::now();
  form_.reset();  // the form's end, as when the process is told to quit
  // The game's own time-outs are 10 s to connect and 20 s in all.
  EXPECT_LT(TClock::now() - before, std::chrono::seconds(5));
  ASSERT_EQ(sys_.HttpRequests.size(), 1u);
}

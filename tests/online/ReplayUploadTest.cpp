// The replay upload after an accepted result: the game's real HTTP client
// against a loopback server that checks what arrives byte for byte and gives
// answers the real score server never gives. The upload to the real server,
// verified and ranked, is SubmitEndToEndTest's.

#include "online/ReplayUpload.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/GameStates.h"
#include "online/ResultSubmission.h"
#include "platform/SdlPlatform.h"

namespace {

// Characters a query value must carry escaped, and the replay's own magic and
// NUL bytes, so that both have to arrive unchanged.
const std::string kChallenge = "Pq7+/&= %";

struct TUpload {
  std::string P;
  std::string ContentType;
  std::string Body;
};

// The score server's two result requests and the replay endpoint; answers as
// a case asks and notes every upload.
class TLoopbackServer {
 public:
  TLoopbackServer(int resultStatus, std::deque<int> uploadStatuses)
      : resultStatus_(resultStatus), uploadStatuses_(std::move(uploadStatuses)) {
    server_.Get("/cgi/version.pl", [this](const httplib::Request& req, httplib::Response& res) {
      if (req.has_param("hs")) {
        ++results;
        res.status = resultStatus_;
      }
      res.set_content("TidalLynx|2.0|1|600|" + kChallenge + "|", "text/html");
    });
    server_.Post("/api/replays", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex_);
      uploads.push_back({req.get_param_value("p"), req.get_header_value("Content-Type"), req.body});
      res.status = uploadStatuses_.empty() ? 500 : uploadStatuses_.front();
      if (!uploadStatuses_.empty()) uploadStatuses_.pop_front();
      res.set_content(R"({"id":7,"status":"pending"})", "application/json");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~TLoopbackServer() {
    server_.stop();
    thread_.join();
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

  std::atomic<int> results{0};
  std::vector<TUpload> uploads;  // read after the submission ended

 private:
  int resultStatus_;
  std::deque<int> uploadStatuses_;
  std::mutex mutex_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

std::string ReplayBytes(size_t size) {
  std::string bytes = {'T', 'L', 'R', '\x1a', '\0', '\x01', '\xff'};
  bytes.resize(size, '\0');
  for (size_t i = 7; i < size; ++i) bytes[i] = static_cast<char>(i * 31 % 251);
  return bytes;
}

uint32_t Outcome(TResultSubmission& submission) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!submission.Finished() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return submission.Finished() ? submission.Outcome() : 0xFFFFFFFFu;
}

TEST(ReplayUpload, FollowsAnAcceptedResultWithTheReplaysBytes) {
  struct TCase {
    const char* label;
    int resultStatus;
    std::deque<int> uploadStatuses;
    size_t replaySize;
    uint32_t outcome;
    size_t uploads;
  };
  const TCase cases[] = {
      {"taken, at the size limit", 200, {202}, kMaxReplayUploadBytes, gsHighScores, 1},
      {"200 is not 202", 200, {200}, 900, gsUploadFailed, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.label);
    TLoopbackServer server(c.resultStatus, c.uploadStatuses);
    SdlPlatform sys;
    TSubmitOptions options;
    options.Host = server.Host();
    options.ConnectTimeoutMs = 2000;
    options.TotalTimeoutMs = 5000;
    const std::string replay = ReplayBytes(c.replaySize);
    TResultSubmission submission(sys, "Ann", 4321, "", options);
    submission.Then(ReplayUploadStep(replay));
    submission.Start();
    EXPECT_EQ(Outcome(submission), c.outcome);
    EXPECT_EQ(server.results.load(), 1);
    ASSERT_EQ(server.uploads.size(), c.uploads);
    for (const TUpload& upload : server.uploads) {
      EXPECT_EQ(upload.P, kChallenge);
      EXPECT_EQ(upload.ContentType, "application/x-tidal-lynx-replay");
      EXPECT_TRUE(upload.Body == replay) << upload.Body.size() << " bytes arrived";
    }
  }
}

}  // namespace

// Raw bytes from a client through the whole HTTP layer of the score server,
// sent over a loopback connection to a server running in this process.
// Properties: nothing crashes, every connection is ended, every answer carries
// a status the server documents, and nothing is stored unless the answer is
// the "|ok|" of an accepted result.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <thread>

#include "FuzzCheck.h"
#include "ScoreServer.h"
#include "ScoreStore.h"

namespace {

// Ours (see the man page) and those the HTTP library answers on its own: 400
// for what is not HTTP, 413 and 414 and 431 for what is too large, 417 for an
// expectation it does not meet, 505 for an HTTP version it does not speak.
// 100: the interim answer to Expect: 100-continue, now that a request is
// answered once its head (and any body) is whole. 202, 409 and 415: the
// replay upload's answers.
const std::set<int> kDocumentedStatuses = {100, 200, 202, 400, 403, 404, 405, 409, 413,
                                           414, 415, 416, 417, 429, 431, 503, 505};

// One server for the whole run, in a scratch folder.
class TFuzzServer {
 public:
  TFuzzServer() : database_("scores.db") {
    std::string error;
    store_ = TScoreStore::Open(database_.Path(), error);
    TL_FUZZ_CHECK(store_ != nullptr, "the scratch database opens");
    TScoreServerOptions options;
    options.RequestDeadlineSeconds = 2;
    options.IdleTimeoutSeconds = 1;
    options.Threads = 2;
    server_ = std::make_unique<TScoreServer>(*store_, options);
    port_ = server_->Bind("127.0.0.1", 0);
    TL_FUZZ_CHECK(port_ > 0, "the server binds a loopback port");
    thread_ = std::thread([this] { server_->Run(); });
  }
  ~TFuzzServer() {
    server_->Stop();
    thread_.join();
    server_.reset();
    store_.reset();
    std::error_code ignored;
    for (const char* suffix : {"-wal", "-shm"}) {
      std::filesystem::remove(database_.Path() + suffix, ignored);
    }
  }
  TFuzzServer(const TFuzzServer&) = delete;
  TFuzzServer& operator=(const TFuzzServer&) = delete;

  TScoreStore& Store() { return *store_; }
  // A new loopback connection to the server.
  int Connect() const {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port_));
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    TL_FUZZ_CHECK(fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0,
                  "the server takes a connection");
    return fd;
  }

 private:
  fuzz::TScratchFile database_;
  std::unique_ptr<TScoreStore> store_;
  std::unique_ptr<TScoreServer> server_;
  std::thread thread_;
  int port_ = -1;
};

// Sends `request` and reads everything until the server closes; false when
// the server keeps the connection open past any deadline.
bool Exchange(int fd, std::string_view request, std::string& answer) {
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  bool writing = !request.empty();
  if (!writing) shutdown(fd, SHUT_WR);
  while (std::chrono::steady_clock::now() < end) {
    pollfd p{fd, static_cast<short>(POLLIN | (writing ? POLLOUT : 0)), 0};
    // The fuzzer's timer interrupts waits; that is no failure.
    if (poll(&p, 1, 100) < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (writing && (p.revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t sent = send(fd, request.data(), request.size(), MSG_NOSIGNAL);
      if (sent > 0) request.remove_prefix(static_cast<size_t>(sent));
      if (sent < 0 && errno != EAGAIN && errno != EINTR) request = {};
      if (request.empty()) {
        shutdown(fd, SHUT_WR);
        writing = false;
      }
    }
    if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
      char buffer[16384];
      const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return true;
      if (got > 0) answer.append(buffer, static_cast<size_t>(got));
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFuzzServer server;
  const int64_t storedBefore = server.Store().ResultCount();
  const int fd = server.Connect();
  // The input ends as a client's request does, with a blank line; a client
  // that stops half-way is left to the idle time-out (tested elsewhere).
  std::string request(reinterpret_cast<const char*>(data), size);
  request += "\r\n\r\n";
  std::string answer;
  const bool ended = Exchange(fd, request, answer);
  // Reset rather than linger in TIME_WAIT: a run makes many connections.
  const linger reset{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  close(fd);
  TL_FUZZ_CHECK(ended, "the server ends every connection");

  // Every status line: at the start, and after the blank line that ends a head.
  TL_FUZZ_CHECK(answer.empty() || answer.rfind("HTTP/1.", 0) == 0, "answers are HTTP");
  size_t at = 0;
  while (at != std::string::npos && at < answer.size()) {
    if (answer.compare(at, 7, "HTTP/1.") == 0 && at + 12 <= answer.size()) {
      const int status = std::atoi(answer.substr(at + 9, 3).c_str());
      TL_FUZZ_CHECK(kDocumentedStatuses.count(status) == 1, "only documented statuses");
    }
    at = answer.find("\r\n\r\n", at);
    if (at != std::string::npos) at += 4;
  }
  const int64_t storedAfter = server.Store().ResultCount();
  if (answer.find("|ok|") == std::string::npos) {
    TL_FUZZ_CHECK(storedAfter == storedBefore, "a refused request stores nothing");
  }
  return 0;
}

#pragma once

// Test helper: HTTP over a plain loopback socket, from a chosen source address
// (127.0.0.2 and friends reach the same server as a different client), for
// requests no polite client library would send.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>

class TRawConnection {
 public:
  TRawConnection(int port, const char* source = "127.0.0.1") {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source, &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
      Close();
    }
  }
  ~TRawConnection() { Close(); }
  TRawConnection(const TRawConnection&) = delete;
  TRawConnection& operator=(const TRawConnection&) = delete;

  bool Open() const { return fd_ >= 0; }
  // False once the server has closed its side (or on any other failure).
  bool Send(std::string_view data) {
    while (fd_ >= 0 && !data.empty()) {
      const ssize_t sent = send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
      if (sent <= 0) return false;
      data.remove_prefix(static_cast<size_t>(sent));
    }
    return fd_ >= 0;
  }
  // Everything the server sends until it closes, or until `timeout` passes;
  // `closed` tells which.
  std::string ReadAll(std::chrono::milliseconds timeout, bool* closed = nullptr) {
    std::string out;
    const auto end = std::chrono::steady_clock::now() + timeout;
    bool ended = false;
    while (fd_ >= 0 && !ended) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      pollfd p{fd_, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char buffer[16384];
      const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
      if (got <= 0) {
        ended = true;
      } else {
        out.append(buffer, static_cast<size_t>(got));
      }
    }
    if (closed) *closed = ended;
    return out;
  }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

// The status code of a raw answer ("HTTP/1.1 200 OK..."), 0 when there is none.
inline int RawStatus(const std::string& answer) {
  if (answer.rfind("HTTP/1.", 0) != 0 || answer.size() < 12) return 0;
  return std::atoi(answer.substr(9, 3).c_str());
}

// One GET on a fresh connection; the whole answer, or "" when none came in time.
inline std::string RawGet(int port, const std::string& target, const char* source = "127.0.0.1",
                          const std::string& extraHeaders = "",
                          std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  TRawConnection c(port, source);
  if (!c.Send("GET " + target + " HTTP/1.1\r\nHost: t\r\nConnection: close\r\n" + extraHeaders +
              "\r\n")) {
    return "";
  }
  return c.ReadAll(timeout);
}

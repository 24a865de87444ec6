#include "MetricsServer.h"

#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr const char* kContentType = "text/plain; version=0.0.4; charset=utf-8";

MHD_Result Send(MHD_Connection* connection, unsigned status, const std::string& body,
                const char* type) {
  MHD_Response* response = MHD_create_response_from_buffer(
      body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
  if (!response) return MHD_NO;
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
  const MHD_Result queued = MHD_queue_response(connection, status, response);
  MHD_destroy_response(response);
  return queued;
}

// A listening socket on host:port; -1 and `error` set when none.
int Listen(const std::string& host, int port, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int looked = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (looked != 0) {
    error = gai_strerror(looked);
    return -1;
  }
  error = "no address";
  for (const addrinfo* a = found; a; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && listen(fd, 64) == 0) {
      freeaddrinfo(found);
      return fd;
    }
    error = std::strerror(errno);
    close(fd);
  }
  freeaddrinfo(found);
  return -1;
}

}  // namespace

TMetricsServer::TMetricsServer(TServerMetrics& metrics, TScoreStore& store)
    : metrics_(metrics), store_(store) {}

TMetricsServer::~TMetricsServer() {
  Stop();
}

int TMetricsServer::Start(const std::string& host, int port, std::string& error) {
  const int fd = Listen(host, port, error);
  if (fd < 0) return -1;
  sockaddr_storage bound{};
  socklen_t size = sizeof bound;
  getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size);
  const int boundPort =
      ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port
                                        : reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
  daemon_ = MHD_start_daemon(
      MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL, 0, nullptr, nullptr,
      [](void* cls, MHD_Connection* connection, const char* url, const char* method, const char*,
         const char*, size_t* uploadSize, void**) {
        auto* self = static_cast<TMetricsServer*>(cls);
        if (*uploadSize > 0) {
          *uploadSize = 0;
          return MHD_YES;
        }
        if (std::strcmp(method, "GET") != 0 && std::strcmp(method, "HEAD") != 0) {
          return Send(connection, 405, "only GET and HEAD are served\n", "text/plain");
        }
        if (std::strcmp(url, "/metrics") != 0) {
          return Send(connection, 404, "not found: this port serves /metrics only\n", "text/plain");
        }
        return Send(connection, 200, self->metrics_.Render(self->store_), kContentType);
      },
      this, MHD_OPTION_LISTEN_SOCKET, fd, MHD_OPTION_CONNECTION_LIMIT, 16u,
      MHD_OPTION_CONNECTION_TIMEOUT, 10u, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
      static_cast<size_t>(16 * 1024), MHD_OPTION_END);
  if (!daemon_) {
    close(fd);
    error = "cannot start the listener";
    return -1;
  }
  return boundPort;
}

void TMetricsServer::Stop() {
  if (!daemon_) return;
  // The library closes the listening socket with the daemon.
  MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
}

#include "ScoreServer.h"

#include <linux/tcp.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "DatabaseWorkers.h"
#include "ReplayApi.h"
#include "RequestLog.h"
#include "ScoreService.h"

// The HTTP layer is libmicrohttpd: its worker threads each wait on many
// connections through epoll, every connection reads into a fixed memory pool
// (which caps the request line and headers), and idle connections time out.
// On top of it this file adds the per-address connection cap, the whole-request
// deadline and the log.

namespace {

using TClock = std::chrono::steady_clock;

// Request line and headers of one request fit in this; a larger request is
// answered 414 or 431 by the library and the connection closed.
constexpr size_t kConnectionMemory = 32 * 1024;
// How often open connections are checked against the request deadline.
constexpr auto kDeadlineCheck = std::chrono::milliseconds(200);
// On Stop, how long requests in progress get to finish.
constexpr auto kDrainTime = std::chrono::seconds(2);
constexpr auto kDrainAfterDatabase = std::chrono::milliseconds(500);
// Requests waiting for a database thread; beyond either bound they are
// answered 503 at once rather than wait past the request deadline.
constexpr size_t kMaxQueuedForDatabase = 512;
constexpr auto kMaxDatabaseQueueWait = std::chrono::milliseconds(500);
constexpr auto kProbeInterval = std::chrono::seconds(1);

int64_t Micros(TClock::duration d) {
  return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
}

// Bytes the peer has sent on this socket (0 when unknown).
uint64_t BytesReceived(int fd) {
  tcp_info info{};
  socklen_t size = sizeof info;
  if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0) return 0;
  if (size < offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received) return 0;
  return info.tcpi_bytes_received;
}

// Why a request ended without its answer being sent whole.
const char* FailureText(MHD_RequestTerminationCode code, bool answered) {
  switch (code) {
    case MHD_REQUEST_TERMINATED_TIMEOUT_REACHED:
      return "idle-timeout";
    case MHD_REQUEST_TERMINATED_DAEMON_SHUTDOWN:
      return "shutdown";
    case MHD_REQUEST_TERMINATED_READ_ERROR:
    case MHD_REQUEST_TERMINATED_CLIENT_ABORT:
      return answered ? "answer-not-delivered" : "incomplete";
    case MHD_REQUEST_TERMINATED_COMPLETED_OK:
    case MHD_REQUEST_TERMINATED_WITH_ERROR:
      break;
  }
  // The library refused the request itself (too large, or not HTTP).
  return answered ? "answer-not-delivered" : "malformed-or-too-large";
}

}  // namespace

struct TScoreServer::TImpl {
  // One open connection.
  struct TConnection {
    int Fd = -1;
    TClientAddress Peer;
    std::string CountedKey;    // empty for a trusted proxy or a refused connection
    TClock::time_point Since;  // opened, or its last answer sent
    bool Refused = false;
    bool DeadlinePassed = false;
    int Requests = 0;  // request lines seen
    int Served = 0;    // answers completed
    // Holding a slot: counted in the total until closed or evicted.
    bool Evicted = false;
    // A whole request (headers read) is being answered: never evicted.
    bool Busy = false;
    // Between requests with nothing of the next one yet (bytes seen at the
    // last answer); the header clock starts when its first bytes arrive.
    bool Idle = false;
    uint64_t BytesAtAnswer = 0;
    bool HeaderTimeout = false;      // closed for it
    TClock::time_point HeaderClock;  // a whole request is due headerTimeout after this
  };
  // One request, from its request line to the end of its answer.
  struct TRequest {
    TConnection* Connection = nullptr;
    TClock::time_point Start;
    std::string Target;  // for the log
    size_t TargetLength = 0;
    std::string Method = "-";
    std::string Client;
    int Status = 0;
    bool HeadersRead = false;
    TScoreRequest Request;
    bool Posted = false;               // handed to the database threads
    std::optional<TWebAnswer> Answer;  // from them, under `mutex`
    // A replay upload whose body is being read, and whether all of it is in.
    bool Reading = false;
    bool BodyRead = false;
  };

  TImpl(TScoreStore& store, TScoreServerOptions serverOptions)
      : options(std::move(serverOptions)),
        service(store, {options.ChallengeLifetimeSeconds, options.RatePerMinute,
                        options.RateLimitKeys, options.MaxOpenChallengesPerAddress, options.Clock,
                        options.ReplayUploaded, options.Metrics}) {}

  int64_t Now() const {
    if (options.Clock) return options.Clock();
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }

  bool Trusted(const TClientAddress& address) const {
    for (const TAddressRange& range : options.TrustedProxies) {
      if (range.Contains(address)) return true;
    }
    return false;
  }

  void Log(const std::string& fields) {
    if (options.Log) options.Log(LogTimestamp(Now()) + " " + fields);
  }

  void Opened(MHD_Connection* connection, void** socketContext) {
    auto* c = new TConnection;
    *socketContext = c;
    c->Since = TClock::now();
    c->HeaderClock = c->Since;
    const auto* fd = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    const auto* address = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    c->Fd = fd ? fd->connect_fd : -1;
    if (address) c->Peer = AddressOf(address->client_addr).value_or(TClientAddress{});
    std::lock_guard lock(mutex);
    connections.insert(c);
    const std::string key = Trusted(c->Peer) ? std::string() : LimitKey(c->Peer);
    const char* refusal = nullptr;
    if (!key.empty() && perAddress[key] >= options.MaxConnectionsPerAddress) {
      refusal = "too-many-connections";
    } else if (!MakeRoom(c)) {
      refusal = "server-full";
    }
    if (refusal) {
      // End it at once; the library sees the end and closes it.
      c->Refused = true;
      if (c->Fd >= 0) shutdown(c->Fd, SHUT_RDWR);
      Log("addr=" + AddressText(c->Peer) + " event=refused reason=" + refusal);
      return;
    }
    ++admitted;
    if (key.empty()) return;
    ++perAddress[key];
    c->CountedKey = key;
  }

  // Makes room for one more connection when every slot is taken: the oldest
  // connection that has not sent a whole request yet goes first, then the
  // oldest idle one between requests; one being answered is never touched.
  // False when every slot is busy answering.
  bool MakeRoom(const TConnection* newcomer) {
    if (admitted < maxConnections) return true;
    TConnection* victim = nullptr;
    const auto rank = [](const TConnection* c) { return c->Served == 0 ? 0 : 1; };
    for (TConnection* c : connections) {
      if (c == newcomer || c->Refused || c->Evicted || c->Busy || c->Fd < 0) continue;
      if (!victim || rank(c) < rank(victim) ||
          (rank(c) == rank(victim) && c->HeaderClock < victim->HeaderClock)) {
        victim = c;
      }
    }
    if (!victim) return false;
    victim->Evicted = true;
    --admitted;
    shutdown(victim->Fd, SHUT_RDWR);
    return true;
  }

  void Closed(void** socketContext) {
    auto* c = static_cast<TConnection*>(*socketContext);
    if (!c) return;
    *socketContext = nullptr;
    bool deadlinePassed = false;
    bool noRequest = false;
    bool headerTimeout = false;
    bool evicted = false;
    {
      std::lock_guard lock(mutex);
      connections.erase(c);
      if (!c->Refused && !c->Evicted) --admitted;
      if (!c->CountedKey.empty() && --perAddress[c->CountedKey] <= 0) {
        perAddress.erase(c->CountedKey);
      }
      deadlinePassed = c->DeadlinePassed;
      noRequest = c->Requests == 0 && !c->Refused;
      headerTimeout = c->HeaderTimeout;
      evicted = c->Evicted && !headerTimeout && !deadlinePassed;
    }
    if (evicted) {
      Log("addr=" + AddressText(c->Peer) + " event=closed reason=server-full");
    } else if (headerTimeout) {
      Log("addr=" + AddressText(c->Peer) + " event=closed reason=header-timeout");
    } else if (deadlinePassed) {
      Log("addr=" + AddressText(c->Peer) + " event=closed reason=request-deadline");
    } else if (noRequest && c->Fd >= 0 && BytesReceived(c->Fd) > 0) {
      // Bytes but no request line: a malformed request (or one cut short).
      Log("addr=" + AddressText(c->Peer) + " event=closed reason=malformed-request");
    }
    delete c;
  }

  TRequest* Started(const char* uri, MHD_Connection* connection) {
    auto* r = new TRequest;
    r->Start = TClock::now();
    const std::string_view target = uri ? uri : "";
    r->TargetLength = target.size();
    r->Target = LoggedTarget(target);
    const auto* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    r->Connection = info ? static_cast<TConnection*>(info->socket_context) : nullptr;
    if (r->Connection) r->Client = AddressText(r->Connection->Peer);
    std::lock_guard lock(mutex);
    if (r->Connection) {
      ++r->Connection->Requests;
      if (r->Connection->Idle) {
        r->Connection->Idle = false;
        r->Connection->HeaderClock = r->Start;
      }
    }
    ++inProgress;
    return r;
  }

  MHD_Result Answer(MHD_Connection* connection, TRequest& r, const char* url, const char* method,
                    const char* uploadData, size_t* uploadSize) {
    if (r.Status != 0) {
      // Body bytes after the answer has been queued: dropped unread.
      *uploadSize = 0;
      return MHD_YES;
    }
    if (r.HeadersRead) {
      if (r.Reading) {
        if (*uploadSize > 0) {
          // Kept up to the cap; past it only counted, and refused at the end.
          std::string& body = r.Request.Body;
          if (body.size() + *uploadSize > kMaxReplayUpload) {
            r.Request.BodyTooLarge = true;
          } else {
            body.append(uploadData, *uploadSize);
          }
          *uploadSize = 0;
          return MHD_YES;
        }
        r.Reading = false;
        r.BodyRead = true;
      }
      return Respond(connection, r, uploadSize);
    }
    r.HeadersRead = true;
    if (r.Connection) {
      std::lock_guard lock(mutex);
      r.Connection->Busy = true;
    }
    TScoreRequest& request = r.Request;
    request.Method = method ? method : "";
    request.Path = url ? url : "";
    request.TargetLength = r.TargetLength;
    MHD_get_connection_values(
        connection, MHD_GET_ARGUMENT_KIND,
        [](void* cls, MHD_ValueKind, const char* key, const char* value) {
          static_cast<TScoreRequest*>(cls)->Query.emplace_back(
              key ? key : "", value ? std::optional<std::string>(value) : std::nullopt);
          return MHD_YES;
        },
        &request);
    std::string forwardedFor;
    request.HeaderCount = static_cast<size_t>(MHD_get_connection_values(
        connection, MHD_HEADER_KIND,
        [](void* cls, MHD_ValueKind, const char* key, const char* value) {
          if (key && value && strcasecmp(key, "X-Forwarded-For") == 0) {
            auto& joined = *static_cast<std::string*>(cls);
            if (!joined.empty()) joined += ',';
            joined += value;
          }
          return MHD_YES;
        },
        &forwardedFor));
    request.HasRange =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_RANGE) != nullptr;
    const char* length =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    request.HasBody = (length && std::strspn(length, "0") != std::strlen(length)) ||
                      MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                  MHD_HTTP_HEADER_TRANSFER_ENCODING) != nullptr;
    TClientAddress client;
    if (r.Connection)
      client = ResolveClient(r.Connection->Peer, forwardedFor, options.TrustedProxies);
    request.ClientKey = LimitKey(client);
    r.Client = request.ClientAddress = AddressText(client);
    if (r.Connection && !(client == r.Connection->Peer)) {
      r.Client += " via=" + AddressText(r.Connection->Peer);
    }
    r.Method = request.Method;
    if (const char* type = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                       MHD_HTTP_HEADER_CONTENT_TYPE)) {
      request.ContentType = type;
    }
    if (request.HasBody && request.Method == "POST" && IsReplayPath(request.Path)) {
      // A replay upload: its body is read (up to the cap) before the answer,
      // unless its announced length is already too large.
      const size_t digits = length ? std::strlen(length) : 0;
      request.BodyTooLarge =
          digits > 9 || (digits > 0 && std::strtoull(length, nullptr, 10) > kMaxReplayUpload);
      if (!request.BodyTooLarge) {
        r.Reading = true;
        return MHD_YES;
      }
    }
    // A request without a body is answered on the next call, when the library
    // has read it whole: an answer queued now would close the connection.
    // One with a body is refused at once, and the connection closed.
    if (!request.HasBody) return MHD_YES;
    return Respond(connection, r, uploadSize);
  }

  MHD_Result Respond(MHD_Connection* connection, TRequest& r, size_t* uploadSize) {
    *uploadSize = 0;
    std::optional<TWebAnswer> ready;
    {
      std::lock_guard lock(mutex);
      ready.swap(r.Answer);
    }
    if (!ready && (!r.Request.HasBody || r.BodyRead) && TScoreService::NeedsDatabase(r.Request)) {
      if (r.Posted) return MHD_YES;  // not back from the database threads yet
      // Off to the database threads; the connection waits without holding
      // this thread, and is resumed with its answer.
      MHD_suspend_connection(connection);
      r.Posted = true;
      const bool posted = workers->Post([this, connection, &r](bool inTime) {
        TWebAnswer answer = inTime ? service.Handle(r.Request) : TScoreService::Busy();
        {
          std::lock_guard lock(mutex);
          r.Answer = std::move(answer);
        }
        MHD_resume_connection(connection);
      });
      if (posted) return MHD_YES;
      MHD_resume_connection(connection);
      ready = TScoreService::Busy();
    }
    const TWebAnswer answer = ready ? std::move(*ready) : service.Handle(r.Request);
    r.Status = answer.Status;
    MHD_Response* response = MHD_create_response_from_buffer(
        answer.Body.size(), const_cast<char*>(answer.Body.data()), MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.ContentType.c_str());
    for (const auto& [name, value] : answer.Headers) {
      MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    if (answer.Status == 405) {
      MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW,
                              r.Request.Path == "/api/replays" ? "POST" : "GET, HEAD");
    }
    if (answer.Status == 429) MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER, "60");
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(answer.Status), response);
    MHD_destroy_response(response);
    return queued;
  }

  void Completed(TRequest* r, MHD_RequestTerminationCode code) {
    if (!r) return;
    const auto now = TClock::now();
    bool deadlinePassed = false;
    {
      std::lock_guard lock(mutex);
      if (TConnection* c = r->Connection) {
        c->Since = now;
        c->Busy = false;
        c->Idle = true;
        ++c->Served;
        c->BytesAtAnswer = c->Fd >= 0 ? BytesReceived(c->Fd) : 0;
        deadlinePassed = c->DeadlinePassed;
      }
      --inProgress;
    }
    wake.notify_all();
    if (options.Metrics && r->Status != 0) options.Metrics->CountRequest(r->Status);
    std::string line = "addr=" + r->Client + " method=" + LogValue(r->Method) +
                       " path=" + LogValue(r->Target) +
                       " status=" + (r->Status ? std::to_string(r->Status) : std::string("-")) +
                       " us=" + std::to_string(Micros(now - r->Start));
    if (r->Status == 0 || code != MHD_REQUEST_TERMINATED_COMPLETED_OK) {
      line += " error=";
      line += deadlinePassed ? "request-deadline" : FailureText(code, r->Status != 0);
    }
    Log(line);
    delete r;
  }

  // Ends every connection whose request has run past the deadline, or that
  // has not sent a whole request within the header time-out.
  void EnforceDeadline() {
    const auto now = TClock::now();
    const auto limit = now - std::chrono::seconds(options.RequestDeadlineSeconds);
    const auto headersDue = now - std::chrono::seconds(headerSeconds);
    std::lock_guard lock(mutex);
    for (TConnection* c : connections) {
      if (c->DeadlinePassed || c->HeaderTimeout || c->Fd < 0) continue;
      if (c->Idle && BytesReceived(c->Fd) > c->BytesAtAnswer) {
        c->Idle = false;  // the next request has begun to arrive
        c->HeaderClock = now;
      }
      if (c->Since < limit) {
        c->DeadlinePassed = true;
        shutdown(c->Fd, SHUT_RDWR);
      } else if (!c->Busy && !c->Idle && c->HeaderClock < headersDue) {
        c->HeaderTimeout = true;
        shutdown(c->Fd, SHUT_RDWR);
      }
    }
  }

  TScoreServerOptions options;
  TScoreService service;
  std::unique_ptr<TDatabaseWorkers> workers;
  int listenFd = -1;
  MHD_Daemon* daemon = nullptr;
  std::mutex mutex;
  std::condition_variable wake;
  bool stopRequested = false;
  int inProgress = 0;
  std::unordered_set<TConnection*> connections;
  std::unordered_map<std::string, int> perAddress;
  int admitted = 0;        // connections holding a slot
  int maxConnections = 1;  // slots in all
  int headerSeconds = 3;
};

TScoreServer::TScoreServer(TScoreStore& store, TScoreServerOptions options)
    : impl_(std::make_unique<TImpl>(store, std::move(options))) {}

TScoreServer::~TScoreServer() {
  if (impl_->listenFd >= 0) close(impl_->listenFd);
}

int TScoreServer::Bind(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.empty() ? nullptr : host.c_str(), std::to_string(port).c_str(), &hints,
                  &found) != 0) {
    errno = EADDRNOTAVAIL;
    return -1;
  }
  int savedErrno = EADDRNOTAVAIL;
  for (const addrinfo* a = found; a; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
      savedErrno = errno;
      continue;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && listen(fd, 1024) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size) == 0) {
      freeaddrinfo(found);
      if (impl_->listenFd >= 0) close(impl_->listenFd);
      impl_->listenFd = fd;
      return ntohs(bound.ss_family == AF_INET6
                       ? reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port
                       : reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
    }
    savedErrno = errno;
    close(fd);
  }
  freeaddrinfo(found);
  errno = savedErrno;
  return -1;
}

bool TScoreServer::Run() {
  TImpl& s = *impl_;
  {
    std::lock_guard lock(s.mutex);
    if (s.stopRequested || s.listenFd < 0) return s.stopRequested;
  }
  const unsigned threads = static_cast<unsigned>(std::max(1, s.options.Threads));
  // Leave descriptors for the database and the log whatever the process may open.
  // The library's own limit sits above ours: a connection we evict still
  // holds its descriptor until the library has closed it.
  rlim_t descriptors = 1'000'000;
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY) {
    descriptors = files.rlim_cur > 64 ? files.rlim_cur - 64 : 1;
  }
  s.maxConnections = static_cast<int>(std::clamp<rlim_t>(
      std::min<rlim_t>(static_cast<rlim_t>(std::max(1, s.options.MaxConnections)),
                       descriptors * 4 / 5),
      1, 1'000'000));
  const auto maxConnections = static_cast<unsigned>(
      std::min<rlim_t>(descriptors, static_cast<rlim_t>(s.maxConnections) * 5 / 4 + 16));
  s.headerSeconds =
      std::max(1, std::min(s.options.HeaderTimeoutSeconds, s.options.RequestDeadlineSeconds));
  // An idle connection is closed at the idle time-out or the deadline, whichever is first.
  const int idleSeconds =
      std::max(1, std::min(s.options.IdleTimeoutSeconds, s.options.RequestDeadlineSeconds));
  s.workers = std::make_unique<TDatabaseWorkers>(std::max(1, s.options.DatabaseThreads),
                                                 kMaxQueuedForDatabase, kMaxDatabaseQueueWait);
  s.daemon = MHD_start_daemon(
      MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_ITC | MHD_ALLOW_SUSPEND_RESUME, 0, nullptr, nullptr,
      [](void* cls, MHD_Connection* connection, const char* url, const char* method, const char*,
         const char* uploadData, size_t* uploadSize, void** context) {
        auto* r = static_cast<TImpl::TRequest*>(*context);
        if (!r) return MHD_NO;
        return static_cast<TImpl*>(cls)->Answer(connection, *r, url, method, uploadData,
                                                uploadSize);
      },
      &s, MHD_OPTION_LISTEN_SOCKET, s.listenFd, MHD_OPTION_THREAD_POOL_SIZE,
      threads > 1 ? threads : 0u, MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
      MHD_OPTION_CONNECTION_LIMIT, maxConnections, MHD_OPTION_CONNECTION_TIMEOUT,
      static_cast<unsigned>(idleSeconds), MHD_OPTION_NOTIFY_CONNECTION,
      +[](void* cls, MHD_Connection* connection, void** socketContext,
          MHD_ConnectionNotificationCode code) {
        auto* impl = static_cast<TImpl*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
          impl->Opened(connection, socketContext);
        } else {
          impl->Closed(socketContext);
        }
      },
      &s, MHD_OPTION_URI_LOG_CALLBACK,
      +[](void* cls, const char* uri, MHD_Connection* connection) -> void* {
        return static_cast<TImpl*>(cls)->Started(uri, connection);
      },
      &s, MHD_OPTION_NOTIFY_COMPLETED,
      +[](void* cls, MHD_Connection*, void** context, MHD_RequestTerminationCode code) {
        static_cast<TImpl*>(cls)->Completed(static_cast<TImpl::TRequest*>(*context), code);
        *context = nullptr;
      },
      &s, MHD_OPTION_END);
  if (!s.daemon) {
    s.workers->Stop();
    return false;
  }
  // Readiness: one probe of the database a second, on a thread of its own so
  // /readyz never waits for it.
  bool probing = true;
  std::mutex probeMutex;
  std::condition_variable probeWake;
  std::thread prober([&] {
    std::unique_lock probeLock(probeMutex);
    while (probing) {
      probeLock.unlock();
      s.service.ProbeDatabase();
      probeLock.lock();
      probeWake.wait_for(probeLock, kProbeInterval, [&] { return !probing; });
    }
  });

  std::unique_lock lock(s.mutex);
  while (!s.stopRequested) {
    s.wake.wait_for(lock, kDeadlineCheck);
    lock.unlock();
    s.EnforceDeadline();
    lock.lock();
  }
  // No new connections; let the requests in progress finish, then close the rest.
  const MHD_socket listening = MHD_quiesce_daemon(s.daemon);
  s.wake.wait_for(lock, kDrainTime, [&] { return s.inProgress == 0; });
  lock.unlock();
  // Every suspended connection is resumed (those still queued answered 503)
  // before the library may stop; their answers get a moment to go out.
  s.workers->Stop();
  lock.lock();
  s.wake.wait_for(lock, kDrainAfterDatabase, [&] { return s.inProgress == 0; });
  lock.unlock();
  {
    std::lock_guard probeLock(probeMutex);
    probing = false;
  }
  probeWake.notify_all();
  prober.join();
  MHD_stop_daemon(s.daemon);
  s.daemon = nullptr;
  if (listening != MHD_INVALID_SOCKET) close(listening);
  s.listenFd = -1;
  return true;
}

void TScoreServer::Stop() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopRequested = true;
  }
  impl_->wake.notify_all();
}

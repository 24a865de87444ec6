#include "ServerMetrics.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ScoreStore.h"

namespace {

constexpr const char* kResultNames[] = {"accepted", "refused", "rate_limited", "banned"};
constexpr const char* kReplayNames[] = {"uploaded", "verified", "rejected"};

void Header(std::ostringstream& out, const char* name, const char* type, const char* help) {
  out << "# HELP " << name << ' ' << help << "\n# TYPE " << name << ' ' << type << '\n';
}

// The shortest text that reads back as the same double.
std::string Number(double value) {
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  return ec == std::errc() ? std::string(text, end) : std::string("NaN");
}

int64_t UnixNow() {
  return static_cast<int64_t>(std::time(nullptr));
}

// The process's own figures, from /proc/self.
void ProcessFigures(std::ostringstream& out) {
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  std::ifstream statFile("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
  const size_t close = stat.rfind(')');
  if (close != std::string::npos && ticks > 0) {
    // Fields after the command: state is field 3; utime 14, stime 15, starttime 22.
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    double utime = 0;
    double stime = 0;
    double start = 0;
    for (int index = 3; fields >> field && index <= 22; ++index) {
      if (index == 14) utime = std::stod(field);
      if (index == 15) stime = std::stod(field);
      if (index == 22) start = std::stod(field);
    }
    Header(out, "process_cpu_seconds_total", "counter",
           "User and system CPU time spent in seconds.");
    out << "process_cpu_seconds_total " << Number((utime + stime) / ticks) << '\n';
    std::ifstream system("/proc/stat");
    std::string key;
    double bootTime = 0;
    while (system >> key) {
      if (key == "btime") {
        system >> bootTime;
        break;
      }
    }
    Header(out, "process_start_time_seconds", "gauge",
           "Start time of the process since unix epoch in seconds.");
    out << "process_start_time_seconds " << Number(bootTime + start / ticks) << '\n';
  }
  std::ifstream statm("/proc/self/statm");
  double pagesVirtual = 0;
  double pagesResident = 0;
  if (statm >> pagesVirtual >> pagesResident) {
    const double page = static_cast<double>(sysconf(_SC_PAGESIZE));
    Header(out, "process_virtual_memory_bytes", "gauge", "Virtual memory size in bytes.");
    out << "process_virtual_memory_bytes " << Number(pagesVirtual * page) << '\n';
    Header(out, "process_resident_memory_bytes", "gauge", "Resident memory size in bytes.");
    out << "process_resident_memory_bytes " << Number(pagesResident * page) << '\n';
  }
  std::error_code ec;
  int64_t fds = 0;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    ++fds;
  }
  Header(out, "process_open_fds", "gauge", "Number of open file descriptors.");
  out << "process_open_fds " << fds << '\n';
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
    Header(out, "process_max_fds", "gauge", "Maximum number of open file descriptors.");
    out << "process_max_fds "
        << (files.rlim_cur == RLIM_INFINITY ? std::string("+Inf") : std::to_string(files.rlim_cur))
        << '\n';
  }
}

}  // namespace

void TServerMetrics::CountRequest(int status) {
  if (status >= 100 && status < static_cast<int>(requests_.size())) {
    requests_[static_cast<size_t>(status)].fetch_add(1, std::memory_order_relaxed);
  }
}

void TServerMetrics::CountResult(TResult outcome) {
  results_[static_cast<size_t>(outcome)].fetch_add(1, std::memory_order_relaxed);
}

void TServerMetrics::CountReplay(TReplay status) {
  replays_[static_cast<size_t>(status)].fetch_add(1, std::memory_order_relaxed);
}

void TServerMetrics::ObserveVerify(double seconds) {
  for (size_t i = 0; i < kVerifyBuckets.size(); ++i) {
    if (seconds <= kVerifyBuckets[i]) {
      verifyBuckets_[i].fetch_add(1, std::memory_order_relaxed);
      break;
    }
  }
  verifyCount_.fetch_add(1, std::memory_order_relaxed);
  verifyMicros_.fetch_add(static_cast<uint64_t>(std::llround(std::max(seconds, 0.0) * 1e6)),
                          std::memory_order_relaxed);
}

void TServerMetrics::CountDbError() {
  dbErrors_.fetch_add(1, std::memory_order_relaxed);
}

std::string TServerMetrics::Render(TScoreStore& store) {
  std::ostringstream out;
  Header(out, "http_requests_total", "counter", "HTTP answers sent, by status code.");
  for (size_t code = 100; code < requests_.size(); ++code) {
    const uint64_t count = requests_[code].load(std::memory_order_relaxed);
    if (count > 0) out << "http_requests_total{code=\"" << code << "\"} " << count << '\n';
  }
  Header(out, "results_total", "counter", "Submitted results, by outcome.");
  for (size_t i = 0; i < results_.size(); ++i) {
    out << "results_total{outcome=\"" << kResultNames[i] << "\"} "
        << results_[i].load(std::memory_order_relaxed) << '\n';
  }
  Header(out, "replays_total", "counter",
         "Replays uploaded to this process and verified or rejected by its workers.");
  for (size_t i = 0; i < replays_.size(); ++i) {
    out << "replays_total{status=\"" << kReplayNames[i] << "\"} "
        << replays_[i].load(std::memory_order_relaxed) << '\n';
  }
  Header(out, "replay_verify_seconds", "histogram", "Time to play one replay again and judge it.");
  uint64_t cumulative = 0;
  for (size_t i = 0; i < kVerifyBuckets.size(); ++i) {
    cumulative += verifyBuckets_[i].load(std::memory_order_relaxed);
    out << "replay_verify_seconds_bucket{le=\"" << Number(kVerifyBuckets[i]) << "\"} " << cumulative
        << '\n';
  }
  const uint64_t count = std::max(cumulative, verifyCount_.load(std::memory_order_relaxed));
  out << "replay_verify_seconds_bucket{le=\"+Inf\"} " << count << '\n';
  out << "replay_verify_seconds_sum "
      << Number(static_cast<double>(verifyMicros_.load(std::memory_order_relaxed)) / 1e6) << '\n';
  out << "replay_verify_seconds_count " << count << '\n';
  const TReplayQueue queue = store.ReplayQueue();
  if (!queue.Available) CountDbError();
  if (queue.Available) {
    Header(out, "replay_queue_depth", "gauge", "Replays waiting for verification.");
    out << "replay_queue_depth " << queue.Depth << '\n';
    Header(out, "replay_queue_oldest_seconds", "gauge",
           "Age of the oldest replay waiting for verification (0 when none waits).");
    out << "replay_queue_oldest_seconds "
        << (queue.Depth > 0 ? std::max<int64_t>(UnixNow() - queue.OldestUploaded, 0) : 0) << '\n';
  }
  Header(out, "db_errors_total", "counter",
         "Database calls that failed: refused, or the database could not be reached.");
  out << "db_errors_total " << dbErrors_.load(std::memory_order_relaxed) << '\n';
  Header(out, "db_connections_in_use", "gauge", "Database connections busy with a call.");
  out << "db_connections_in_use " << store.ConnectionsInUse() << '\n';
  ProcessFigures(out);
  return out.str();
}

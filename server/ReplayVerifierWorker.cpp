#include "ReplayVerifierWorker.h"

#include <unistd.h>

#include <chrono>

#include "RequestLog.h"
#include "replay/ReplayVerifier.h"

TReplayJudgement JudgeReplay(const TReplayClaim& claim, double cpuSeconds) {
  TVerifyLimits limits;
  limits.MaxCpuSeconds = cpuSeconds;
  const TVerdict v = VerifyReplay(claim.Data.data(), claim.Data.size(), limits);
  switch (v.Kind) {
    case TVerdictKind::Ok:
      break;
    case TVerdictKind::Desync:
      return {false, "desync at frame " + std::to_string(v.FirstBadFrame)};
    case TVerdictKind::Mismatch:
      return {false, "replay does not play to its own end: " + v.Message};
    case TVerdictKind::OtherVersion:
      return {false, "logic version: " + v.Message};
    case TVerdictKind::OverLimit:
      return {false, "verification limit: " + v.Message};
    case TVerdictKind::Unreadable:
    case TVerdictKind::Truncated:
    case TVerdictKind::BadCrc:
      return {false, "malformed: " + v.Message};
  }
  if (v.PlayedScore != claim.Score) {
    return {false, "score mismatch: the replay reaches " + std::to_string(v.PlayedScore) +
                       ", the result claims " + std::to_string(claim.Score)};
  }
  // The game records the name it sends as the table entry's name; the
  // options' player name is accepted as well.
  if (v.PlayerName != claim.Name && v.PlayerName != claim.PlayerName) {
    return {false, "name mismatch: the replay was played by \"" + v.PlayerName + "\""};
  }
  return {true, {}};
}

TReplayVerifierWorker::TReplayVerifierWorker(TScoreStore& store, TReplayWorkerOptions options)
    : store_(store), options_(std::move(options)) {
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  ownerPrefix_ = std::string(host) + ":" + std::to_string(getpid()) + ":";
  const int threads = std::max(1, options_.Threads);
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this, i] { Work(i); });
}

TReplayVerifierWorker::~TReplayVerifierWorker() {
  Stop();
}

void TReplayVerifierWorker::Notify() {
  {
    std::lock_guard lock(mutex_);
    ++notified_;
  }
  wake_.notify_one();
}

void TReplayVerifierWorker::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) {
    if (t.joinable()) t.join();
  }
  threads_.clear();
}

void TReplayVerifierWorker::Work(int index) {
  uint64_t seen = 0;
  while (true) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      seen = notified_;
    }
    // Each claim gets an owner of its own: a mark written under an old claim
    // of this same thread can never pass for a newer one.
    const std::string owner =
        ownerPrefix_ + std::to_string(index) + ":" + std::to_string(++serial_);
    const std::optional<TReplayClaim> claim = store_.ClaimReplay(owner, options_.LeaseMs);
    if (claim) {
      const auto started = std::chrono::steady_clock::now();
      const TReplayJudgement judgement = JudgeReplay(*claim, options_.CpuSecondsPerReplay);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
      const bool written = store_.SettleReplay(*claim, judgement.Verified, judgement.Reason);
      if (options_.Metrics && written) {
        options_.Metrics->ObserveVerify(took.count());
        options_.Metrics->CountReplay(judgement.Verified ? TServerMetrics::TReplay::Verified
                                                         : TServerMetrics::TReplay::Rejected);
      }
      if (options_.Log) {
        const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
        options_.Log(LogTimestamp(now) + " replay=" + std::to_string(claim->Id) + " event=" +
                     (written ? (judgement.Verified ? "verified" : "rejected") : "not-settled") +
                     (judgement.Reason.empty() ? "" : " reason=" + LogValue(judgement.Reason)));
      }
      continue;
    }
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(options_.PollMs),
                   [&] { return stopping_ || notified_ != seen; });
  }
}

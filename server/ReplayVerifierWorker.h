#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ScoreStore.h"
#include "metrics/ServerMetrics.h"

struct TReplayWorkerOptions {
  // Worker threads of this process (SQLite: one is enough and the default).
  int Threads = 1;
  // How long a claim holds before another worker may take the replay again.
  int64_t LeaseMs = 60'000;
  // CPU time one verification may take (of the worker's own thread).
  double CpuSecondsPerReplay = 20.0;
  // How often an idle worker looks for work (an upload here wakes it at once).
  int PollMs = 250;
  // Receives one line per settled replay; nothing when empty.
  std::function<void(const std::string&)> Log;
  // Counts verifications and their time for /metrics; none when null.
  TServerMetrics* Metrics = nullptr;
};

// What playing a claimed replay again found, against its accepted result.
struct TReplayJudgement {
  bool Verified = false;
  std::string Reason;  // why it was rejected: "desync at frame N", "score mismatch: ..."
};

// Plays the replay with the game's own logic and compares its end with the
// result it was uploaded for: the score and the name must be the result's.
TReplayJudgement JudgeReplay(const TReplayClaim& claim, double cpuSeconds);

// The verifier workers of one server process: threads of their own, never
// the HTTP threads, that claim pending replays from the store, play them and
// write the final mark.
class TReplayVerifierWorker {
 public:
  TReplayVerifierWorker(TScoreStore& store, TReplayWorkerOptions options);
  ~TReplayVerifierWorker();
  TReplayVerifierWorker(const TReplayVerifierWorker&) = delete;
  TReplayVerifierWorker& operator=(const TReplayVerifierWorker&) = delete;

  // Wakes an idle worker: a replay was just uploaded.
  void Notify();
  // Lets the verifications in progress finish (their marks are written) and
  // joins the threads.
  void Stop();

 private:
  void Work(int index);

  TScoreStore& store_;
  TReplayWorkerOptions options_;
  std::string ownerPrefix_;
  std::atomic<uint64_t> serial_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  uint64_t notified_ = 0;
  std::vector<std::thread> threads_;
};

#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The threads that talk to the database, apart from the HTTP threads, so a
// slow or locked database holds up only the requests that need it. Jobs wait
// in a bounded queue; one that waited too long, or is still queued at Stop,
// is run with `inTime` false and must answer without the database.
class TDatabaseWorkers {
 public:
  using TJob = std::function<void(bool inTime)>;

  TDatabaseWorkers(int threads, size_t maxQueued, std::chrono::milliseconds maxWait);
  ~TDatabaseWorkers();
  TDatabaseWorkers(const TDatabaseWorkers&) = delete;
  TDatabaseWorkers& operator=(const TDatabaseWorkers&) = delete;

  // False (and the job not taken) when the queue is full or stopped.
  bool Post(TJob job);
  // Every job posted has run when this returns; queued ones out of time.
  void Stop();

 private:
  struct TQueued {
    TJob Job;
    std::chrono::steady_clock::time_point Posted;
  };
  void Work();

  size_t maxQueued_;
  std::chrono::milliseconds maxWait_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<TQueued> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

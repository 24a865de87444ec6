#include "DatabaseWorkers.h"

#include <algorithm>

TDatabaseWorkers::TDatabaseWorkers(int threads, size_t maxQueued, std::chrono::milliseconds maxWait)
    : maxQueued_(maxQueued), maxWait_(maxWait) {
  for (int i = 0; i < std::max(1, threads); ++i) threads_.emplace_back([this] { Work(); });
}

TDatabaseWorkers::~TDatabaseWorkers() {
  Stop();
}

bool TDatabaseWorkers::Post(TJob job) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || queue_.size() >= maxQueued_) return false;
    queue_.push_back({std::move(job), std::chrono::steady_clock::now()});
  }
  wake_.notify_one();
  return true;
}

void TDatabaseWorkers::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) {
    if (t.joinable()) t.join();
  }
}

void TDatabaseWorkers::Work() {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    TQueued next = std::move(queue_.front());
    queue_.pop_front();
    const bool inTime = !stopping_ && std::chrono::steady_clock::now() - next.Posted <= maxWait_;
    lock.unlock();
    next.Job(inTime);
    lock.lock();
  }
}

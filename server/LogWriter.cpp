#include "LogWriter.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Bytes written to the descriptor at once: a pipe that polls writable takes
// this much without blocking.
constexpr size_t kChunk = PIPE_BUF;

}  // namespace

TLogWriter::TLogWriter(int fd, size_t maxQueuedBytes)
    : fd_(fd), maxQueuedBytes_(maxQueuedBytes), thread_([this] { Run(); }) {}

TLogWriter::~TLogWriter() {
  Stop();
}

void TLogWriter::Write(const std::string& line) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    if (queuedBytes_ + line.size() + 1 > maxQueuedBytes_) {
      ++dropped_;
      ++droppedTotal_;
      return;
    }
    queue_.push_back(line + "\n");
    queuedBytes_ += line.size() + 1;
  }
  wake_.notify_one();
}

uint64_t TLogWriter::Stop(int drainMs, const std::string& lastLine) {
  {
    std::lock_guard lock(mutex_);
    if (!stopping_) {
      stopping_ = true;
      stopByMs_ = NowMs() + drainMs;
      if (!lastLine.empty()) {
        queue_.push_back(lastLine + "\n");
        queuedBytes_ += lastLine.size() + 1;
      }
    }
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  std::lock_guard lock(mutex_);
  return droppedTotal_ + queue_.size();
}

bool TLogWriter::WriteAll(const std::string& text, int64_t giveUpMs) {
  size_t done = 0;
  while (done < text.size()) {
    int64_t wait = 200;
    if (giveUpMs > 0) {
      wait = giveUpMs - NowMs();
      if (wait <= 0) return false;
    }
    pollfd p{fd_, POLLOUT, 0};
    const int ready = poll(&p, 1, static_cast<int>(wait > 200 ? 200 : wait));
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) {
      std::lock_guard lock(mutex_);
      // A stop while the reader is stuck: from now on the drain time counts.
      if (stopping_ && giveUpMs == 0) giveUpMs = stopByMs_;
      continue;
    }
    if (p.revents & (POLLERR | POLLNVAL)) return false;
    const size_t size = text.size() - done < kChunk ? text.size() - done : kChunk;
    const ssize_t written = write(fd_, text.data() + done, size);
    if (written < 0 && errno != EINTR && errno != EAGAIN) return false;
    if (written > 0) done += static_cast<size_t>(written);
  }
  return true;
}

void TLogWriter::Run() {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [&] { return stopping_ || !queue_.empty() || dropped_ > 0; });
    if (queue_.empty() && dropped_ == 0) return;  // stopping, nothing left
    // Take a batch of whole lines, a chunk's worth, plus a note of what was dropped.
    std::string batch;
    while (!queue_.empty() && (batch.empty() || batch.size() + queue_.front().size() <= kChunk)) {
      batch += queue_.front();
      queuedBytes_ -= queue_.front().size();
      queue_.pop_front();
    }
    const uint64_t dropped = dropped_;
    dropped_ = 0;
    const int64_t giveUp = stopping_ ? stopByMs_ : 0;
    lock.unlock();
    if (dropped > 0) {
      batch += "tidal-lynx-scores: event=log-dropped lines=" + std::to_string(dropped) + "\n";
    }
    const bool written = WriteAll(batch, giveUp);
    lock.lock();
    if (!written) {
      // The reader is gone or stuck past the drain time: give up on the rest.
      droppedTotal_ += queue_.size();
      queue_.clear();
      queuedBytes_ = 0;
      if (stopping_) return;
    }
  }
}

#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

// Writes log lines to a file descriptor from a thread of its own, so a slow
// or stuck reader (a full pipe to a log collector) never holds up whoever
// logs. Lines wait in a bounded queue; when it is full, new lines are dropped
// and counted, and the count is written as a line of its own once there is
// room again. 256 KiB hold some 2,500 request lines.
class TLogWriter {
 public:
  explicit TLogWriter(int fd, size_t maxQueuedBytes = 256 << 10);
  // Stop(std::chrono::seconds(1)) if not stopped yet.
  ~TLogWriter();
  TLogWriter(const TLogWriter&) = delete;
  TLogWriter& operator=(const TLogWriter&) = delete;

  // Queues one line (without its newline); never blocks on the descriptor.
  void Write(const std::string& line);
  // Writes what is queued and then `lastLine` (when not empty; it is queued
  // even when the queue is full, so the last word is never dropped for want
  // of room), for at most `drainMs`, then ends the thread; lines that could
  // not be written by then are lost. Returns the lines dropped in all.
  uint64_t Stop(int drainMs = 1000, const std::string& lastLine = {});

 private:
  void Run();
  // Writes `text` whole unless `giveUpMs` (monotonic) passes; false then.
  bool WriteAll(const std::string& text, int64_t giveUpMs);

  int fd_;
  size_t maxQueuedBytes_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> queue_;
  size_t queuedBytes_ = 0;
  uint64_t dropped_ = 0;  // since the last report
  uint64_t droppedTotal_ = 0;
  bool stopping_ = false;
  int64_t stopByMs_ = 0;
  std::thread thread_;
};

// The server's log on a pipe whose reader has stopped reading, as with a stuck
// log collector: serving goes on, and the lost lines are counted.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "RawHttp.h"
#include "support/ScratchFolder.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// What arrives on `fd` within `timeout`, up to `until` when given (or the end).
std::string ReadPipe(int fd, std::chrono::milliseconds timeout, const std::string& until = "") {
  std::string out;
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (until.empty() || out.find(until) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char buffer[65536];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    out.append(buffer, static_cast<size_t>(got));
  }
  return out;
}

TEST(ServerLog, APipeNobodyReadsNeverStopsServing) {
  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  const TScratchFolder scratch("log");
  const std::string dir = scratch.String();
  std::vector<std::string> args = {TL_SERVER_BIN,      "--listen", "127.0.0.1:0", "--db",
                                   dir + "/scores.db", "--rate",   "0/min"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, (dir + "/stderr.txt").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, TL_SERVER_BIN, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  // The port from the first line; after that the pipe is never read again.
  const std::string marker = "listening on http://127.0.0.1:";
  const std::string start = ReadPipe(fds[0], 10s, "/ (database");
  const size_t at = start.find(marker);
  ASSERT_NE(at, std::string::npos) << start;
  const int port = std::stoi(start.substr(at + marker.size()));

  // 5,000 requests, far more lines than the pipe holds, each answered within a second.
  std::atomic<int> answered{0};
  std::atomic<bool> missed{false};
  std::vector<std::thread> clients;
  for (int t = 0; t < 2; ++t) {
    clients.emplace_back([&] {
      for (int i = 0; i < 2500 && !missed; ++i) {
        if (RawStatus(RawGet(port, "/healthz", "127.0.0.1", "", 1000ms)) == 200) {
          ++answered;
        } else {
          missed = true;
        }
      }
    });
  }
  for (auto& c : clients) c.join();
  EXPECT_EQ(answered.load(), 5000) << "the server stalled on its log";

  // Stopped, it still ends promptly and says how many lines it dropped.
  kill(pid, SIGTERM);
  const std::string rest = ReadPipe(fds[0], 10s);
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(rest.find("event=log-dropped lines="), std::string::npos) << rest.substr(0, 500);
  EXPECT_NE(rest.find("tidal-lynx-scores: stopped"), std::string::npos);
  close(fds[0]);
}

}  // namespace

#pragma once

// Test helper: runs the tidal-lynx-scores program as a real process on a free
// loopback port with a database in a scratch folder.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/FileBytes.h"

extern char** environ;

class TServerProcess {
 public:
  // Starts the server; Port() is 0 when it did not come up (Log() tells why).
  // `database`: a --db value; scores.db in `folder` when empty. `extra`: more options.
  TServerProcess(const std::string& binary, const std::filesystem::path& folder,
                 const std::string& database = {}, const std::vector<std::string>& extra = {})
      : database_(folder / "scores.db"), logFile_(folder / "server.log") {
    std::filesystem::create_directories(folder);
    std::vector<std::string> args = {binary, "--listen", "127.0.0.1:0", "--db",
                                     database.empty() ? database_.string() : database};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    if (pid_ == 0) return;
    // Wait (bounded) for the line that names the bound port.
    const std::string marker = "listening on http://127.0.0.1:";
    for (int attempt = 0; attempt < 400 && port_ == 0; ++attempt) {
      const std::string log = Log();
      const size_t at = log.find(marker);
      if (at != std::string::npos && log.find('/', at + marker.size()) != std::string::npos) {
        port_ = std::stoi(log.substr(at + marker.size()));
        break;
      }
      if (!Running()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }
  ~TServerProcess() { Stop(SIGKILL); }
  TServerProcess(const TServerProcess&) = delete;
  TServerProcess& operator=(const TServerProcess&) = delete;

  int Port() const { return port_; }
  pid_t Pid() const { return pid_; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  const std::filesystem::path& Database() const { return database_; }
  std::string Log() const { return test_kit::ReadText(logFile_); }

  // Sends `signal` and waits for the exit; returns the exit status, or -1 when
  // the process had to be killed or was not running.
  int Stop(int signal = SIGTERM) {
    if (pid_ == 0) return -1;
    kill(pid_, signal);
    int status = 0;
    for (int attempt = 0; attempt < 400; ++attempt) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = 0;
    return -1;
  }

 private:
  bool Running() {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = 0;
      return false;
    }
    return true;
  }

  std::filesystem::path database_;
  std::filesystem::path logFile_;
  pid_t pid_ = 0;
  int port_ = 0;
};

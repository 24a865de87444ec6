#pragma once

// Test helper: a PostgreSQL server of its own for a test run. initdb into a
// scratch folder, pg_ctl on a free loopback port with the socket in that
// folder, run as the unprivileged `postgres` user when the tests run as root
// (the server refuses root). Stopped and removed at the end; a watchdog child
// stops it too if the test process dies first. (The folder is named so that
// the scratch cleanup of the test binaries leaves it to this class.)

#include <arpa/inet.h>
#include <fcntl.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/FileBytes.h"

class TPostgresInstance {
 public:
  TPostgresInstance() {
    namespace fs = std::filesystem;
    static std::atomic<int> serial{0};
    // The postgres user must be able to reach the folder: a private TMPDIR will not do.
    fs::path parent = fs::temp_directory_path();
    if ((fs::status(parent).permissions() & fs::perms::others_exec) == fs::perms::none) {
      parent = "/tmp";
    }
    folder_ = parent / ("tl-pg" + std::to_string(++serial) + "-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    bin_ = FindBinaries();
    if (bin_.empty()) {
      error_ = "no PostgreSQL server binaries (pg_config --bindir, /usr/lib/postgresql/*/bin)";
      return;
    }
    if (geteuid() == 0) {
      const passwd* user = getpwnam("postgres");
      if (!user) {
        error_ = "running as root, but there is no postgres user to run the server as";
        return;
      }
      runAs_ = "runuser -u postgres -- ";
      if (chown(folder_.c_str(), user->pw_uid, user->pw_gid) != 0) {
        error_ = "cannot hand the scratch folder to the postgres user";
        return;
      }
    }
    port_ = FreePort();
    StartWatchdog();
    if (!Shell(bin_ + "/initdb -D '" + (folder_ / "data").string() +
               "' -U postgres -A trust -E UTF8 --no-locale --no-sync")) {
      error_ = "initdb failed: " + ReadLog();
      return;
    }
    if (!Start()) {
      error_ = "pg_ctl start failed: " + ReadLog();
      return;
    }
    ready_ = true;
  }
  ~TPostgresInstance() {
    if (!bin_.empty() && !Shell(PgCtl() + " -m immediate stop") && postmaster_ > 0) {
      kill(postmaster_, SIGQUIT);
    }
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    // Only now: the watchdog finds nothing left to stop.
    if (watchdog_ >= 0) close(watchdog_);
  }
  TPostgresInstance(const TPostgresInstance&) = delete;
  TPostgresInstance& operator=(const TPostgresInstance&) = delete;

  bool Ready() const { return ready_; }
  const std::string& Error() const { return error_; }
  int Port() const { return port_; }
  // The server's main process (its backends are its children); 0 when not running.
  pid_t Postmaster() const { return postmaster_; }

  // A connection URI of database `name` over the socket in the scratch folder.
  std::string Uri(const std::string& name) const {
    return "postgresql://postgres@/" + name + "?host=" + folder_.string() +
           "&port=" + std::to_string(port_);
  }
  // A new empty database; its name, or "" when it could not be made.
  std::string CreateDatabase() {
    static std::atomic<int> count{0};
    const std::string name = "scores" + std::to_string(++count);
    return Sql("postgres", "CREATE DATABASE " + name) ? name : std::string();
  }
  // One instance for the whole test process, started on first use.
  static TPostgresInstance& Shared() {
    static TPostgresInstance instance;
    return instance;
  }
  // Runs one statement in database `name`.
  bool Sql(const std::string& name, const std::string& statement) {
    PGconn* conn = PQconnectdb(Uri(name).c_str());
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    bool ok = PQstatus(conn) == CONNECTION_OK;
    if (ok) {
      PGresult* result = PQexec(conn, statement.c_str());
      ok = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
      PQclear(result);
    }
    PQfinish(conn);
    return ok;
  }

  // The first column of every row of a query in database `name`.
  std::vector<std::string> Column(const std::string& name, const std::string& query) {
    std::vector<std::string> values;
    PGconn* conn = PQconnectdb(Uri(name).c_str());
    if (PQstatus(conn) == CONNECTION_OK) {
      PGresult* result = PQexec(conn, query.c_str());
      for (int i = 0; PQresultStatus(result) == PGRES_TUPLES_OK && i < PQntuples(result); ++i) {
        values.emplace_back(PQgetvalue(result, i, 0));
      }
      PQclear(result);
    }
    PQfinish(conn);
    return values;
  }

  // SIGSTOP (or SIGCONT) to the server and every process it started: a
  // database that still accepts connections but answers nothing.
  void SignalAll(int signal) {
    if (postmaster_ <= 0) return;
    std::vector<pid_t> pids = {postmaster_};
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
      std::ifstream stat(entry.path() / "stat");
      std::string text;
      std::getline(stat, text);
      const size_t close = text.rfind(')');
      if (close == std::string::npos) continue;
      std::istringstream fields(text.substr(close + 2));
      char state = 0;
      pid_t parent = 0;
      fields >> state >> parent;
      if (parent == postmaster_) pids.push_back(std::stoi(entry.path().filename().string()));
    }
    for (const pid_t pid : pids) {
      if (pid > 0) kill(pid, signal);
    }
  }

  // Fast shutdown (connections are cut off) and start on the same port.
  bool Stop() { return Shell(PgCtl() + " -m fast stop"); }
  bool Start() {
    const bool started = Shell(PgCtl() + " -l '" + (folder_ / "server.log").string() +
                               "' -o \"-p " + std::to_string(port_) + " -k '" + folder_.string() +
                               "' -c listen_addresses=127.0.0.1 -c synchronous_commit=off\" start");
    std::ifstream pidFile(folder_ / "data" / "postmaster.pid");
    pidFile >> postmaster_;
    return started;
  }

 private:
  static std::string FindBinaries() {
    namespace fs = std::filesystem;
    std::string dir;
    if (FILE* pipe = popen("pg_config --bindir 2>/dev/null", "r")) {
      char line[512] = {};
      if (fgets(line, sizeof line, pipe)) dir = line;
      pclose(pipe);
      while (!dir.empty() && (dir.back() == '\n' || dir.back() == ' ')) dir.pop_back();
    }
    if (!dir.empty() && fs::exists(fs::path(dir) / "initdb")) return dir;
    // pg_config may come from a client-only package: take the newest server.
    std::string best;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
      const fs::path bin = entry.path() / "bin";
      if (fs::exists(bin / "initdb") && fs::exists(bin / "pg_ctl") &&
          (best.empty() || std::stoi(entry.path().filename().string()) >
                               std::stoi(fs::path(best).parent_path().filename().string()))) {
        best = bin.string();
      }
    }
    return best;
  }

  static int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
  }

  std::string PgCtl() const {
    return bin_ + "/pg_ctl -w -s -t 30 -D '" + (folder_ / "data").string() + "'";
  }
  bool Shell(const std::string& command) const {
    const std::string line =
        runAs_ + command + " >> '" + (folder_ / "tool.log").string() + "' 2>&1";
    return std::system(line.c_str()) == 0;
  }
  std::string ReadLog() const {
    std::stringstream text;
    for (const char* name : {"tool.log", "server.log"}) text << test_kit::ReadText(folder_ / name);
    return text.str();
  }

  // A child that waits for this process to end (its pipe closes) and then
  // makes sure the server is gone, even when the test process crashed.
  void StartWatchdog() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    const std::string pidFile = (folder_ / "data" / "postmaster.pid").string();
    const std::string command =
        runAs_ + PgCtl() + " -m immediate stop >/dev/null 2>&1 || kill -QUIT \"$(head -n1 '" +
        pidFile + "' 2>/dev/null)\" 2>/dev/null; rm -rf '" + folder_.string() + "'";
    const pid_t child = fork();
    if (child == 0) {
      for (int fd = 3; fd < 1024; ++fd) {
        if (fd != fds[0]) close(fd);
      }
      char byte;
      while (read(fds[0], &byte, 1) > 0) {
      }
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(0);
    }
    close(fds[0]);
    if (child > 0) {
      watchdog_ = fds[1];
    } else {
      close(fds[1]);
    }
  }

  std::filesystem::path folder_;
  std::string bin_;
  std::string runAs_;
  std::string error_;
  int port_ = 0;
  int watchdog_ = -1;
  pid_t postmaster_ = 0;
  bool ready_ = false;
};

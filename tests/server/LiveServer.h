#pragma once

// Test helper: a TScoreServer on a free loopback port, served from a thread of
// the test process, with a settable clock and the request log captured.

#include <httplib.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ScoreServer.h"
#include "ScoreStore.h"
#include "StoreBackends.h"

class TLiveServer {
 public:
  explicit TLiveServer(const std::string& name, TBackend backend = TBackend::Sqlite,
                       TScoreServerOptions options = {}) {
    db_ = FreshDatabase(backend, "live_" + name);
    std::string error;
    if (!db_.Location.empty()) store_ = TScoreStore::Open(db_.Location, 4, error);
    if (!store_) {
      ADD_FAILURE() << "no database: " << db_.Error << error;
      return;
    }
    // Every result is ranked, as with --ranking all: these tests are about the
    // HTTP layer and the table; ReplayServerTest runs the verifying program.
    store_->SetRankAll(true);
    options.Clock = [this] { return Now.load(); };
    options.Log = [this](const std::string& line) {
      std::lock_guard lock(logMutex_);
      log_.push_back(line);
    };
    server_ = std::make_unique<TScoreServer>(*store_, options);
    port_ = server_->Bind("127.0.0.1", 0);
    if (port_ > 0) thread_ = std::thread([this] { server_->Run(); });
  }
  ~TLiveServer() { Stop(); }
  // Stops serving; requests in progress (and their log lines) finish first.
  void Stop() {
    if (server_) server_->Stop();
    if (thread_.joinable()) thread_.join();
  }
  TLiveServer(const TLiveServer&) = delete;
  TLiveServer& operator=(const TLiveServer&) = delete;

  int Port() const { return port_; }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  TScoreStore& Store() { return *store_; }
  // Where the store is: the SQLite file or the PostgreSQL URI, and that database's name.
  const TFreshDatabase& Database() const { return db_; }
  std::vector<std::string> Log() {
    std::lock_guard lock(logMutex_);
    return log_;
  }
  // GET of a path; status 0 when the exchange failed.
  std::pair<int, std::string> Get(const std::string& path) {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(5);
    client.set_read_timeout(5);
    const auto res = client.Get(path.c_str());
    if (!res) return {0, {}};
    return {res->status, res->body};
  }

  std::atomic<int64_t> Now{1'800'000'000};

 private:
  TFreshDatabase db_;
  std::unique_ptr<TScoreStore> store_;
  std::unique_ptr<TScoreServer> server_;
  std::thread thread_;
  int port_ = -1;
  std::mutex logMutex_;
  std::vector<std::string> log_;
};

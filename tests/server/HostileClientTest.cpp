// Attacks a single server process as a hostile client would while a polite
// client (from another loopback address) keeps asking: the polite client must
// get every answer within a second and the server must stay small.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RawHttp.h"
#include "online/ServerProcess.h"
#include "protocol/ResultCodec.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kVersion = "/cgi/version.pl?version&prg=TidalLynx";
const std::string kSubmit = "/cgi/version.pl?hs&prg=TidalLynx&inf=";
const std::string kShow = "/cgi/version.pl?prg=TidalLynx&show&type=0";
constexpr int64_t kMemoryCeilingKb = 200 * 1024;
constexpr int kPerAddressCap = 16;
// Slots in all, fewer than the many-address attack opens (32 x 32).
constexpr int kManySlots = 256;

// A field of /proc/<pid>/status in kB ("VmHWM", "VmRSS"); -1 when unreadable.
int64_t StatusKb(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stoll(line.substr(field.size() + 1));
  }
  return -1;
}

// Plays the game's part until stopped: a challenge, a result carrying it, a
// look at the world table, again and again.
class TPoliteClient {
 public:
  explicit TPoliteClient(int port)
      : thread_([this, port] {
          for (int round = 0; !stop_; ++round) {
            const std::string first = RawGet(port, kVersion, "127.0.0.2", "", 1000ms);
            Count(first);
            const std::string p = ExtractChallenge(first.substr(first.find("\r\n\r\n") + 1));
            Count(RawGet(port,
                         kSubmit + EncodeResult(BuildResultRecord(
                                       "Polite" + std::to_string(round % 1000), round, p, "")),
                         "127.0.0.2", "", 1000ms));
            Count(RawGet(port, kShow, "127.0.0.2", "", 1000ms));
            std::this_thread::sleep_for(20ms);
          }
        }) {}
  ~TPoliteClient() { Finish(); }
  void Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  int Answers() const { return answers_; }
  int Misses() const { return misses_; }

 private:
  void Count(const std::string& answer) {
    if (RawStatus(answer) == 200) {
      ++answers_;
    } else {
      ++misses_;
    }
  }

  std::atomic<bool> stop_{false};
  std::atomic<int> answers_{0};
  std::atomic<int> misses_{0};
  std::thread thread_;
};

// Eight clients each stream header lines as fast as they can: megabytes of them.
void HeaderFlood(int port) {
  std::vector<std::thread> flooders;
  for (int i = 0; i < 8; ++i) {
    flooders.emplace_back([&] {
      TRawConnection c(port);
      c.Send("GET / HTTP/1.1\r\nHost: t\r\n");
      std::string lines;
      for (int n = 0; n < 8192; ++n) lines += "X-Flood: a\r\n";
      // Up to 4 million lines (48 MB, far beyond what the kernel buffers);
      // the server must cut the stream off long before.
      size_t sent = 0;
      bool cutOff = false;
      while (sent < 48'000'000 && !cutOff) {
        cutOff = !c.Send(lines);
        sent += lines.size();
      }
      EXPECT_TRUE(cutOff) << "the server kept reading header lines";
    });
  }
  for (auto& t : flooders) t.join();
}

// Eight clients send one header line a second and never finish their request.
void SlowHeaders(int port) {
  std::vector<std::unique_ptr<TRawConnection>> slow;
  for (int i = 0; i < 8; ++i) {
    slow.push_back(std::make_unique<TRawConnection>(port));
    slow.back()->Send("GET / HTTP/1.1\r\nHost: t\r\n");
  }
  // The deadline (3 s) passes while they are still sending.
  int cutOff = 0;
  for (int second = 0; second < 6; ++second) {
    std::this_thread::sleep_for(1s);
    for (auto& c : slow) {
      if (c->Open() && !c->Send("X-Slow: " + std::to_string(second) + "\r\n")) {
        c->Close();
        ++cutOff;
      }
    }
  }
  for (auto& c : slow) {
    bool closed = false;
    if (c->Open()) c->ReadAll(1s, &closed);
    if (closed) ++cutOff;
  }
  EXPECT_EQ(cutOff, 8) << "slow requests outlived the request deadline";
}

// Many overlapping ranges of the world page: a small request asking for a
// huge answer.
void ManyRanges(int port) {
  std::string ranges = "Range: bytes=0-";
  while (ranges.size() < 8000) ranges += ",0-";
  for (int i = 0; i < 50; ++i) {
    const std::string answer = RawGet(port, kShow, "127.0.0.1", ranges + "\r\n");
    EXPECT_EQ(RawStatus(answer), 416) << answer.substr(0, 200);
    EXPECT_LT(answer.size(), 1000u);
  }
}

// One address opens far more connections than it may hold, and holds them.
void ConnectionHoard(int port) {
  std::vector<std::unique_ptr<TRawConnection>> hoard;
  for (int i = 0; i < 200; ++i) hoard.push_back(std::make_unique<TRawConnection>(port));
  std::this_thread::sleep_for(1s);
  int kept = 0;
  for (auto& c : hoard) {
    bool closed = false;
    c->ReadAll(10ms, &closed);
    if (!closed) ++kept;
  }
  EXPECT_LE(kept, kPerAddressCap);
  EXPECT_GE(kept, 1);
}

// Slow-header sockets from 32 addresses, 32 each (every per-address cap
// kept), one header line every 2 s, reopened whenever the server ends one:
// more than the server's slots in all. Runs for `seconds`.
void ManyAddresses(int port, int seconds) {
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  if (files.rlim_cur < 4096 && files.rlim_max > files.rlim_cur) {
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
    setrlimit(RLIMIT_NOFILE, &files);
  }
  struct TSlow {
    std::string Source;
    std::unique_ptr<TRawConnection> Connection;
    std::chrono::steady_clock::time_point NextLine;
  };
  std::vector<TSlow> sockets;
  for (int a = 0; a < 32; ++a) {
    for (int i = 0; i < 32; ++i) sockets.push_back({"127.0.1." + std::to_string(10 + a), {}, {}});
  }
  int opened = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (int line = 0; std::chrono::steady_clock::now() < end; ++line) {
    const auto now = std::chrono::steady_clock::now();
    for (TSlow& slow : sockets) {
      if (!slow.Connection || !slow.Connection->Open()) {
        slow.Connection = std::make_unique<TRawConnection>(port, slow.Source.c_str());
        if (slow.Connection->Send("GET / HTTP/1.1\r\nHost: t\r\n")) ++opened;
        slow.NextLine = now + 2s;
      } else if (now >= slow.NextLine) {
        if (!slow.Connection->Send("X-Slow: " + std::to_string(line) + "\r\n")) {
          slow.Connection->Close();
        }
        slow.NextLine = now + 2s;
      }
    }
    std::this_thread::sleep_for(100ms);
  }
  std::cout << "[ many addresses ] slow connections opened: " << opened << "\n";
  EXPECT_GT(opened, kManySlots) << "the attack never filled the server";
}

TEST(HostileClients, ServerKeepsAnsweringOthersAndStaysSmall) {
  struct TAttack {
    const char* name;
    std::function<void(int port)> run;
  };
  const TAttack attacks[] = {
      {"header flood", HeaderFlood},
      {"slow headers", SlowHeaders},
      {"many ranges", ManyRanges},
      {"connection hoard", ConnectionHoard},
      {"many addresses", [](int port) { ManyAddresses(port, 8); }},
  };
  for (const TAttack& attack : attacks) {
    SCOPED_TRACE(attack.name);
    const TScratchFolder dir("hostile_" + std::to_string(&attack - attacks));
    TServerProcess server(
        TL_SERVER_BIN, dir.Path(), "",
        {"--request-deadline", "3", "--max-connections-per-address", std::to_string(kPerAddressCap),
         "--rate", "0/min", "--max-connections", std::to_string(kManySlots)});
    ASSERT_GT(server.Port(), 0) << server.Log();
    TPoliteClient polite(server.Port());
    std::this_thread::sleep_for(200ms);
    attack.run(server.Port());
    std::this_thread::sleep_for(200ms);
    polite.Finish();
    EXPECT_GT(polite.Answers(), 5);
    EXPECT_EQ(polite.Misses(), 0) << "the polite client waited more than a second";
    const int64_t peak = StatusKb(server.Pid(), "VmHWM");
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, kMemoryCeilingKb) << "peak resident memory in kB";
    std::cout << "[ " << attack.name << " ] server peak " << peak / 1024 << " MB, now "
              << StatusKb(server.Pid(), "VmRSS") / 1024 << " MB, polite answers "
              << polite.Answers() << "\n";
    const int status = server.Stop();
    const std::string log = server.Log();
    const size_t warning = log.find("WARNING");  // a sanitizer's report
    EXPECT_EQ(status, 0) << log.substr(warning == std::string::npos ? 0 : warning, 6000);
  }
}

}  // namespace

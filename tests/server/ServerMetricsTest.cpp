// /metrics of the server program: its own port, text promtool accepts, and
// counters that follow what players and the operator do.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>

#include "AdminProgram.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

// Every sample line: series (with labels) to value.
std::map<std::string, double> Samples(const std::string& text) {
  std::map<std::string, double> samples;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const size_t space = line.rfind(' ');
    if (line.empty() || line[0] == '#' || space == std::string::npos) continue;
    samples[line.substr(0, space)] = std::stod(line.substr(space + 1));
  }
  return samples;
}

bool HavePromtool() {
  return std::system("command -v promtool > /dev/null 2>&1") == 0;
}

// promtool's verdict on the text, and what it said.
std::pair<bool, std::string> PromtoolCheck(const std::string& text, const fs::path& dir) {
  const fs::path in = dir / "metrics.txt";
  const fs::path out = dir / "promtool.out";
  test_kit::WriteFile(in, text);
  const int raw = std::system(
      ("promtool check metrics < '" + in.string() + "' > '" + out.string() + "' 2>&1").c_str());
  return {raw == 0, test_kit::ReadText(out)};
}

TEST(ServerMetrics, ScrapesValidateAndCountersFollowRequests) {
  const TScratchFolder dir("metrics");
  TServerProcess server(TL_SERVER_BIN, dir.Path(), {},
                        {"--metrics-listen", "127.0.0.1:0", "--rate", "0/min", "--ranking", "all"});
  ASSERT_GT(server.Port(), 0) << server.Log();
  std::smatch found;
  const std::string log = server.Log();
  ASSERT_TRUE(std::regex_search(log, found, std::regex("metrics on http://127.0.0.1:(\\d+)/")))
      << log;
  const int metricsPort = std::stoi(found[1]);

  // Only /metrics, and only on its own port.
  int status = 0;
  GetBody(server.Port(), "/metrics", &status);
  EXPECT_EQ(status, 404) << "the public port serves metrics";
  GetBody(metricsPort, "/", &status);
  EXPECT_EQ(status, 404);

  const auto before = Samples(GetBody(metricsPort, "/metrics", &status));
  ASSERT_EQ(status, 200);
  EXPECT_EQ(SubmitResult(server, "Ann", 100, "ann"), 200);
  EXPECT_EQ(SubmitResult(server, "Ann", 200, "ann"), 200);
  EXPECT_EQ(GetBody(server.Port(), "/cgi/version.pl?hs&prg=TidalLynx&inf=zz", &status).empty(),
            false);
  EXPECT_EQ(status, 400);
  ASSERT_EQ(RunAdmin(server.Database().string(), {"ban", "--name", "Ann", "--reason", "test"},
                     dir / "admin")
                .Exit,
            0);
  EXPECT_EQ(SubmitResult(server, "Ann", 300, "ann"), 403);
  const std::string text = GetBody(metricsPort, "/metrics", &status);
  ASSERT_EQ(status, 200);
  const auto after = Samples(text);

  struct TMove {
    const char* Series;
    double By;
  };
  const TMove moves[] = {
      {"results_total{outcome=\"accepted\"}", 2},
      {"results_total{outcome=\"refused\"}", 1},
      {"results_total{outcome=\"banned\"}", 1},
      {"results_total{outcome=\"rate_limited\"}", 0},
      // Three challenges and two results answered 200, the bad record 400, the ban 403.
      {"http_requests_total{code=\"200\"}", 5},
      {"http_requests_total{code=\"400\"}", 1},
      {"http_requests_total{code=\"403\"}", 1},
      {"db_errors_total", 0},
  };
  for (const TMove& m : moves) {
    const double was = before.count(m.Series) ? before.at(m.Series) : 0;
    ASSERT_TRUE(after.count(m.Series)) << m.Series << "\n" << text;
    EXPECT_EQ(after.at(m.Series) - was, m.By) << m.Series;
  }
  for (const char* series :
       {"replay_queue_depth", "replay_queue_oldest_seconds", "db_connections_in_use",
        "replay_verify_seconds_count", "replay_verify_seconds_bucket{le=\"+Inf\"}",
        "replays_total{status=\"verified\"}", "process_cpu_seconds_total",
        "process_resident_memory_bytes", "process_open_fds", "process_start_time_seconds"}) {
    EXPECT_TRUE(after.count(series)) << series << "\n" << text;
  }
  EXPECT_GT(after.at("process_open_fds"), 3);
  EXPECT_GT(after.at("process_resident_memory_bytes"), 1e6);
  EXPECT_NEAR(after.at("process_start_time_seconds"), static_cast<double>(time(nullptr)), 120);

  if (!HavePromtool()) {
    GTEST_SKIP() << "promtool is not installed (Debian package prometheus): the format is "
                    "not validated";
  }
  const auto [valid, said] = PromtoolCheck(text, dir);
  EXPECT_TRUE(valid) << said << "\n" << text;
}

}  // namespace

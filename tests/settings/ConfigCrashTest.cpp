// A process killed while it saves "Config.cfg" leaves the old file or the new
// one on disk, complete, never a torn or missing file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "settings/ConfigFile.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// Save number n: the default names with the scores n + 9, n + 8, ..., n.
THiScoreTable TableOfSave(int32_t n) {
  THiScoreTable table = DefaultHiScores();
  for (int32_t row = 0; row < 10; ++row) table[static_cast<size_t>(row)].Score = n + 9 - row;
  return table;
}

// Saves forever, counting up from `first`; only SIGKILL ends it.
[[noreturn]] void SaveForever(const std::string& path, int32_t first) {
  TConfigFile file(path);
  const TOptions options;
  for (int32_t n = first;; ++n) file.Save(options, TableOfSave(n));
}

// The save number the file on disk holds; fails the test unless the file is a
// complete file of one of the saves.
int32_t SaveOnDisk(const std::string& path) {
  const std::string bytes = test_kit::ReadText(path);
  EXPECT_EQ(bytes.size(), 145u) << "torn or missing file";
  TOptions options;
  THiScoreTable table = DefaultHiScores();
  bool complete = false;
  TConfigFile::Decode(bytes, options, table, complete);
  EXPECT_TRUE(complete);
  const int32_t n = table[9].Score;
  EXPECT_EQ(bytes, TConfigFile::Encode(TOptions{}, TableOfSave(n))) << "a mix of two saves";
  return n;
}

TEST(ConfigCrash, KillingASavingProcessLeavesTheOldOrTheNewFile) {
  const TScratchFolder folder;
  const std::string path = (folder / "Config.cfg").string();
  ASSERT_TRUE(TConfigFile(path).Save(TOptions{}, TableOfSave(0)));

  // Kill moments spread over a few saves, however fast this disk syncs.
  const auto start = std::chrono::steady_clock::now();
  for (int32_t n = 1; n <= 5; ++n) TConfigFile(path).Save(TOptions{}, TableOfSave(n));
  const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count() /
                      5;
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int64_t> pauseUs(0, std::max<int64_t>(4000, 3 * saveUs));
  constexpr int kKills = 120;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  int32_t last = 5;
  int changes = 0;
  int kills = 0;
  for (; kills < kKills && std::chrono::steady_clock::now() < deadline; ++kills) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever(path, 1000 * (kills + 1));
    std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random)));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver ended on its own";

    const int32_t n = SaveOnDisk(path);
    if (::testing::Test::HasFailure()) break;
    EXPECT_GE(n, last) << "an older save came back";
    if (n != last) ++changes;
    last = n;
  }
  EXPECT_GT(kills, 10);
  EXPECT_GT(changes, 0) << "no save ever finished: the kills proved nothing";
}

}  // namespace

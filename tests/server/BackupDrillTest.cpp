// The restore drill: back up a SQLite database while a load client writes to
// it, restore the copy, and find every result acknowledged before the backup
// began.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "AdminProgram.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> StoredNames(const fs::path& database) {
  std::set<std::string> names;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM results", -1, &stmt, nullptr) == SQLITE_OK) {
      while (sqlite3_step(stmt) == SQLITE_ROW) {
        names.insert(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
      }
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return names;
}

TEST(BackupDrill, ACopyTakenUnderLoadRestoresEveryResultAcknowledgedBeforeIt) {
  const TScratchFolder dir("drill");
  const std::vector<std::string> options = {"--rate", "0/min", "--challenges-per-address", "10000"};
  TServerProcess server(TL_SERVER_BIN, dir / "live", {}, options);
  ASSERT_GT(server.Port(), 0) << server.Log();

  std::mutex mutex;
  std::vector<std::string> acknowledged;
  std::atomic<bool> stop{false};
  std::thread load([&] {
    for (int i = 0; !stop && i < 20'000; ++i) {
      std::string name = std::to_string(i);
      name.insert(0, 1, 'L');
      if (SubmitResult(server, name, i, "load") != 200) continue;
      std::lock_guard lock(mutex);
      acknowledged.push_back(name);
    }
  });
  const auto count = [&] {
    std::lock_guard lock(mutex);
    return acknowledged.size();
  };
  while (count() < 150) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::vector<std::string> beforeBackup;
  {
    std::lock_guard lock(mutex);
    beforeBackup = acknowledged;
  }
  const fs::path copy = dir / "scores-backup.db";
  const TAdminRun backup =
      RunAdmin(server.Database().string(), {"backup", copy.string()}, dir.Path());
  const size_t atBackupEnd = count();
  while (count() < atBackupEnd + 50) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  stop = true;
  load.join();
  ASSERT_EQ(backup.Exit, 0) << backup.Out;
  EXPECT_GT(count(), beforeBackup.size()) << "the load did not go on during the backup";

  // Restore: the copy in place of the database of a fresh server.
  fs::create_directories(dir / "restored");
  fs::copy_file(copy, dir / "restored" / "scores.db");
  TServerProcess restored(TL_SERVER_BIN, dir / "restored", {}, options);
  ASSERT_GT(restored.Port(), 0) << restored.Log();
  EXPECT_EQ(SubmitResult(restored, "Restored", 1, "drill"), 200);
  restored.Stop();
  const std::set<std::string> names = StoredNames(dir / "restored" / "scores.db");
  size_t missing = 0;
  for (const std::string& name : beforeBackup) missing += names.count(name) == 0;
  EXPECT_EQ(missing, 0u) << "of " << beforeBackup.size() << " acknowledged before the backup";
  EXPECT_TRUE(names.count("Restored"));
  // No half-written file is left beside the copy.
  for (const auto& entry : fs::directory_iterator(dir.Path())) {
    EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();
  }
}

}  // namespace

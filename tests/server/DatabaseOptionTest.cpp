// What --db names, tried as a mistyped or careless operator would: a
// connection string is never taken as a file, and a password never shows up
// in any message, log line or file name.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSecret = "Sekr3tPw";

struct TRun {
  int Status = -1;
  std::string Output;
  std::vector<std::string> Files;  // what the program left in its folder
};

// Runs the server with `--db value` in a folder of its own, stopped by a
// timeout of `seconds` when it does start. A refusal ends the program by
// itself; the timeout only bounds a server that wrongly starts, and is long
// because the sanitized binary starts slowly on a busy machine.
TRun RunWithDatabase(const std::string& value, const std::string& name, int seconds) {
  const TScratchFolder scratch("db_" + name);
  const fs::path dir = scratch / "cwd";
  fs::create_directories(dir);
  const fs::path out = scratch / "out.txt";
  std::string quoted;
  for (const char c : value) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  const std::string command = "cd '" + dir.string() + "' && timeout -s TERM " +
                              std::to_string(seconds) +
                              " '" TL_SERVER_BIN "' --listen 127.0.0.1:0 --db '" + quoted +
                              "' > '" + out.string() + "' 2>&1";
  const int raw = std::system(command.c_str());
  TRun run;
  run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.Output = test_kit::ReadText(out);
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    run.Files.push_back(entry.path().filename().string());
  }
  return run;
}

TEST(DatabaseOption, ConnectionStringsAreNeverFilesAndPasswordsNeverShow) {
  const std::string pw = kSecret;
  struct TCase {
    const char* label;
    std::string value;
    const char* message;
  };
  const TCase cases[] = {
      {"key=value with a password", "host=/nonexistent dbname=scores password=" + pw,
       "carries a password"},
      {"quoted password", "dbname=scores password = '" + pw + " x'", "carries a password"},
      {"URI in capitals with a password", "POSTGRESQL://scores:" + pw + "@localhost/scores",
       "carries a password"},
      {"password as a URI parameter", "postgresql://scores@localhost/scores?password=" + pw,
       "carries a password"},
      {"malformed URI with a password", "postgresql://scores:" + pw + "@[::1/scores",
       "carries a password"},
      {"unterminated quote", "host=/nonexistent password='" + pw, "carries a password"},
      {"misspelt keyword", "dbname=scores passwd=" + pw, "bad PostgreSQL connection string"},
      {"malformed URI", "postgres://scores@[::1/" + pw, "bad PostgreSQL connection string"},
      {"another scheme", "mysql://scores:" + pw + "@localhost/scores", "unknown database scheme"},
      // Without a password: taken as PostgreSQL, which is not there.
      {"key=value", "host=/nonexistent-folder dbname=scores", "cannot connect"},
      {"URI in capitals", "PostgreSQL://scores@/scores?host=/nonexistent-folder", "cannot connect"},
  };
  for (const TCase& c : cases) {
    const TRun run = RunWithDatabase(c.value, std::to_string(&c - cases), 30);
    EXPECT_EQ(run.Status, 1) << c.label << "\n" << run.Output;
    EXPECT_NE(run.Output.find(c.message), std::string::npos) << c.label << "\n" << run.Output;
    EXPECT_EQ(run.Output.find(kSecret), std::string::npos) << c.label << "\n" << run.Output;
    EXPECT_TRUE(run.Files.empty()) << c.label << ": left " << run.Files.front();
  }
  // A plain name and sqlite:NAME are files, also with '=' past the start.
  const std::pair<const char*, const char*> files[] = {
      {"plain.db", "plain.db"}, {"sqlite:host=x.db", "host=x.db"}, {"./a=b.db", "a=b.db"}};
  for (const auto& [value, file] : files) {
    const TRun run = RunWithDatabase(value, "file", 4);
    EXPECT_NE(run.Output.find("listening on"), std::string::npos) << value << "\n" << run.Output;
    EXPECT_NE(std::find(run.Files.begin(), run.Files.end(), file), run.Files.end()) << value;
  }
}

}  // namespace

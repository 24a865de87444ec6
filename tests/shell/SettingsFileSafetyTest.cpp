// The settings file at start-up and on save, where the folder holds things the
// game did not put there: a link planted beside the file, a file that is not
// a settings file, a FIFO, a huge file.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "settings/ConfigFile.h"
#include "shell/FormFixture.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

}  // namespace

TEST_F(FormFixture, ALinkPlantedWhereTheSaveOnceWroteLeadsNowhere) {
  const std::string defaults = TConfigFile::Encode(TOptions{}, DefaultHiScores());
  struct TCase {
    const char* what;
    bool targetExists;
  };
  const TCase cases[] = {{"link to another user's file", true},
                         {"link to a file not yet there", false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    const fs::path target = dir_ / "victim";
    if (c.targetExists) std::ofstream(target) << "precious";
    fs::create_symlink(target, ConfigPath() + ".tmp");

    StartForm();  // no settings file yet: the defaults are saved first
    form_.reset();

    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(ConfigPath())));
    EXPECT_EQ(ReadFile(ConfigPath()), defaults);
    EXPECT_EQ(fs::exists(target), c.targetExists);
    if (c.targetExists) EXPECT_EQ(ReadFile(target), "precious");
    // Nothing of the save is left behind.
    std::set<std::string> expected{"Config.cfg", "Config.cfg.tmp"};
    if (c.targetExists) expected.insert("victim");
    EXPECT_EQ(Names(dir_), expected);
  }
}

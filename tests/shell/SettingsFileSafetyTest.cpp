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
    state_ = TShellState{};
    const fs::path target = dir_ / "victim";
    if (c.targetExists) std::ofstream(target) << "precious";
    fs::create_symlink(target, ConfigPath() + ".tmp");

    StartForm();  // no settings file yet: the defaults are saved first
    form_.reset();

    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(ConfigPath())));
    EXPECT_EQ(ReadFile(ConfigPath()), defaults);
    EXPECT_EQ(fs::exists(target), c.targetExists);
    if (c.targetExists) {
      EXPECT_EQ(ReadFile(target), "precious");
    }
    // Nothing of the save is left behind.
    std::set<std::string> expected{"Config.cfg", "Config.cfg.tmp"};
    if (c.targetExists) expected.insert("victim");
    EXPECT_EQ(Names(dir_), expected);
  }
}

TEST_F(MenuFixture, OnlyASettingsFileIsEverSavedOver) {
  constexpr uint16_t kLeft = 37;
  std::string ours = TConfigFile::Encode(TOptions{}, DefaultHiScores());
  struct TCase {
    const char* what;
    std::string onDisk;
    bool replaced;
  };
  const TCase cases[] = {
      {"a text file named by mistake", std::string(40, 'x') + "\nnotes\n", false},
      {"a binary file of another size", std::string(4000, '\x01'), false},
      {"a settings file cut short", ours.substr(0, 60), true},
      {"a settings file with bytes after it", ours + "zz", true},
      {"an empty file", "", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    state_ = TShellState{};
    std::ofstream(ConfigPath(), std::ios::binary) << c.onDisk;

    testing::internal::CaptureStderr();
    Start();
    TypePlayerName("ZED");
    for (uint16_t key : {kVkUp, kVkUp, kVkEnter, kLeft, kVkEnter}) Key(key);  // exit: Yes
    EXPECT_TRUE(form_->Closed());
    form_.reset();
    const std::string said = testing::internal::GetCapturedStderr();

    if (c.replaced) {
      EXPECT_EQ(ReadFile(ConfigPath()).substr(4, 4), std::string("\x03\xA5\xBA\xBB", 4));
    } else {
      EXPECT_EQ(ReadFile(ConfigPath()), c.onDisk);
      EXPECT_NE(said.find("not a settings file"), std::string::npos) << said;
      EXPECT_NE(said.find("not saved"), std::string::npos) << said;
      // The game played on with its defaults.
      EXPECT_EQ(state_.HiScores, DefaultHiScores());
    }
    EXPECT_EQ(Names(dir_), std::set<std::string>{"Config.cfg"});
  }
}

TEST_F(MenuFixture, ASettingsFileLargerThanTheLayoutIsNeitherReadNorReplaced) {
  constexpr uint16_t kLeft = 37;
  // Zeros read as a whole settings file, so only the size tells.
  for (const uintmax_t size : {uintmax_t{kMaxConfigBytes + 1}, uintmax_t{2} << 30}) {
    SCOPED_TRACE(size);
    TearDown();
    SetUp();
    state_ = TShellState{};
    std::ofstream(ConfigPath()).close();
    fs::resize_file(ConfigPath(), size);  // sparse: takes no room on disk

    testing::internal::CaptureStderr();
    Start();
    for (uint16_t key : {kVkUp, kVkEnter, kLeft, kVkEnter}) Key(key);  // exit: Yes
    EXPECT_TRUE(form_->Closed());
    form_.reset();
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_NE(said.find("larger than 2860 bytes; using the default settings"), std::string::npos)
        << said;
    EXPECT_EQ(state_.Settings, TOptions{});
    EXPECT_EQ(fs::file_size(ConfigPath()), size);
  }
}

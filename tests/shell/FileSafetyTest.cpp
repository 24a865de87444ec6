// The game's files when something it did not put there sits at their names: a
// link planted beside the settings file, another file named by --config, a
// FIFO (which must never hold the game up), a folder, a huge file. The replay
// index and a replay to verify are read the same way.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <thread>

#include "audio/Audio.h"
#include "online/WebLinks.h"
#include "replay/ReplayStore.h"
#include "settings/ConfigFile.h"
#include "shell/FormFixture.h"
#include "support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// After two seconds, opens the writing end of the FIFO at `path` until
// destroyed: a reader stuck opening it (the fault) then reads an empty file,
// and the test fails instead of hanging. Fired() tells it had to.
class TFifoUnblocker {
 public:
  explicit TFifoUnblocker(fs::path path)
      : thread_([this, path = std::move(path)](std::stop_token stop) {
          const auto due = std::chrono::steady_clock::now() + std::chrono::seconds(2);
          for (; !stop.stop_requested();
               std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
            if (std::chrono::steady_clock::now() < due) continue;
            const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) fired_ = true, ::close(fd);
          }
        }) {}
  bool Fired() const { return fired_; }

 private:
  std::atomic<bool> fired_{false};
  std::jthread thread_;
};

enum class TKind { Regular, Missing, Fifo, Folder };

// Puts a thing of `kind` at `at`; a regular file gets `bytes`.
void Plant(TKind kind, const fs::path& at, const std::string& bytes = {}) {
  fs::create_directories(at.parent_path());
  if (kind == TKind::Regular) test_kit::WriteFile(at, bytes);
  if (kind == TKind::Fifo) {
    ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0);
  }
  if (kind == TKind::Folder) fs::create_directory(at);
}

constexpr uint16_t kLeft = 37;

}  // namespace

TEST_F(FormFixture, ALinkPlantedWhereTheSaveOnceWroteLeadsNowhere) {
  for (const bool targetExists : {true, false}) {
    SCOPED_TRACE(targetExists ? "link to another user's file" : "link to a file not yet there");
    TearDown();
    SetUp();
    state_ = TShellState{};
    const fs::path target = dir_ / "victim";
    if (targetExists) std::ofstream(target) << "precious";
    fs::create_symlink(target, ConfigPath() + ".tmp");

    StartForm();  // no settings file yet: the defaults are saved first
    form_.reset();

    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(ConfigPath())));
    EXPECT_EQ(test_kit::ReadText(ConfigPath()), TConfigFile::Encode(TOptions{}, DefaultHiScores()));
    EXPECT_EQ(test_kit::ReadText(target), targetExists ? "precious" : "");
    EXPECT_EQ(fs::exists(target), targetExists);
    // Nothing of the save is left behind.
    std::set<std::string> expected{"Config.cfg", "Config.cfg.tmp"};
    if (targetExists) expected.insert("victim");
    EXPECT_EQ(Names(dir_), expected);
  }
}

TEST_F(MenuFixture, OnlyASettingsFileIsEverReadAndSavedOver) {
  const std::string ours = TConfigFile::Encode(TOptions{}, DefaultHiScores());
  const struct {
    const char* what;
    TKind kind;
    std::string bytes;
    uintmax_t sparseSize;  // grown to this without taking room on disk
    const char* said;      // on stderr after the file's name
  } cases[] = {
      {"a text file named by mistake", TKind::Regular, "some notes\n", 0, "not a settings file"},
      {"a binary file of another size", TKind::Regular, std::string(2000, '\x01'), 0,
       "not a settings file"},
      {"zeros one byte longer than the layout", TKind::Regular, "", kMaxConfigBytes + 1,
       "cannot read: larger than 2860 bytes; using the default settings"},
      {"2 GiB", TKind::Regular, "", uintmax_t{2} << 30, "cannot read: larger than 2860 bytes"},
      {"FIFO", TKind::Fifo, "", 0, "cannot read: not a regular file; using the default settings"},
      {"folder", TKind::Folder, "", 0, "cannot read: a folder, not a file"},
      {"a settings file cut short", TKind::Regular, ours.substr(0, 60), 0, "short or damaged"},
      {"a settings file with bytes after it", TKind::Regular, ours + "zz", 0,
       "not a settings file"},
      {"an empty file", TKind::Regular, "", 0, "short or damaged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    state_ = TShellState{};
    Plant(c.kind, ConfigPath(), c.bytes);
    if (c.sparseSize > 0) fs::resize_file(ConfigPath(), c.sparseSize);
    const TFifoUnblocker unblocker(ConfigPath());

    testing::internal::CaptureStderr();
    Start();
    const TOptions loaded = state_.Settings;
    TypePlayerName("ZED");
    for (uint16_t key : {kVkUp, kVkUp, kVkEnter, kLeft, kVkEnter}) Key(key);  // exit: Yes
    EXPECT_TRUE(form_->Closed());
    form_.reset();
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(unblocker.Fired()) << "the game waited on the FIFO";
    const std::string prefix = "Tidal Lynx: " + ConfigPath() + ": ";
    EXPECT_NE(said.find(prefix + c.said), std::string::npos) << said;
    const bool ourFile = std::string(c.said).find("short") != std::string::npos;
    if (ourFile) {
      // Read and replaced by the save, with the typed name.
      EXPECT_EQ(test_kit::ReadText(ConfigPath()).substr(4, 4), std::string("\x03\xA5\xBA\xBB", 4));
    } else {
      // Neither read nor touched; the game played with its defaults.
      EXPECT_EQ(loaded, TOptions{});
      EXPECT_NE(said.find(prefix + "settings not saved"), std::string::npos) << said;
      EXPECT_EQ(fs::symlink_status(ConfigPath()).type(), c.kind == TKind::Fifo ? fs::file_type::fifo
                                                         : c.kind == TKind::Folder
                                                             ? fs::file_type::directory
                                                             : fs::file_type::regular);
      if (c.kind == TKind::Regular) {
        EXPECT_EQ(fs::file_size(ConfigPath()), std::max<uintmax_t>(c.sparseSize, c.bytes.size()));
        if (c.sparseSize == 0) {
          EXPECT_EQ(test_kit::ReadText(ConfigPath()), c.bytes);
        }
      }
    }
    EXPECT_EQ(Names(dir_), std::set<std::string>{"Config.cfg"});
  }
}

TEST_F(FormFixture, EveryDataFileThatIsNotARegularFileIsTreatedAsMissingWithoutWaiting) {
  // What a reader did with the file at a path, in a few words.
  using TReader = std::function<std::string(const fs::path& at)>;
  const struct {
    const char* file;
    std::string regularBytes;  // what a working file holds; empty: the game's own
    TReader read;
  } cases[] = {
      {"Data/Data.pp",
       {},
       [this](const fs::path& at) -> std::string {
         TFormPaths paths{at.string(), ConfigPath()};
         form_ = std::make_unique<TForm1>(sys_, state_, SharedFonts(), sound_, music_, paths);
         try {
           form_->Create();
           return "started";
         } catch (const std::exception& error) {
           // The reason after "cannot open: " differs; the rest must not.
           const std::string message = error.what();
           return message.substr(0, message.find("cannot open: ") + 13);
         }
       }},
      {"sound/1.xm",
       {},
       [](const fs::path& at) -> std::string {
         FakePlatform sys;
         const bool soundOn = true;
         TAudio audio(sys, soundOn, at.parent_path().string() + "/");
         audio.PlayMusic(at.filename().string());
         return audio.Song() != 0 ? "plays" : "silent";
       }},
      {"play.url", "[InternetShortcut]\r\nURL=http://lynx.test/\r\n",
       [](const fs::path& at) -> std::string {
         FakePlatform sys;
         OpenExitLink(sys, at.string());
         return sys.OpenedTargets.empty() ? "nothing opened" : sys.OpenedTargets[0];
       }},
      {"replays/index.txt", "20261209-120000-1.tlr\n",
       [](const fs::path& at) -> std::string {
         return TReplayStore(at.parent_path().string()).ReadIndex()[0];
       }},
  };
  for (const auto& c : cases) {
    std::string outcomes[4];
    for (const TKind kind : {TKind::Regular, TKind::Missing, TKind::Fifo, TKind::Folder}) {
      SCOPED_TRACE(testing::Message() << c.file << ", kind " << static_cast<int>(kind));
      const fs::path at = dir_ / "data" / c.file;
      fs::remove_all(dir_ / "data");
      std::string bytes = c.regularBytes;
      if (kind == TKind::Regular && bytes.empty())
        bytes = test_kit::ReadText(fs::path(TL_GAME_DIR) / c.file);
      Plant(kind, at, bytes);
      const TFifoUnblocker unblocker(at);
      outcomes[static_cast<int>(kind)] = c.read(at);
      EXPECT_FALSE(unblocker.Fired()) << "the game waited on the FIFO";
      form_.reset();
      state_ = TShellState{};
    }
    SCOPED_TRACE(c.file);
    EXPECT_NE(outcomes[0], outcomes[1]);  // a regular file works, a missing one does not
    EXPECT_EQ(outcomes[2], outcomes[1]);
    EXPECT_EQ(outcomes[3], outcomes[1]);
  }
}

// The files the game reads from its data folder, when something else sits at
// their names: a FIFO must never hold the game up, and it, or a folder, gets
// what a missing file gets.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include "audio/Audio.h"
#include "online/WebLinks.h"
#include "shell/FormFixture.h"

namespace fs = std::filesystem;

namespace {

// Opens the writing end of the FIFO at `path` after two seconds, and keeps
// trying until destroyed: a reader stuck opening it (the fault) gets an empty
// file and the test fails instead of hanging. Fired() tells it had to.
class TFifoUnblocker {
 public:
  explicit TFifoUnblocker(fs::path path)
      : thread_([this, path = std::move(path)](std::stop_token stop) {
          const auto due = std::chrono::steady_clock::now() + std::chrono::seconds(2);
          while (!stop.stop_requested()) {
            if (std::chrono::steady_clock::now() >= due) {
              const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
              if (fd >= 0) {
                fired_ = true;
                ::close(fd);
              }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          }
        }) {}
  bool Fired() const { return fired_; }

 private:
  std::atomic<bool> fired_{false};
  std::jthread thread_;
};

enum class TKind { Regular, Missing, Fifo, Folder };
constexpr TKind kKinds[] = {TKind::Regular, TKind::Missing, TKind::Fifo, TKind::Folder};

const char* Name(TKind kind) {
  switch (kind) {
    case TKind::Regular:
      return "regular file";
    case TKind::Missing:
      return "missing";
    case TKind::Fifo:
      return "FIFO";
    case TKind::Folder:
      return "folder";
  }
  return "?";
}

// What a reader did with the file at a path, in a few words; the reason an
// open failed ("cannot open: ...") is left out, so that the outcome for a
// FIFO can be compared with the one for a missing file.
using TReader = std::function<std::string(const fs::path& at)>;

std::string WithoutReason(const std::string& message) {
  const size_t at = message.find("cannot open: ");
  return at == std::string::npos ? message : message.substr(0, at + 13) + "<reason>";
}

}  // namespace

TEST_F(FormFixture, EveryDataFileThatIsNotARegularFileIsTreatedAsMissingWithoutWaiting) {
  struct TCase {
    const char* file;
    std::string regularBytes;  // what a working file holds
    TReader read;
  };
  const TCase cases[] = {
      {"Data/Data.pp",
       {},
       [this](const fs::path& at) -> std::string {
         TFormPaths paths;
         paths.PackPath = at.string();
         paths.ConfigPath = ConfigPath();
         form_ = std::make_unique<TForm1>(sys_, state_, SharedFonts(), sound_, music_, paths);
         try {
           form_->Create();
           return "started";
         } catch (const std::exception& error) {
           return WithoutReason(error.what());
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
  };
  for (const TCase& c : cases) {
    std::map<TKind, std::string> outcomes;
    for (TKind kind : kKinds) {
      SCOPED_TRACE(std::string(c.file) + ", " + Name(kind));
      TearDown();
      SetUp();
      state_ = TShellState{};
      const fs::path at = dir_ / c.file;
      fs::create_directories(at.parent_path());
      if (kind == TKind::Regular) {
        // The game's own files, or the bytes of the case.
        if (c.regularBytes.empty()) {
          const fs::path own = std::string(TL_GAME_DIR) + "/" + c.file;
          ASSERT_TRUE(fs::exists(own)) << own;
          fs::copy_file(own, at);
        } else {
          std::ofstream(at, std::ios::binary) << c.regularBytes;
        }
      }
      if (kind == TKind::Fifo) {
        ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0);
      }
      if (kind == TKind::Folder) fs::create_directory(at);

      const TFifoUnblocker unblocker(at);
      std::string outcome = c.read(at);
      // The folder differs from run to run; the outcome should not.
      for (size_t p = outcome.find(at.string()); p != std::string::npos;
           p = outcome.find(at.string())) {
        outcome.replace(p, at.string().size(), "<file>");
      }
      outcomes[kind] = outcome;
      EXPECT_FALSE(unblocker.Fired()) << "the game waited on the FIFO";
      form_.reset();
    }
    SCOPED_TRACE(c.file);
    EXPECT_NE(outcomes[TKind::Regular], outcomes[TKind::Missing]);
    EXPECT_EQ(outcomes[TKind::Fifo], outcomes[TKind::Missing]);
    EXPECT_EQ(outcomes[TKind::Folder], outcomes[TKind::Missing]);
  }
}

TEST_F(MenuFixture, ASettingsFileThatIsNotARegularFileIsNeitherWaitedOnNorReplaced) {
  constexpr uint16_t kLeft = 37;
  for (TKind kind : {TKind::Fifo, TKind::Folder}) {
    SCOPED_TRACE(Name(kind));
    TearDown();
    SetUp();
    state_ = TShellState{};
    if (kind == TKind::Fifo) {
      ASSERT_EQ(::mkfifo(ConfigPath().c_str(), 0600), 0);
    }
    if (kind == TKind::Folder) fs::create_directory(ConfigPath());
    const TFifoUnblocker unblocker(ConfigPath());

    testing::internal::CaptureStderr();
    Start();
    for (uint16_t key : {kVkUp, kVkEnter, kLeft, kVkEnter}) Key(key);  // exit: Yes
    EXPECT_TRUE(form_->Closed());
    form_.reset();
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(unblocker.Fired()) << "the game waited on the FIFO";
    EXPECT_NE(said.find("Config.cfg: cannot read: "), std::string::npos) << said;
    EXPECT_NE(said.find("; using the default settings"), std::string::npos) << said;
    EXPECT_NE(said.find("not saved"), std::string::npos) << said;
    EXPECT_EQ(fs::is_fifo(ConfigPath()), kind == TKind::Fifo);
    EXPECT_EQ(fs::is_directory(ConfigPath()), kind == TKind::Folder);
  }
}

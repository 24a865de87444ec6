// The game started in each language on a virtual X server, as a player starts
// it: LANGUAGE=<code> in its environment. Its main menu, options screen and
// exit question, as the X server shows them, differ from the English ones in
// every caption the language words differently, and match them everywhere
// outside the captions. Needs Xvfb and xdotool (scripts/install-deps.sh
// --tests); skipped without them.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "assetforge/MenuLayout.h"
#include "i18n/Gettext.h"
#include "i18n/Language.h"
#include "shell/ScreenLayout.h"
#include "support/PrintRect.h"
#include "support/VirtualScreen.h"
#include "widgets/MenuLayout.h"

// Last: its macros (None, Status, ...) clash with the headers above.
#include <X11/Xlib.h>

#ifndef TL_GAME_BIN
#define TL_GAME_BIN ""
#endif

namespace {

namespace ml = menu_labels;
namespace sl = screen_layout;
namespace wl = menu_layout;
using Clock = std::chrono::steady_clock;

const std::string kGame = TL_GAME_DIR;

// A caption on a screen, with its English text. One that another layer may
// hide (the main menu behind a dialog) is only left out of the comparison.
struct TCaption {
  TRect Rect;
  std::string_view Text;
  bool Visible = true;
};

struct TScreenCaptions {
  const char* Name;
  std::vector<TCaption> Captions;
};

TRect RectOf(const TLabelRect& label) {
  return {label.left, label.top, label.right, label.bottom};
}

constexpr int32_t kDialogRight = sl::kQuestionDialog.X + sl::kDialogWidth;
constexpr int32_t kDialogBottom = sl::kQuestionDialog.Y + sl::kDialogHeight;

std::vector<TScreenCaptions> CaptionTable() {
  std::vector<TCaption> menu;
  for (const TLabelRect& label : ml::kMainMenu) menu.push_back({RectOf(label), label.text});
  std::vector<TCaption> options = menu;
  for (const auto* group : {&ml::kDisplayToggle, &ml::kMusicToggle, &ml::kSoundToggle})
    for (const TLabelRect& label : *group) options.push_back({RectOf(label), label.text});
  for (const TLabelRect& label : ml::kOptionRows) options.push_back({RectOf(label), label.text});
  std::vector<TCaption> exit = {
      {{sl::kExitQuestion.X, sl::kExitQuestion.Y, kDialogRight, sl::kExitQuestion.Y + 47},
       "Exit  the game?"},
      // The answers are drawn from their buttons' top left corners: a longer
      // word runs on towards the next answer or the dialog's edge, and its
      // letters may hang below the button.
      {{wl::kYesRect.Left, wl::kYesRect.Top, wl::kNoRect.Left, kDialogBottom}, "Yes"},
      {{wl::kNoRect.Left, wl::kNoRect.Top, kDialogRight, kDialogBottom}, "No"},
  };
  for (TCaption caption : menu) {
    caption.Visible = false;
    exit.push_back(caption);
  }
  return {{"main menu", menu}, {"options", options}, {"exit question", exit}};
}

int IgnoreXErrors(Display*, XErrorEvent*) {
  return 0;  // a window looked at may go away with the game
}

// One run of the game on the virtual screen, stopped at the end.
class GameRun {
 public:
  GameRun(const std::string& display, const std::string& language,
          const std::filesystem::path& home)
      : x_(display) {
    std::vector<std::string> env = {"DISPLAY=" + display,
                                    "HOME=" + home.string(),
                                    "XDG_DATA_HOME=" + (home / "data").string(),
                                    "XDG_CONFIG_HOME=" + (home / "config").string(),
                                    "XDG_CACHE_HOME=" + (home / "cache").string(),
                                    "PATH=/usr/bin:/bin",
                                    "SDL_VIDEODRIVER=x11",
                                    "SDL_AUDIODRIVER=dummy",
                                    "SDL_RENDER_DRIVER=software",
                                    "SDL_FRAMEBUFFER_ACCELERATION=0",
                                    "DBUS_SESSION_BUS_ADDRESS=disabled:"};
    if (!language.empty()) env.push_back("LANGUAGE=" + language);
    if (const char* asan = std::getenv("ASAN_OPTIONS"))
      env.push_back(std::string("ASAN_OPTIONS=") + asan);
    std::vector<std::string> args = {
        TL_GAME_BIN,  "--windowed", "--scale",  "1",
        "--no-sound", "--no-music", "--config", (home / "Config.cfg").string()};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
  }
  ~GameRun() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  GameRun(const GameRun&) = delete;
  GameRun& operator=(const GameRun&) = delete;

  // Waits for the game's window; false when it does not come.
  bool WindowShown() {
    if (pid_ <= 0) {
      ADD_FAILURE() << "the game could not be started";
      return false;
    }
    if (!x_.Connected()) {
      ADD_FAILURE() << "cannot connect to the virtual screen";
      return false;
    }
    const auto end = Clock::now() + std::chrono::seconds(30);
    int status = 0;
    while (Clock::now() < end) {
      if (::waitpid(pid_, &status, WNOHANG) != 0) {
        ADD_FAILURE() << "the game ended with status " << status;
        pid_ = 0;
        return false;
      }
      const unsigned long window = x_.FindWindow("Tidal Lynx");
      if (window != 0) {
        area_ = x_.ClientRect(window);
        if (area_.Width() == 800 && area_.Height() == 600) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // The point (x, y) of the frame on the screen.
  int32_t ScreenX(int32_t x) const { return area_.Left + x; }
  int32_t ScreenY(int32_t y) const { return area_.Top + y; }

  // Waits until the window shows more than one colour; that picture.
  std::vector<uint32_t> FirstPicture() {
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end) {
      std::vector<uint32_t> now = x_.ScreenArea(area_);
      for (const uint32_t pixel : now)
        if (pixel != now.front()) return now;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
  }
  // Waits until the window shows a picture other than `before` that stays
  // the same for a few frames; that picture (empty after 20 s without one).
  std::vector<uint32_t> NextStill(const std::vector<uint32_t>& before) {
    std::vector<uint32_t> last;
    int same = 0;
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end) {
      std::vector<uint32_t> now = x_.ScreenArea(area_);
      same = (!now.empty() && now == last && now != before) ? same + 1 : 0;
      if (same == 3) return now;
      last = std::move(now);
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    return {};
  }

 private:
  XView x_;
  pid_t pid_ = 0;
  TRect area_{};
};

int Xdotool(std::vector<std::string> args, const std::string& display) {
  ScopedEnv env("DISPLAY", display);
  args.insert(args.begin(), "xdotool");
  return RunProgram(std::move(args));
}

// The three screens of a game started in `language` ("" for English): the
// intro clicked away, the main menu, Options clicked, then Esc twice.
std::vector<std::vector<uint32_t>> Screens(const std::string& display, const std::string& language,
                                           const std::filesystem::path& home) {
  std::filesystem::create_directories(home);
  GameRun game(display, language, home);
  std::vector<std::vector<uint32_t>> shown;
  if (!game.WindowShown()) {
    ADD_FAILURE() << (language.empty() ? "en" : language) << ": no window";
    return shown;
  }
  auto at = [&](int32_t x, int32_t y) {
    return std::vector<std::string>{"mousemove", "--sync", std::to_string(game.ScreenX(x)),
                                    std::to_string(game.ScreenY(y))};
  };
  const TRect options = wl::kMainMenu[1].Rect;
  // Each step waits for the picture to change and settle.
  auto still = [&](const char* what, const std::vector<uint32_t>& before) {
    std::vector<uint32_t> picture = game.NextStill(before);
    EXPECT_FALSE(picture.empty()) << (language.empty() ? "en" : language) << ": no still " << what;
    return picture;
  };
  const std::vector<uint32_t> intro = game.FirstPicture();
  // The intro ends on a click away from the menu's buttons.
  EXPECT_EQ(Xdotool(at(150, 570), display), 0);
  EXPECT_EQ(Xdotool({"click", "1"}, display), 0);
  shown.push_back(still("main menu", intro));
  EXPECT_EQ(Xdotool(at(options.Left + 20, options.Top + 20), display), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(Xdotool({"click", "1"}, display), 0);
  shown.push_back(still("options", shown.back()));
  EXPECT_EQ(Xdotool({"key", "Escape"}, display), 0);
  const std::vector<uint32_t> menu = still("main menu again", shown.back());
  EXPECT_EQ(Xdotool({"key", "Escape"}, display), 0);
  shown.push_back(still("exit question", menu));
  return shown;
}

bool Differs(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, const TRect& r) {
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x)
      if (a[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] !=
          b[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)])
        return true;
  return false;
}

// A caption's letters may reach a pixel or two past its rectangle (their
// antialiased edges and shadow).
constexpr int32_t kHalo = 3;

// The first pixel outside every caption where the frames differ, or none.
std::string DifferenceOutside(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                              const std::vector<TCaption>& captions) {
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 800; ++x) {
      bool inside = false;
      for (const TCaption& c : captions)
        inside = inside || (x >= c.Rect.Left - kHalo && x < c.Rect.Right + kHalo &&
                            y >= c.Rect.Top - kHalo && y < c.Rect.Bottom + kHalo);
      const size_t i = static_cast<size_t>(y) * 800 + static_cast<size_t>(x);
      if (!inside && a[i] != b[i]) {
        std::string at(1, '(');
        at += std::to_string(x);
        at += ", ";
        at += std::to_string(y);
        return at += ')';
      }
    }
  return "";
}

std::vector<std::string> Languages() {
  std::vector<std::string> codes;
  std::ifstream in(std::string(TL_SOURCE_DIR) + "/po/LINGUAS");
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') codes.push_back(line);
  return codes;
}

TEST(GameInLanguageOnXvfb, MainMenuOptionsAndExitQuestionShowTheLanguage) {
  if (std::string(TL_GAME_BIN).empty()) GTEST_SKIP() << "the game is not part of this build";
  if (!OnPath("Xvfb") || !OnPath("xdotool"))
    GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps.sh --tests)";
  VirtualScreen screen;
  std::string error;
  ASSERT_TRUE(screen.Start("1024x768", error)) << error;
  XSetErrorHandler(IgnoreXErrors);
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("tl_lang_xvfb_" + std::to_string(::getpid()));
  std::filesystem::remove_all(scratch);

  const std::vector<TScreenCaptions> table = CaptionTable();
  const std::vector<std::vector<uint32_t>> english = Screens(screen.Display, "", scratch / "en");
  ASSERT_EQ(english.size(), table.size());
  for (const std::vector<uint32_t>& frame : english) ASSERT_EQ(frame.size(), 800u * 600u);

  for (const std::string& code : Languages()) {
    const std::vector<std::vector<uint32_t>> own = Screens(screen.Display, code, scratch / code);
    ASSERT_EQ(own.size(), table.size()) << code;
    UseLanguage(code, kGame + "/locale");
    for (size_t s = 0; s < table.size(); ++s) {
      ASSERT_EQ(own[s].size(), 800u * 600u) << code << ": no still " << table[s].Name;
      for (const TCaption& caption : table[s].Captions) {
        const std::string source(caption.Text);
        if (!caption.Visible || source == Translate(source.c_str())) continue;
        EXPECT_TRUE(Differs(own[s], english[s], caption.Rect))
            << code << ", " << table[s].Name << ": \"" << source << "\" at " << caption.Rect
            << " looks as in English";
      }
      EXPECT_EQ(DifferenceOutside(own[s], english[s], table[s].Captions), "")
          << code << ", " << table[s].Name << ": a pixel outside the captions differs";
    }
    UseLanguage("", kGame + "/locale");
  }
  std::filesystem::remove_all(scratch);
}

}  // namespace

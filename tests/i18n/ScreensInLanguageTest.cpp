// The game in each language on the fake platform: its main menu, options and
// a dialog differ from the English ones inside their captions' rectangles and
// only there, with the real packs the build made.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "game/GameStates.h"
#include "graphics/Fonts.h"
#include "i18n/Language.h"
#include "shell/Form.h"
#include "shell/ShellState.h"
#include "support/FakePlatform.h"
#include "support/ScratchFolder.h"
#include "widgets/MenuLayout.h"

namespace {

const std::string kGame = TL_GAME_DIR;

struct TArea {
  const char* name;
  TRect rect;
};

// The frames of the three screens in one language ("" for English).
std::vector<std::vector<uint32_t>> Screens(const std::string& code) {
  UseLanguage(code, kGame + "/locale");
  const TScratchFolder scratch("i18n_" + code);
  const std::filesystem::path config = scratch / "Config.cfg";
  std::vector<std::vector<uint32_t>> frames;
  {
    FakePlatform sys;
    TShellState state;
    TFonts fonts;
    TSilentSoundEffects sound;
    TSilentMusic music;
    TFormPaths paths;
    paths.PackPath = kGame + "/Data/Data.pp";
    if (!code.empty()) paths.LanguagePackPath = kGame + "/Data/" + code + "/Data.pp";
    paths.ConfigPath = config.string();
    TForm1 form(sys, state, fonts, sound, music, paths);
    form.Create();
    state.MouseActive = 0;
    for (const uint32_t screen : {gsMainMenu, gsOptions, gsExitConfirm}) {
      state.GameState = screen;
      form.RunOnce();
      frames.push_back(sys.LastFrame);
    }
  }
  UseLanguage("", kGame + "/locale");
  return frames;
}

bool Differs(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, const TRect& r) {
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x) {
      const size_t i = static_cast<size_t>(y) * FakePlatform::kFrameWidth + static_cast<size_t>(x);
      if (a[i] != b[i]) return true;
    }
  return false;
}

TEST(ScreensInLanguage, MainMenuOptionsAndADialogShowTheLanguage) {
  namespace wl = menu_layout;
  const std::vector<std::vector<uint32_t>> english = Screens("");
  ASSERT_EQ(english.size(), 3u);
  // Where each screen's captions are, and a part of it without any.
  const TArea captions[] = {{"main menu: New Game", wl::kMainMenu[0].Rect},
                            {"options: the row labels", {320, 207, 520, 424}},
                            {"exit question", {250, 260, 560, 330}}};
  const TRect plain[] = {{400, 540, 800, 600}, {400, 540, 800, 600}, {620, 420, 800, 600}};
  std::ifstream linguas(std::string(TL_SOURCE_DIR) + "/po/LINGUAS");
  for (std::string code; std::getline(linguas, code);) {
    if (code.empty() || code[0] == '#') continue;
    const std::vector<std::vector<uint32_t>> own = Screens(code);
    ASSERT_EQ(own.size(), 3u) << code;
    for (size_t s = 0; s < 3; ++s) {
      EXPECT_TRUE(Differs(own[s], english[s], captions[s].rect))
          << code << ": " << captions[s].name;
      EXPECT_FALSE(Differs(own[s], english[s], plain[s])) << code << ": " << captions[s].name;
    }
  }
}

}  // namespace

// Every line the game draws at a fixed place fits the box it is drawn in, in
// every language and in the pseudo-language that runs 40 % long: measured
// with the game's own fonts and text measurement, as the screen draws it.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "game/GameLayout.h"
#include "graphics/DeviceContext.h"
#include "graphics/Fonts.h"
#include "graphics/Text.h"
#include "i18n/Gettext.h"
#include "i18n/Language.h"
#include "shell/HelpPages.h"
#include "shell/ScreenLayout.h"

namespace {

namespace sl = screen_layout;

const std::string kLocaleFolder = std::string(TL_GAME_DIR) + "/locale";

// A line as a screen draws it: English text, left edge, font cell, and the
// right edge of the box it must stay inside (the shadow is one pixel more).
// Running text steps down to a smaller size when it would not fit.
struct TFixedLine {
  const char* Where;
  std::string Text;
  int32_t X;
  int32_t Height;
  int32_t Width;
  int32_t Right;
  bool Steps = false;
};

constexpr int32_t kQuestionRight = sl::kQuestionDialog.X + sl::kDialogWidth;
constexpr int32_t kSubmitRight = sl::kSubmitDialog.X + sl::kDialogWidth;
constexpr int32_t kClearRight = sl::kClearScoresDialog.X + sl::kDialogWidth;
constexpr int32_t kNameRight = sl::kNameEntryDialog.X + sl::kDialogWidth;
constexpr int32_t kPanelRight = sl::kPanel.Right;

std::vector<TFixedLine> FixedLines() {
  std::vector<TFixedLine> lines = {
      {"exit question", "Exit  the game?", sl::kExitQuestion.X, 46, 20, kQuestionRight},
      {"quit question", "Exit the game?", sl::kExitQuestion.X, 46, 20, kQuestionRight},
      {"clear scores", "Do you want to clear", 260, 26, 14, kClearRight},
      {"clear scores", "the High Score Table?", 260, 26, 14, kClearRight},
      {"name entry", "Your score is %d", 290, 24, 14, kNameRight},
      {"name entry", "Please enter your name", 250, 24, 14, kNameRight},
      {"submit question", "Send the result to", 254, 24, 15, kSubmitRight},
      {"submit question", "world's highscores page", 216, 24, 15, kSubmitRight},
      {"connect failed", "Can not connect to", 254, 24, 15, kQuestionRight},
      {"connect failed", "server! Repeat?", 290, 24, 15, kQuestionRight},
      {"replay failed", "Can not play", 254, 24, 15, kQuestionRight},
      {"replay failed", "this replay!", 290, 24, 15, kQuestionRight},
      {"upload failed", "Can not send the", 254, 24, 15, kQuestionRight},
      {"upload failed", "replay! Repeat?", 290, 24, 15, kQuestionRight},
      {"submitting", "Verifying\u2026", 290, 24, 16, kQuestionRight},
      {"submitting", "Please wait...", 290, 24, 16, kQuestionRight},
      {"paused banner", "Pause", 350, 32, 20, kSeaRight},
      {"game over banner", "Game Over", 310, 32, 20, kSeaRight},
      {"level banner", "Level %d", 330, 32, 20, kSeaRight},
      {"help heading", "GAME OVERVIEW", kHelpHeadingX, 22, 12, kPanelRight},
      {"help heading", "MENU NAVIGATIONS", kHelpHeadingX, 22, 12, kPanelRight},
      {"help heading", "GAME NAVIGATIONS", kHelpHeadingX, 22, 12, kPanelRight},
      {"help heading", "Enemies", kHelpHeadingX, 22, 12, kBonusHeadingX},
      {"help heading", "Bonuses", kBonusHeadingX, 22, 12, kPanelRight},
      {"about heading", "ABOUT", kHelpHeadingX, 22, 12, kPanelRight},
  };
  auto running = [&](const char* where, std::string_view text, int32_t x, const TFontSpec& font,
                     int32_t right) {
    lines.push_back({where, std::string(text), x, font.Height, font.Width, right, true});
  };
  for (const THelpLine& line : kStoryLines)
    running("help page 1", line.Text, line.X, kHelpTextFont, kHelpTextRight);
  for (const THelpLine& line : kControlLines)
    running("help page 2", line.Text, line.X, kHelpTextFont, kHelpTextRight);
  // The enemies' column ends where the bonus icons start.
  for (const THelpLine& line : kEnemyLines)
    running("help page 3", line.Text, line.X, kEnemyTextFont, kBonusIconX);
  for (const THelpBonus& bonus : kBonusRows)
    running("help page 3", bonus.Name, kBonusNameX, kHelpTextFont, kHelpTextRight);
  for (const THelpLine& line : kPublisherLines) {
    lines.push_back({"about page", std::string(line.Text), line.X, 22, 12, kPanelRight});
  }
  return lines;
}

// The widest number the formats above show: a score and a level.
std::string Shown(const char* translated) {
  char text[256];
  std::snprintf(text, sizeof text, translated, 99999999);
  return text;
}

std::vector<std::string> Languages() {
  std::vector<std::string> codes;
  std::ifstream in(std::string(TL_SOURCE_DIR) + "/po/LINGUAS");
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') codes.push_back(line);
  }
  codes.push_back("en@pseudo");
  return codes;
}

TEST(FixedLinesFit, EveryLineStaysInsideItsBoxInEveryLanguage) {
  TFonts fonts;
  TSurface scratch(8, 8);
  TDeviceContext dc(fonts, scratch);
  const std::vector<TFixedLine> lines = FixedLines();
  std::string report;
  std::string steppedDown;
  // English keeps every line at its standard size: its screens look as ever.
  UseLanguage("", kLocaleFolder);
  for (const TFixedLine& line : lines) {
    if (!line.Steps) continue;
    const TFontSpec standard{line.Height, line.Width, 800};
    EXPECT_EQ(FittingFont(dc, line.Text, standard, line.Right - line.X).Height, line.Height)
        << "English, " << line.Where << ": \"" << line.Text << "\" no longer fits";
  }
  for (const std::string& code : Languages()) {
    UseLanguage(code, kLocaleFolder);
    ASSERT_NE(std::string(_("Please enter your name")), "Please enter your name")
        << code << ": no catalogue built";
    int32_t tightest = 1 << 30;
    std::string tightestText;
    for (const TFixedLine& line : lines) {
      const std::string shown = line.Text.find('%') == std::string::npos
                                    ? std::string(Translate(line.Text.c_str()))
                                    : Shown(Translate(line.Text.c_str()));
      // Measured in the font the screen draws it in.
      const TFontSpec standard{line.Height, line.Width, 800};
      const TFontSpec font =
          line.Steps ? FittingFont(dc, shown, standard, line.Right - line.X) : standard;
      dc.SelectFont(font);
      const int32_t right = line.X + dc.TextWidth(shown) + 1;
      if (font.Height != standard.Height)
        steppedDown += code + ", " + line.Where + ": " + std::to_string(font.Height) + "x" +
                       std::to_string(font.Width) + " ends at x " + std::to_string(right) + "\n";
      EXPECT_LE(right, line.Right)
          << code << ", " << line.Where << ": \"" << shown << "\" ends at x " << right
          << ", past the box's edge at " << line.Right;
      if (line.Right - right < tightest) {
        tightest = line.Right - right;
        tightestText = "\"" + shown + "\" (" + line.Where + ") ends at x " + std::to_string(right) +
                       " of " + std::to_string(line.Right);
      }
    }
    report += code + ": " + tightestText + "\n";
  }
  UseLanguage("", kLocaleFolder);
  std::printf("The tightest line per language:\n%s", report.c_str());
  if (!steppedDown.empty()) std::printf("Set a size smaller:\n%s", steppedDown.c_str());
}

}  // namespace

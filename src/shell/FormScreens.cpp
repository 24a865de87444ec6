// The screens' pictures: each screen composed layer by layer into the back
// buffer. The table of screens (Screens.cpp) says which draws when.

#include <string>
#include <string_view>

#include "game/Game.h"
#include "graphics/Geometry.h"
#include "graphics/Text.h"
#include "i18n/Gettext.h"
#include "shell/Form.h"
#include "shell/HelpPages.h"
#include "shell/HiScoreView.h"
#include "shell/ScreenLayout.h"

namespace {

constexpr int kNoPanel = -1;

namespace sl = screen_layout;

// The intro banner slides in from the left, this many pixels a frame.
constexpr uint32_t kIntroEnd = sl::kTitleBanner.Right;
constexpr uint32_t kIntroStep = 3;

// A caption of a dialog: position, font cell and colour.
struct TCaption {
  int32_t X;
  int32_t Y;
  int32_t Height;
  int32_t Width;
  uint32_t Color;
  const char* Text;
};

// Captions are English in the tables and drawn in the player's language.
void Draw(TFonts& fonts, TSurface& back, const TCaption& caption) {
  DrawCaption(fonts, caption.X, caption.Y, caption.Height, caption.Width, caption.Color, back,
              Translate(caption.Text));
}

// The layers above the background. Surfaces are lost all together, so a lost
// one also fails the clear or the background blit, which restore them; a
// refused layer is missing from this frame only.
void DrawLayer(TSurface& back, int32_t x, int32_t y, const TSurface* image) {
  if (image) (void)DrawOpaque(back, x, y, *image);
}
void DrawKeyedLayer(TSurface& back, int32_t x, int32_t y, const TSurface* image) {
  if (image) (void)DrawKeyed(back, x, y, *image);
}

}  // namespace

void TForm1::ComposeScreen(TSurface& back) {
  if (const auto draw = Screen().Draw) (this->*draw)(back);
}

bool TForm1::ScreenCoversFrame() const {
  const TSurface* background = nullptr;
  switch (Screen().Backdrop) {
    case TScreenBackdrop::Game:
      return State.CurrentGame && Display.BackBuffer &&
             State.CurrentGame->CoversFrame(*Display.BackBuffer);
    case TScreenBackdrop::Replay:  // a game frame, the paused picture, or the last frame kept
      return viewer_ != nullptr;
    case TScreenBackdrop::Picture:
      background = Menu(mnuBackground);
      break;
    case TScreenBackdrop::Snapshot:
      background = Display.SnapshotSurface.get();
      break;
    case TScreenBackdrop::None:
      return false;
  }
  const TSurface* back = Display.BackBuffer.get();
  return back != nullptr && background != nullptr && !back->IsLost() && !back->IsLocked() &&
         !background->IsLost() && !background->IsLocked() && background->Width() == back->Width() &&
         background->Height() == back->Height();
}

void TForm1::DrawBackground(TSurface& back, const TSurface* background, bool restoreOnFailure) {
  if (!background) return;
  // A failed background blit means lost image surfaces. The screens that do
  // not restore them here leave the repair to the next menu screen.
  if (DrawOpaque(back, 0, 0, *background) != kDdOk && restoreOnFailure) RestoreSurfaces();
}

void TForm1::DrawBackdrop(TSurface& back, int middleSlot, TPoint middleAt) {
  using TLayer = TMenuBackdrop::TLayer;
  const TLayer middle =
      middleSlot == kNoPanel ? TLayer{} : TLayer{Menu(middleSlot), middleAt, false};
  // A failed background blit means lost image surfaces: restore them.
  if (Backdrop.Draw(back, {TLayer{Menu(mnuBackground), {}, false}, middle,
                           TLayer{Menu(mnuTitle), {}, true}}) != kDdOk) {
    RestoreSurfaces();
  }
}

void TForm1::DrawMenuFrame(TSurface& back, int panelSlot) {
  DrawBackdrop(back, panelSlot, {sl::kPanel.Left, sl::kPanel.Top});
  Widgets->MainMenuGroup->Draw(back);
}

void TForm1::DrawDialogFrame(TSurface& back, const TSurface* background, TPoint box,
                             bool restoreOnFailure) {
  DrawBackground(back, background, restoreOnFailure);
  DrawLayer(back, box.X, box.Y, Menu(mnuDialogBox));
}

void TForm1::DrawMarker(TSurface& back, int slot, const screen_layout::TMarker& marker) {
  DrawLayer(back, marker.At.X, marker.At.Y, Menu(slot));
}

void TForm1::DrawIntro(TSurface& back) {
  DrawBackground(back, Menu(mnuBackground), false);
  if (const TSurface* title = Menu(mnuTitle)) {
    const auto x = static_cast<int16_t>(static_cast<int32_t>(State.IntroOffset) -
                                        static_cast<int32_t>(kIntroEnd));
    DrawClipped(*title, back, sl::kTitleBanner, x, 0);
  }
  if (State.IntroOffset >= kIntroEnd) {
    GoTo(gsMainMenu);
    State.IntroOffset = 0;
  }
  State.IntroOffset += kIntroStep;
  Widgets->MainMenuGroup->Draw(back);
}

void TForm1::DrawMainMenu(TSurface& back) {
  DrawMenuFrame(back, kNoPanel);
}

void TForm1::DrawOptions(TSurface& back) {
  DrawMenuFrame(back, mnuOptionsPanel);
  DrawMarker(back, mnuOptionsMarker, sl::kOptionsMarker);
  Widgets->OptionsGroup->Draw(back);
}

void TForm1::DrawKeyCapture(TSurface& back) {
  // The options panel waiting for a key: no main menu, no hover handling.
  DrawBackdrop(back, mnuOptionsPanel, {sl::kPanel.Left, sl::kPanel.Top});
  DrawMarker(back, mnuOptionsMarker, sl::kOptionsMarker);
  TDDOptBtnCollection& options = *Widgets->OptionsGroup;
  options.KeyButton.Draw(back);
  options.NameEdit.Draw(back);
  options.DisplayToggle.Draw(back);
  options.MusicToggle.Draw(back);
  options.SoundToggle.Draw(back);
}

void TForm1::DrawHighScores(TSurface& back) {
  DrawMenuFrame(back, mnuHighScorePanel);
  DrawMarker(back, mnuHighScoresMarker, sl::kHighScoresMarker);
  Widgets->HighScoreButtons->Draw(back);
  DrawHiScores(State.HiScores, Fonts, back);
  DrawReplayMarks(back);
}

void TForm1::DrawHelpPage(TSurface& back) {
  const uint32_t page = State.GameState;
  DrawMenuFrame(back, mnuHelpPanel);
  DrawMarker(back, mnuHelpMarker, sl::kHelpMarker);
  Widgets->HelpButtons->Draw(back);

  auto heading = [&](int32_t x, int32_t y, const char* text) {
    DrawCaption(Fonts, x, y, 22, 12, kOrange, back, Translate(text));
  };
  // Running text: a translation too long for its box gets a smaller size.
  TDeviceContext measure(Fonts, back);
  auto text = [&](int32_t x, int32_t y, const TFontSpec& standard, int32_t right,
                  std::string_view english) {
    const std::string source(english);
    const char* shown = Translate(source.c_str());
    const TFontSpec font = FittingFont(measure, shown, standard, right - x);
    DrawTextLeft(Fonts, x, y, font.Height, font.Width, false, kDarkBlue, back, shown);
  };
  auto lines = [&](const auto& table, const TFontSpec& standard, int32_t right) {
    for (const THelpLine& line : table) text(line.X, line.Y, standard, right, line.Text);
  };
  if (page == gsHelpStory) {
    // TRANSLATORS: Heading of the first help page.
    heading(kHelpHeadingX, kHelpHeadingY, N_("GAME OVERVIEW"));
    lines(kStoryLines, kHelpTextFont, kHelpTextRight);
  } else if (page == gsHelpControls) {
    // TRANSLATORS: Heading of the second help page: how to use the menus.
    heading(kHelpHeadingX, kHelpHeadingY, N_("MENU NAVIGATIONS"));
    // TRANSLATORS: Second heading of the second help page: how to play.
    heading(kHelpHeadingX, kGameHeadingY, N_("GAME NAVIGATIONS"));
    lines(kControlLines, kHelpTextFont, kHelpTextRight);
  } else {
    // TRANSLATORS: Heading of the third help page.
    heading(kHelpHeadingX, kHelpHeadingY, N_("Enemies"));
    // TRANSLATORS: Heading of the bonus column on the third help page.
    heading(kBonusHeadingX, kHelpHeadingY, N_("Bonuses"));
    lines(kEnemyLines, kEnemyTextFont, kBonusIconX);
    for (const THelpBonus& bonus : kBonusRows) {
      DrawKeyedLayer(back, kBonusIconX, bonus.Y, Sprite(bonus.SpriteSlot));
      text(kBonusNameX, bonus.Y + 5, kHelpTextFont, kHelpTextRight, bonus.Name);
    }
  }
}

void TForm1::DrawAbout(TSurface& back) {
  DrawMenuFrame(back, mnuHelpPanel);
  DrawMarker(back, mnuHelpMarker, sl::kHelpMarker);
  // TRANSLATORS: Heading of the About page.
  DrawCaption(Fonts, kHelpHeadingX, kHelpHeadingY, 22, 12, kOrange, back, _("ABOUT"));
  DrawCaption(Fonts, kAboutTitle.X, kAboutTitle.Y, 40, 18, kOrange, back, kAboutTitle.Text);
  for (const THelpLine& line : kPublisherLines) {
    DrawCaption(Fonts, line.X, line.Y, 22, 12, kDarkBlue, back,
                Translate(std::string(line.Text).c_str()));
  }
  DrawKeyedLayer(back, sl::kAboutPicture.X, sl::kAboutPicture.Y, Menu(mnuAboutPicture));
  Widgets->HelpButtons->Draw(back);
}

// The questions and messages: a dialog box over the menu background or the
// frozen game.

void TForm1::DrawExitConfirm(TSurface& back) {
  DrawBackdrop(back, mnuDialogBox, sl::kQuestionDialog);
  Draw(Fonts, back,
       // TRANSLATORS: Question before the program ends (from the main menu). Large letters: keep
       // it short.
       {sl::kExitQuestion.X, sl::kExitQuestion.Y, 46, 20, kDarkBlue, N_("Exit  the game?")});
  Widgets->YesNoGroup->Draw(back);
}

void TForm1::DrawClearScores(TSurface& back) {
  DrawDialogFrame(back, Display.SnapshotSurface.get(), sl::kClearScoresDialog, false);
  DrawKeyedLayer(back, 0, 0, Menu(mnuTitle));
  // TRANSLATORS: First line of a two-line question.
  Draw(Fonts, back, {260, 250, 26, 14, kDarkBlue, N_("Do you want to clear")});
  // TRANSLATORS: Second line of the question.
  Draw(Fonts, back, {260, 278, 26, 14, kDarkBlue, N_("the High Score Table?")});
  Widgets->OkCancelGroup->Draw(back);
}

void TForm1::DrawPaused(TSurface& back) {
  DrawBackground(back, Display.SnapshotSurface.get(), true);
  // TRANSLATORS: Shown while the game is paused.
  Draw(Fonts, back, {350, 300, 32, 20, kDarkBlue, N_("Pause")});
}

void TForm1::DrawNameEntry(TSurface& back) {
  DrawDialogFrame(back, Display.SnapshotSurface.get(), sl::kNameEntryDialog, false);
  const int32_t score = State.CurrentGame ? State.CurrentGame->Score : 0;
  // TRANSLATORS: Above the name entry after a good game.
  const std::string scoreText = Format(_("Your score is %d"), score);
  DrawCaption(Fonts, 290, 232, 24, 14, kDarkBlue, back, scoreText);
  // TRANSLATORS: Name entry after a good game.
  Draw(Fonts, back, {250, 254, 24, 14, kDarkBlue, N_("Please enter your name")});
  Widgets->OkCancelGroup->Draw(back);
  Widgets->NameField->Draw(back);
}

void TForm1::DrawSubmitAsk(TSurface& back) {
  DrawDialogFrame(back, Display.SnapshotSurface.get(), sl::kSubmitDialog, false);
  Widgets->YesNoGroup->Draw(back);
  // TRANSLATORS: First line of a two-line question.
  Draw(Fonts, back, {254, 252, 24, 15, kDarkBlue, N_("Send the result to")});
  // TRANSLATORS: Second line of the question: the world high-score table on the web.
  Draw(Fonts, back, {216, 282, 24, 15, kDarkBlue, N_("world's highscores page")});
}

void TForm1::DrawQuitGame(TSurface& back) {
  DrawDialogFrame(back, Display.SnapshotSurface.get(), sl::kQuestionDialog, true);
  Draw(Fonts, back,
       // TRANSLATORS: Question when Esc is pressed during a game: leave it for the main menu.
       // Large letters: keep it short.
       {sl::kExitQuestion.X, sl::kExitQuestion.Y, 46, 20, kDarkBlue, N_("Exit the game?")});
  Widgets->YesNoGroup->Draw(back);
}

void TForm1::DrawConnectFailed(TSurface& back) {
  DrawDialogFrame(back, Display.SnapshotSurface.get(), sl::kQuestionDialog, false);
  Widgets->YesNoGroup->Draw(back);
  // TRANSLATORS: First line of a two-line error.
  Draw(Fonts, back, {254, 252, 24, 15, kRed, N_("Can not connect to")});
  // TRANSLATORS: Second line: asks whether to try again.
  Draw(Fonts, back, {290, 282, 24, 15, kRed, N_("server! Repeat?")});
}

void TForm1::DrawReplayFailed(TSurface& back) {
  DrawDialogFrame(back, Display.SnapshotSurface.get(), sl::kQuestionDialog, false);
  // TRANSLATORS: First line of a two-line error.
  Draw(Fonts, back, {254, 252, 24, 15, kRed, N_("Can not play")});
  // TRANSLATORS: Second line of the error.
  Draw(Fonts, back, {290, 282, 24, 15, kRed, N_("this replay!")});
}

void TForm1::DrawUploadFailed(TSurface& back) {
  DrawDialogFrame(back, Display.SnapshotSurface.get(), sl::kQuestionDialog, false);
  Widgets->YesNoGroup->Draw(back);
  // TRANSLATORS: First line of a two-line error.
  Draw(Fonts, back, {254, 252, 24, 15, kRed, N_("Can not send the")});
  // TRANSLATORS: Second line: asks whether to try again.
  Draw(Fonts, back, {290, 282, 24, 15, kRed, N_("replay! Repeat?")});
}

void TForm1::DrawSubmitting(TSurface& back) {
  DrawDialogFrame(back, Display.SnapshotSurface.get(), sl::kQuestionDialog, false);
  // The server has the result; now it gets the game's replay to play
  // again. The catalogues are UTF-8, so the ellipsis is written as such.
  if (submission_ && submission_->RunningSteps()) {
    // TRANSLATORS: While the server plays the sent replay again.
    Draw(Fonts, back, {290, 282, 24, 16, kDarkBlue, N_("Verifying\u2026")});
  } else {
    // TRANSLATORS: While the result is being sent.
    Draw(Fonts, back, {290, 282, 24, 16, kDarkBlue, N_("Please wait...")});
  }
}

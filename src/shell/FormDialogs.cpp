// The questions and messages: the exit question, clearing the table, the name
// entry, sending the result and its retries, the quit question and the replay
// that cannot be played. Their keys and what their buttons do.
#include "online/ReplayUpload.h"
#include "online/ResultSubmission.h"
#include "settings/HiScores.h"
#include "shell/Form.h"
#include "shell/MenuKeys.h"

void TForm1::QuestionKey(uint16_t key) {
  TDDTextBtnCollection& yesNo = *Widgets->YesNoGroup;
  if (ChooseCaption(yesNo, key)) return;
  if (IsConfirm(key) || key == kVkY) {
    // Y confirms whichever caption is highlighted, exactly like Enter.
    Confirm(yesNo.Clicked);
  } else if (key == kVkN) {
    (this->*Screen().Escape)();
  }
}

void TForm1::OkCancelKey(uint16_t key) {
  TDDTextBtnCollection& okCancel = *Widgets->OkCancelGroup;
  if (ChooseCaption(okCancel, key)) return;
  if (IsConfirm(key)) Confirm(okCancel.Clicked);
}

void TForm1::NameEntryKey(uint16_t key) {
  TMenuWidgets& w = *Widgets;
  if (ChooseCaption(*w.OkCancelGroup, key)) return;
  if (IsLetter(key)) {
    w.NameField->KeyInput(static_cast<char>(key));
  } else if (key == kVkBack) {
    w.NameField->KeyInput(TDDEdit::kBackspace);
  } else if (IsConfirm(key)) {
    Confirm(w.OkCancelGroup->Clicked);
  }
}

void TForm1::AnyKeyToHighScores(uint16_t) {
  BackToHighScores();
}

void TForm1::BackToGame() {
  GoTo(gsPlaying);
  Sys.ShowCursor(false);
}

bool TForm1::ExitCommand() {
  TDDTextBtnCollection& yesNo = *Widgets->YesNoGroup;
  if (!yesNo.Clicked) return false;
  if (yesNo.FirstSelected) {
    State.ExitConfirmed = true;
    // Save while the name field still exists, then let the close through.
    SaveSettings();
    Close();
  } else {
    GoTo(gsMainMenu);
    State.ExitConfirmed = false;
  }
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
  return true;
}

bool TForm1::ClearScoresCommand() {
  TDDTextBtnCollection& okCancel = *Widgets->OkCancelGroup;
  if (!okCancel.Clicked) return false;
  if (okCancel.FirstSelected) {
    ResetHiScores(State.HiScores);
    UnlinkReplays();
  }
  GoTo(gsHighScores);
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
  return true;
}

bool TForm1::NameEntryCommand() {
  TMenuWidgets& w = *Widgets;
  if (!w.OkCancelGroup->Clicked) return false;
  if (w.OkCancelGroup->FirstSelected) {
    const int32_t score = State.CurrentGame ? State.CurrentGame->Score : 0;
    InsertResult(State.HiScores, w.NameField->Text, score);
    SaveSettings();  // a failed save is reported on stderr; the flow goes on
    LinkReplayToTable(w.NameField->Text, score);
    GoTo(gsSubmitAsk);
  } else {
    GoTo(gsMainMenu);
  }
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
  return true;
}

// Sending the result, asking again after a failed connection, or sending the
// replay again after its upload failed.
bool TForm1::SubmitCommand() {
  TMenuWidgets& w = *Widgets;
  if (!w.YesNoGroup->Clicked) return false;
  const bool send = w.YesNoGroup->FirstSelected;
  const bool retryUpload = State.GameState == gsUploadFailed;
  // "Please wait..." is on screen at once.
  GoTo(gsSubmitting);
  CommitScreen();
  State.LastFrameTick = Sys.TickCount() - 10;
  RenderFrame();
  if (send && retryUpload && retryUpload_) {
    // The result is in; only its replay goes again.
    submission_ = std::move(retryUpload_);
    submission_->RetryFailedStep();
    return true;
  }
  retryUpload_.reset();
  if (send) {
    // The requests run on their own thread; the loop keeps drawing this
    // screen and shows the outcome, with the menu sound, when they end.
    const int32_t score = State.CurrentGame ? State.CurrentGame->Score : 0;
    submission_ = std::make_unique<TResultSubmission>(Sys, w.NameField->Text, score,
                                                      State.Settings.PlayerName);
    // The replay of the game the result is from goes after it.
    if (lastReplay_.FrameCount() > 0) {
      const std::vector<uint8_t> bytes = EncodeReplay(lastReplay_);
      submission_->Then(ReplayUploadStep(std::string(bytes.begin(), bytes.end())));
    }
    submission_->Start();
    return true;
  }
  GoTo(gsHighScores);
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
  return true;
}

bool TForm1::QuitGameCommand() {
  TDDTextBtnCollection& yesNo = *Widgets->YesNoGroup;
  if (!yesNo.Clicked) return false;
  // The session ends at its next frame.
  if (yesNo.FirstSelected) QuitGame();
  BackToGame();
  Sound.PlaySoundAt(State.MouseX, State.MouseY, sndCheckMenu);
  return true;
}

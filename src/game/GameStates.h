#pragma once

#include <cstdint>

// The screen codes of GameState. Values not listed are never set.
enum : uint32_t {
  gsIntro = 0,
  gsMainMenu = 1,
  gsPlaying = 2,
  gsOptions = 3,
  gsHighScores = 4,
  gsHelpStory = 5,
  gsExitConfirm = 7,
  gsClearScores = 8,
  gsKeyCapture = 31,
  gsPaused = 33,
  gsNameEntry = 34,
  gsSubmitAsk = 35,
  gsQuitGame = 36,
  gsConnectFailed = 38,
  gsSubmitting = 39,
  gsUploadFailed = 40,  // the result went in, its replay did not: "Repeat?"
  gsReplayFailed = 41,  // a table row's replay cannot be played
  gsHelpControls = 51,
  gsHelpEnemies = 52,
  gsAbout = 53,
  gsWatching = 60,  // a replay plays
};

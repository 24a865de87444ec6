#pragma once

#include <array>
#include <cstdint>

#include "graphics/Geometry.h"
#include "platform/Platform.h"

// Where the screens put their pictures on the 800 x 600 frame. The asset forge
// paints the panels, markers, dialog box and title to these places and sizes,
// so this is the one place they are defined (the widgets' rectangles are in
// widgets/MenuLayout.h).
namespace screen_layout {

// The sub-screen panels (high scores, options, help) all fill this rectangle.
inline constexpr TRect kPanel{297, 157, kFrameWidth, 537};

// The marker drawn left of the main-menu item whose sub-screen is showing:
// its top-left corner and that item (options, high scores, help).
struct TMarker {
  TPoint At;
  int32_t Item = 0;
};
inline constexpr int32_t kMarkerSize = 40;
inline constexpr TMarker kOptionsMarker{{11, 229}, 1};
inline constexpr TMarker kHighScoresMarker{{12, 287}, 2};
inline constexpr TMarker kHelpMarker{{14, 349}, 3};
inline constexpr std::array<TMarker, 3> kMarkers{kOptionsMarker, kHighScoresMarker, kHelpMarker};

// The dialog box and its top-left corner on each dialog.
inline constexpr int32_t kDialogWidth = 420;
inline constexpr int32_t kDialogHeight = 200;
inline constexpr int32_t kDialogTop = 200;
inline constexpr TPoint kQuestionDialog{190, kDialogTop};  // exit, quit, retry, please wait
inline constexpr TPoint kSubmitDialog{200, kDialogTop};
inline constexpr TPoint kClearScoresDialog{210, kDialogTop};
inline constexpr TPoint kNameEntryDialog{215, kDialogTop};

// Where the exit and quit questions start.
inline constexpr TPoint kExitQuestion{250, 260};

// The title banner: the part of the overlay that slides in at start.
inline constexpr TRect kTitleBanner{0, 0, 524, 103};

// Where the high-score table's columns start and its rows lie; the asset
// forge heads the columns of the panel picture at the same places.
inline constexpr int32_t kHiScoreRankX = 320;
inline constexpr int32_t kHiScoreNameX = 410;
inline constexpr int32_t kHiScoreScoreX = 650;
inline constexpr int32_t kHiScoreTop = 190;
inline constexpr int32_t kHiScoreRowHeight = 26;
// Row `row` of the table as a click picks it to watch its replay.
constexpr TRect HiScoreRow(int32_t row) {
  const int32_t top = kHiScoreTop + kHiScoreRowHeight * row;
  return {300, top, 790, top + kHiScoreRowHeight};
}

// The picture on the about page.
inline constexpr TPoint kAboutPicture{330, 240};

}  // namespace screen_layout

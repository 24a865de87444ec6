#pragma once

#include <array>
#include <string_view>

#include "shell/ScreenLayout.h"
#include "widgets/MenuLayout.h"

// Where the menu pictures put their labels: the button rectangles of the
// menu groups (left, top, right, bottom on the 800 x 600 screen) and the
// captions drawn into them.
struct TLabelRect {
  int left, top, right, bottom;
  std::string_view text;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// A label drawn into one of the widgets' rectangles.
constexpr TLabelRect Label(const TRect& r, std::string_view text) {
  return {r.Left, r.Top, r.Right, r.Bottom, text};
}

namespace menu_labels {

namespace wl = menu_layout;
namespace sl = screen_layout;

// The six main-menu items, highlight images mnuNewGame .. mnuExit.
inline constexpr std::array<TLabelRect, 6> kMainMenu = {{
    Label(wl::kMainMenu[0].Rect, "New Game"),
    Label(wl::kMainMenu[1].Rect, "Options"),
    Label(wl::kMainMenu[2].Rect, "High Scores"),
    Label(wl::kMainMenu[3].Rect, "Help"),
    Label(wl::kMainMenu[4].Rect, "Home Page"),
    Label(wl::kMainMenu[5].Rect, "Exit"),
}};

// Where the sub-screen panels (mnuHighScorePanel, mnuOptionsPanel,
// mnuHelpPanel) are drawn.
inline constexpr int kPanelX = sl::kPanel.Left;
inline constexpr int kPanelY = sl::kPanel.Top;
inline constexpr int kPanelWidth = sl::kPanel.Right - sl::kPanel.Left;
inline constexpr int kPanelHeight = sl::kPanel.Bottom - sl::kPanel.Top;

// High-score buttons and help buttons, highlighted by their TButtonSpec slots.
inline constexpr std::array<TLabelRect, 2> kHighScoreButtons = {{
    Label(wl::kHighScoreButtons[0].Rect, "Clear table"),
    Label(wl::kHighScoreButtons[1].Rect, "World scores"),
}};
inline constexpr std::array<TLabelRect, 2> kHelpButtons = {{
    Label(wl::kHelpButtons[0].Rect, "Back"),
    Label(wl::kHelpButtons[1].Rect, "Next"),
}};

// Options toggles: display (mnuWindowed, mnuFullScreen), music and sound
// (mnuToggleOn, mnuToggleOff).
inline constexpr std::array<TLabelRect, 2> kDisplayToggle = {{
    Label(wl::kOptionsRects[0], "Windowed"),
    Label(wl::kOptionsRects[1], "Full screen"),
}};
inline constexpr std::array<TLabelRect, 2> kMusicToggle = {{
    Label(wl::kOptionsRects[2], "On"),
    Label(wl::kOptionsRects[3], "Off"),
}};
inline constexpr std::array<TLabelRect, 2> kSoundToggle = {{
    Label(wl::kOptionsRects[4], "On"),
    Label(wl::kOptionsRects[5], "Off"),
}};
// The options rows' own labels, left of their widgets.
inline constexpr std::array<TLabelRect, 5> kOptionRows = {{
    {320, 207, 430, 234, "Display"},
    {320, 255, 430, 282, "Music"},
    {320, 303, 440, 330, "Sound"},
    {320, 350, 520, 377, "Name"},
    {320, 397, 505, 424, "Minimize key"},
}};
inline constexpr double kRowLabelFont = 20;
inline constexpr TLabelRect kNameEdit = Label(wl::kOptionsRects[6], "");
inline constexpr TLabelRect kKeyButton = Label(wl::kKeyButtonRect, "");

// The sub-screen markers (mnuOptionsMarker and the two after it), drawn
// opaque left of the Options, High Scores and Help labels.
struct TMarker {
  int x, y, item;
};
constexpr TMarker Marker(const sl::TMarker& m) {
  return {m.At.X, m.At.Y, m.Item};
}
inline constexpr std::array<TMarker, 3> kMarkers = {
    {Marker(sl::kMarkers[0]), Marker(sl::kMarkers[1]), Marker(sl::kMarkers[2])}};
inline constexpr int kMarkerSize = sl::kMarkerSize;

// The title region of the overlay that slides in at start.
inline constexpr int kTitleWidth = sl::kTitleBanner.Right - sl::kTitleBanner.Left;
inline constexpr int kTitleHeight = sl::kTitleBanner.Bottom - sl::kTitleBanner.Top;

inline constexpr int kDialogWidth = sl::kDialogWidth;
inline constexpr int kDialogHeight = sl::kDialogHeight;

// Label font sizes in pixels.
inline constexpr double kMainMenuFont = 34;
inline constexpr double kSmallLabelFont = 15;

}  // namespace menu_labels

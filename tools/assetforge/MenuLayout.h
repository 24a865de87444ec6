#pragma once

#include <array>
#include <string_view>

#include "i18n/Gettext.h"
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
    // TRANSLATORS: Main menu item, drawn into the menu picture right-aligned
    // at x 284; the six items share one size, so keep them about as short as
    // the English.
    Label(wl::kMainMenu[0].Rect, N_("New Game")),
    Label(wl::kMainMenu[1].Rect, N_("Options")),
    Label(wl::kMainMenu[2].Rect, N_("High Scores")),
    Label(wl::kMainMenu[3].Rect, N_("Help")),
    // TRANSLATORS: Main menu item: opens the game's web site.
    Label(wl::kMainMenu[4].Rect, N_("Home Page")),
    // TRANSLATORS: Main menu item: leaves the program.
    Label(wl::kMainMenu[5].Rect, N_("Exit")),
}};

// Where the sub-screen panels (mnuHighScorePanel, mnuOptionsPanel,
// mnuHelpPanel) are drawn.
inline constexpr int kPanelX = sl::kPanel.Left;
inline constexpr int kPanelY = sl::kPanel.Top;
inline constexpr int kPanelWidth = sl::kPanel.Right - sl::kPanel.Left;
inline constexpr int kPanelHeight = sl::kPanel.Bottom - sl::kPanel.Top;

// High-score buttons and help buttons, highlighted by their TButtonSpec slots.
inline constexpr std::array<TLabelRect, 2> kHighScoreButtons = {{
    // TRANSLATORS: Button on the high-score screen, 121 x 21 pixels.
    Label(wl::kHighScoreButtons[0].Rect, N_("Clear table")),
    // TRANSLATORS: Button on the high-score screen, 178 x 21 pixels: opens the
    // world high-score page on the web.
    Label(wl::kHighScoreButtons[1].Rect, N_("World scores")),
}};
inline constexpr std::array<TLabelRect, 2> kHelpButtons = {{
    // TRANSLATORS: Button on the help pages, 102 x 21 pixels: the previous page.
    Label(wl::kHelpButtons[0].Rect, N_("Back")),
    // TRANSLATORS: Button on the help pages, 66 x 21 pixels: the next page.
    Label(wl::kHelpButtons[1].Rect, N_("Next")),
}};

// Options toggles: display (mnuWindowed, mnuFullScreen), music and sound
// (mnuToggleOn, mnuToggleOff).
inline constexpr std::array<TLabelRect, 2> kDisplayToggle = {{
    // TRANSLATORS: Display option, 107 x 19 pixels.
    Label(wl::kOptionsRects[0], N_("Windowed")),
    // TRANSLATORS: Display option, 166 x 19 pixels.
    Label(wl::kOptionsRects[1], N_("Full screen")),
}};
inline constexpr std::array<TLabelRect, 2> kMusicToggle = {{
    // TRANSLATORS: Music and sound toggle, 36 x 19 pixels: keep it very short.
    Label(wl::kOptionsRects[2], N_("On")),
    // TRANSLATORS: Music and sound toggle, 48 x 19 pixels: keep it very short.
    Label(wl::kOptionsRects[3], N_("Off")),
}};
inline constexpr std::array<TLabelRect, 2> kSoundToggle = {{
    Label(wl::kOptionsRects[4], N_("On")),
    Label(wl::kOptionsRects[5], N_("Off")),
}};
// The options rows' own labels, left of their widgets.
inline constexpr std::array<TLabelRect, 5> kOptionRows = {{
    // TRANSLATORS: Options row label, 110 x 27 pixels.
    {320, 207, 430, 234, N_("Display")},
    {320, 255, 430, 282, N_("Music")},
    // TRANSLATORS: Options row label, 120 x 27 pixels: sound effects.
    {320, 303, 440, 330, N_("Sound")},
    // TRANSLATORS: Options row label, 200 x 27 pixels: the player's name.
    {320, 350, 520, 377, N_("Name")},
    // TRANSLATORS: Options row label, 185 x 27 pixels: the key that minimizes
    // the window.
    {320, 397, 505, 424, N_("Minimize key")},
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

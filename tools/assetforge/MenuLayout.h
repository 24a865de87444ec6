#pragma once

#include <array>
#include <string_view>

// Where the menu pictures put their labels: the button rectangles of the
// menu groups (left, top, right, bottom on the 800 x 600 screen) and the
// captions drawn into them.
struct TLabelRect {
  int left, top, right, bottom;
  std::string_view text;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

namespace menu_layout {

// The six main-menu items, highlight images in menu slots 1..6.
inline constexpr std::array<TLabelRect, 6> kMainMenu = {{
    {60, 170, 284, 212, "New Game"},
    {124, 229, 284, 278, "Options"},
    {62, 289, 284, 329, "High Scores"},
    {188, 349, 284, 398, "Help"},
    {23, 410, 284, 452, "Home Page"},
    {201, 470, 284, 509, "Exit"},
}};

// Where the sub-screen panels (menu slots 10, 13, 14) are drawn.
inline constexpr int kPanelX = 297;
inline constexpr int kPanelY = 157;
inline constexpr int kPanelWidth = 503;
inline constexpr int kPanelHeight = 380;

// High-score buttons (menu slots 11, 12) and help buttons (15, 16).
inline constexpr std::array<TLabelRect, 2> kHighScoreButtons = {{
    {332, 469, 453, 490, "Clear table"},
    {585, 469, 763, 490, "World scores"},
}};
inline constexpr std::array<TLabelRect, 2> kHelpButtons = {{
    {332, 469, 434, 490, "Back"},
    {690, 469, 756, 490, "Next"},
}};

// Options toggles: display (menu slots 7, 8), music and sound (17, 18).
inline constexpr std::array<TLabelRect, 2> kDisplayToggle = {{
    {458, 211, 565, 230, "Windowed"},
    {585, 211, 751, 230, "Full screen"},
}};
inline constexpr std::array<TLabelRect, 2> kMusicToggle = {{
    {436, 259, 472, 278, "On"},
    {492, 259, 540, 278, "Off"},
}};
inline constexpr std::array<TLabelRect, 2> kSoundToggle = {{
    {445, 307, 481, 326, "On"},
    {501, 307, 549, 326, "Off"},
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
inline constexpr TLabelRect kNameEdit = {535, 349, 740, 379, ""};
inline constexpr TLabelRect kKeyButton = {510, 396, 600, 425, ""};

// The sub-screen markers (menu slots 23, 24, 25), drawn opaque left of the
// Options, High Scores and Help labels.
struct TMarker {
  int x, y, item;
};
inline constexpr std::array<TMarker, 3> kMarkers = {{{11, 229, 1}, {12, 287, 2}, {14, 349, 3}}};
inline constexpr int kMarkerSize = 40;

// The title region of the overlay that slides in at start.
inline constexpr int kTitleWidth = 524;
inline constexpr int kTitleHeight = 103;

inline constexpr int kDialogWidth = 420;
inline constexpr int kDialogHeight = 200;

// Label font sizes in pixels.
inline constexpr double kMainMenuFont = 34;
inline constexpr double kSmallLabelFont = 15;

}  // namespace menu_layout

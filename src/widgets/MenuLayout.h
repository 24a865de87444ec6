#pragma once

#include <array>
#include <cstdint>

#include "assets/PackSlots.h"
#include "platform/Platform.h"

// Where every menu widget sits on the 800 x 600 frame (left, top, right,
// bottom) and which MenuImages slot highlights it. The asset forge draws the
// labels of the menu pictures at these rectangles, so this is the one place
// they are defined.

// One item of a button list: its rectangle and its highlight image.
struct TButtonSpec {
  TRect Rect;
  TMenuSlot ImageIndex = mnuBackground;
};

namespace menu_layout {

inline constexpr std::array<TButtonSpec, 6> kMainMenu{{
    {{60, 170, 284, 212}, mnuNewGame},
    {{124, 229, 284, 278}, mnuOptions},
    {{62, 289, 284, 329}, mnuHighScores},
    {{188, 349, 284, 398}, mnuHelp},
    {{23, 410, 284, 452}, mnuHomePage},
    {{201, 470, 284, 509}, mnuExit},
}};

inline constexpr std::array<TButtonSpec, 2> kHighScoreButtons{{
    {{332, 469, 453, 490}, mnuClearTable},
    {{585, 469, 763, 490}, mnuWorldScores},
}};

inline constexpr std::array<TButtonSpec, 2> kHelpButtons{{
    {{332, 469, 434, 490}, mnuHelpBack},
    {{690, 469, 756, 490}, mnuHelpNext},
}};

// The options panel: display, music and sound toggles (first and second
// choice each), then the name field.
inline constexpr std::array<TRect, 7> kOptionsRects{{
    {458, 211, 565, 230},
    {585, 211, 751, 230},
    {436, 259, 472, 278},
    {492, 259, 540, 278},
    {445, 307, 481, 326},
    {501, 307, 549, 326},
    {535, 349, 740, 379},
}};
inline constexpr std::array<TMenuSlot, 6> kOptionsImages{mnuWindowed,  mnuFullScreen, mnuToggleOn,
                                                         mnuToggleOff, mnuToggleOn,   mnuToggleOff};

inline constexpr TRect kYesRect{280, 340, 352, 380};
inline constexpr TRect kNoRect{460, 340, 510, 380};
inline constexpr TRect kOkRect{280, 340, 330, 380};
inline constexpr TRect kCancelRect{420, 340, 540, 380};

inline constexpr TRect kKeyButtonRect{510, 396, 600, 425};

inline constexpr TRect kNameFieldRect{296, 300, 624, 330};

}  // namespace menu_layout

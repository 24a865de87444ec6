#pragma once

#include <cstdint>

#include "graphics/FrameGeometry.h"  // kSeaLeft, kSeaRight, kSeaBottom

// Where the game screen puts things, in back-buffer pixels: the sea between
// the two side panels, the fields of the panels, and how far the ships may go.
// The asset forge draws the panels around the same fields. A shot ends when
// it leaves the sea (kSeaBottom is the lowest row it may reach).

// The side panels are full-height strips beside the sea.
inline constexpr int16_t kSidePanelWidth = kSeaLeft;
inline constexpr int16_t kScreenHeight = kFrameHeight;
inline constexpr int16_t kRightPanelX = kSeaRight;

// A number on a panel: its anchor (centre or right edge by the field) and the
// font cell.
struct TPanelField {
  int32_t X;
  int32_t Y;
  int32_t Height;
  int32_t Width;
};
inline constexpr TPanelField kLevelField{58, 85, 30, 12};   // centred
inline constexpr TPanelField kScoreField{58, 205, 30, 11};  // centred
inline constexpr TPanelField kAmmoField{793, 360, 20, 10};  // right-aligned

// Lives: one icon per life in a row.
inline constexpr int32_t kLivesX = 9;
inline constexpr int32_t kLivesY = 320;
inline constexpr int32_t kLivesStep = 34;

// Health bar: two rows of its 28 x 144 image per point, growing upward.
inline constexpr int32_t kHealthBarX = 708;
inline constexpr int32_t kHealthBarBottom = 586;
inline constexpr int32_t kHealthBarWidth = 28;
inline constexpr int32_t kHealthBarHeight = 144;

// Weapon icons and the selection frame: a column of 61-pixel cells.
inline constexpr int32_t kWeaponX = 700;
inline constexpr int32_t kWeaponTop = 33;
inline constexpr int32_t kWeaponCell = 61;

// The player's hull image: two frames side by side.
inline constexpr int32_t kHullFrameWidth = 38;
inline constexpr int32_t kHullHeight = 103;

// The player's ship stays inside these bounds (top-left corner).
inline constexpr int16_t kShipMinX = 196;
inline constexpr int16_t kShipMaxX = 578;
inline constexpr int16_t kShipMinY = 40;
inline constexpr int16_t kShipMaxY = 480;

// Drifting enemies keep their whole box between these x positions.
inline constexpr int16_t kDriftLeft = 196;
inline constexpr int16_t kDriftRight = 604;

#pragma once

#include "graphics/Fonts.h"
#include "graphics/Surface.h"
#include "settings/HiScores.h"

// The high-score screen's ten rows in the columns of screen_layout, row r at
// kHiScoreTop + r kHiScoreRowHeight; the first row orange, the others dark
// blue. Names are drawn as stored, whatever bytes they hold.
void DrawHiScores(const THiScoreTable& table, TFonts& fonts, TSurface& surface);

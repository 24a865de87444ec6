#pragma once

#include "XmModule.h"

// Composes the two music modules by program: synthesised instruments
// (bass, lead, pad, kick, snare, hi-hat), a chord progression per four-bar
// pattern, a melody that follows the chords, bass, pad chords and drums.
// Every song ends on a chord that leads back to its first, so it loops.
class TMusicComposer {
 public:
  // 1: calm and heroic (menus, C major); 2: driving (in game, A minor).
  static TXmModule Compose(int track);
};

#pragma once

#include "graphics/Surface.h"

// What tests may do to a surface that the game never does.
struct TSurfaceTestAccess {
  // A busy surface refuses blits that ask not to wait, as a device that is
  // still drawing does.
  static void SetBusy(TSurface& surface, bool busy) { surface.busy_ = busy; }
};

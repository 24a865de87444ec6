#pragma once

#include <array>
#include <memory>

#include "graphics/Geometry.h"
#include "graphics/Surface.h"

// The still layers under a menu screen's widgets: the full-frame background,
// a panel or dialog box on it and the keyed title over both. They change only
// when the images are loaded again, so they are composed once and then drawn
// in one copy; the title alone would otherwise cost a keyed pass over every
// pixel of every frame.
class TMenuBackdrop {
 public:
  struct TLayer {
    const TSurface* Image = nullptr;  // nullptr: left out
    TPoint At{};
    bool Keyed = false;
    friend bool operator==(const TLayer&, const TLayer&) = default;
  };
  // Bottom to top; the first is the background.
  using TLayers = std::array<TLayer, 3>;

  // Draws `layers` into `back` and returns the background blit's result (kDdOk
  // without a background); the layers above it, like any layer of a frame,
  // are simply missing when refused. The composition is kept while the
  // background covers the whole frame and every layer drew: the same layers
  // next time are one copy. A lost or locked layer is always drawn layer by
  // layer, so its blit fails as it would without the copy.
  [[nodiscard]] HResult Draw(TSurface& back, const TLayers& layers);
  // The images were loaded again or released: compose anew next time.
  void Forget() { valid_ = false; }

 private:
  std::unique_ptr<TSurface> picture_;
  TLayers composed_{};
  bool valid_ = false;
};

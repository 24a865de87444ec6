#include "shell/MenuBackdrop.h"

namespace {

bool Usable(const TSurface& image) {
  return !image.IsLost() && !image.IsLocked();
}

// Whether a composition of `layers` can stand for them in `back`: the
// background writes every pixel, and no layer is lost or locked.
bool Keepable(const TSurface& back, const TMenuBackdrop::TLayers& layers) {
  const TSurface* background = layers[0].Image;
  if (background == nullptr || layers[0].At != TPoint{} || background->Width() != back.Width() ||
      background->Height() != back.Height()) {
    return false;
  }
  for (const TMenuBackdrop::TLayer& layer : layers) {
    if (layer.Image != nullptr && !Usable(*layer.Image)) return false;
  }
  return true;
}

}  // namespace

HResult TMenuBackdrop::Draw(TSurface& back, const TLayers& layers) {
  const bool keepable = Keepable(back, layers);
  if (keepable && valid_ && composed_ == layers) return DrawOpaque(back, 0, 0, *picture_);
  HResult background = kDdOk;
  bool allDrawn = true;
  for (size_t i = 0; i < layers.size(); ++i) {
    const TLayer& layer = layers[i];
    if (layer.Image == nullptr) continue;
    const HResult drawn = layer.Keyed ? DrawKeyed(back, layer.At.X, layer.At.Y, *layer.Image)
                                      : DrawOpaque(back, layer.At.X, layer.At.Y, *layer.Image);
    if (i == 0) background = drawn;
    allDrawn = allDrawn && drawn == kDdOk;
  }
  valid_ = false;
  if (!keepable || !allDrawn) return background;
  if (!picture_) picture_ = std::make_unique<TSurface>(back.Width(), back.Height());
  valid_ = DrawOpaque(*picture_, 0, 0, back) == kDdOk;
  composed_ = layers;
  return background;
}

#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "graphics/Surface.h"
#include "platform/Platform.h"

// The display: the visible surface, the 800 x 600 back buffer every frame is
// composed in, and the snapshot that holds the frozen game picture behind the
// pause and in-game dialogs.
class TDisplay {
 public:
  static constexpr int32_t kWidth = kFrameWidth;
  static constexpr int32_t kHeight = kFrameHeight;

  // Asks the platform for the window mode, then replaces the primary surface,
  // the back buffer and the snapshot; the snapshot's picture is carried over.
  // The platform places the window. Returns false (LastError()
  // says why) when the platform has no display; the surfaces exist anyway.
  bool SetUpDisplay(Platform& platform, bool windowed);
  const std::string& LastError() const { return lastError_; }

  // Black fill of the whole back buffer; fails while it is lost.
  HResult ClearBackBuffer();
  // Shows the back buffer (nothing while the primary or the back buffer is lost).
  void PresentFrame(Platform& platform);
  // Recovery after a failed clear or background blit: restores the primary
  // (and the offscreen surfaces that are lost), clears the back buffer and
  // reloads every image through `reloadImages`. Returns kDdRetry (1) without
  // reloading when the clear still fails, otherwise kDdOk.
  HResult RestoreSurfaces(const std::function<void()>& reloadImages);
  // Drops the three surfaces (shutdown order: back buffer, snapshot, primary).
  void Release();

  TSurfacePtr PrimarySurface;
  TSurfacePtr BackBuffer;
  TSurfacePtr SnapshotSurface;

 private:
  std::string lastError_;
};

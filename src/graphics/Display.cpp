#include "graphics/Display.h"

#include <algorithm>

bool TDisplay::SetUpDisplay(Platform& platform, bool windowed) {
  lastError_.clear();
  const bool ok = platform.SetDisplayMode(windowed, lastError_);

  PrimarySurface = std::make_shared<TSurface>(kWidth, kHeight);
  BackBuffer = std::make_shared<TSurface>(kWidth, kHeight);
  // The paused picture must survive a mode switch: copy it to the new surface
  // instead of showing whatever a fresh surface holds.
  auto snapshot = std::make_shared<TSurface>(kWidth, kHeight);
  if (SnapshotSurface && !SnapshotSurface->IsLost() && SnapshotSurface->Width() == kWidth &&
      SnapshotSurface->Height() == kHeight) {
    std::copy_n(SnapshotSurface->Pixels(), static_cast<size_t>(kWidth) * kHeight,
                snapshot->Pixels());
  }
  SnapshotSurface = std::move(snapshot);
  // Where the window stands is the platform's to decide: only it knows the
  // window's real size, the displays and their panels.
  return ok;
}

HResult TDisplay::ClearBackBuffer() {
  if (!BackBuffer) return kDdErrGeneric;
  return BackBuffer->Blt(nullptr, nullptr, nullptr, kBltColorFill | kBltWait, 0);
}

void TDisplay::PresentFrame(Platform& platform) {
  if (!BackBuffer || !PrimarySurface) return;
  // The platform copies the frame into the window itself, so the back buffer
  // goes out as it is instead of being copied to the primary first; the
  // primary stands for the window: while it (or the back buffer) is lost,
  // nothing is shown.
  if (PrimarySurface->IsLost() || PrimarySurface->IsLocked() || BackBuffer->IsLost() ||
      BackBuffer->IsLocked()) {
    return;
  }
  platform.Present(BackBuffer->Pixels(), BackBuffer->Pitch());
}

HResult TDisplay::RestoreSurfaces(const std::function<void()>& reloadImages) {
  const HResult primary = PrimarySurface ? PrimarySurface->Restore() : kDdErrGeneric;
  // The offscreen surfaces are restored too: a back buffer left lost would
  // fail every clear and the display would never recover.
  if (BackBuffer && BackBuffer->IsLost()) BackBuffer->Restore();
  if (SnapshotSurface && SnapshotSurface->IsLost()) SnapshotSurface->Restore();
  if (primary == kDdOk && ClearBackBuffer() != kDdOk) return kDdRetry;
  if (reloadImages) reloadImages();
  return kDdOk;
}

void TDisplay::Release() {
  BackBuffer.reset();
  SnapshotSurface.reset();
  PrimarySurface.reset();
}

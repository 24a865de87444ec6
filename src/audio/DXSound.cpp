#include "audio/DXSound.h"

#include <algorithm>

#include "audio/DirectSound.h"
#include "audio/DirectSoundBuffer.h"
#include "audio/DirectXError.h"

namespace {

// The device of a sound component: restoring its lost buffers reloads the
// component's lists.
class TDXSoundDirectSound final : public TDirectSound {
 public:
  TDXSoundDirectSound(TAudioOutput* output, TDXSound& sound)
      : TDirectSound(output), sound_(sound) {}

 protected:
  void RestoreLostBuffers() override { sound_.Restore(); }

 private:
  TDXSound& sound_;
};

}  // namespace

TDXSound::TDXSound(TAudioOutput* output) : output_(output) {}

TDXSound::~TDXSound() {
  try {
    Finalize();
  } catch (...) {
    // A receiver's failure must not escape a destructor.
  }
  Notify(TDXSoundNotifyType::dsntDestroying);
  receivers_.clear();
}

void TDXSound::DoFinalize() {
  if (OnFinalize) OnFinalize(*this);
}
void TDXSound::DoInitialize() {
  if (OnInitialize) OnInitialize(*this);
}
void TDXSound::DoInitializing() {
  if (OnInitializing) OnInitializing(*this);
}
void TDXSound::DoRestore() {
  if (OnRestore) OnRestore(*this);
}

void TDXSound::Notify(TDXSoundNotifyType type) {
  // A receiver may unregister itself while it is told.
  const std::vector<TReceiver> receivers = receivers_;
  for (const TReceiver& r : receivers) {
    const bool stillThere = std::any_of(receivers_.begin(), receivers_.end(),
                                        [&](const TReceiver& x) { return x.Key == r.Key; });
    if (stillThere && r.Event) r.Event(*this, type);
  }
}

void TDXSound::Initialize() {
  Finalize();
  Notify(TDXSoundNotifyType::dsntInitializing);
  DoInitializing();
  initializing_ = true;
  try {
    dsound_ = std::make_unique<TDXSoundDirectSound>(output_, *this);
    if (dsound_->DXResult() != DS_OK) {
      throw EDirectSoundError(FormatDXMessage(kCannotBeInitialized, "DirectSound"));
    }
    dsound_->GlobalFocus = Has(effectiveOptions_, TDXSoundOption::soGlobalFocus);
    dsound_->StickyFocus = Has(effectiveOptions_, TDXSoundOption::soStickyFocus);

    primary_ = std::make_unique<TDirectSoundBuffer>(*dsound_);
    TDSBufferDesc desc;
    desc.Flags = DSBCAPS_PRIMARYBUFFER;
    if (!primary_->CreateBuffer(desc)) {
      throw EDXSoundError(FormatDXMessage(kCannotBeMade, "Primary Buffer"));
    }
    initialized_ = true;
    dsound_->SetCooperativeLevel(
        Has(effectiveOptions_, TDXSoundOption::soExclusive) ? DSSCL_EXCLUSIVE : DSSCL_NORMAL);
  } catch (...) {
    Finalize();
    throw;
  }
  Notify(TDXSoundNotifyType::dsntInitialize);
  calledDoInitialize_ = true;
  DoInitialize();
  Restore();
}

void TDXSound::Finalize() {
  if (!initializing_) return;
  struct TCleanup {
    TDXSound& s;
    ~TCleanup() {
      s.initialized_ = false;
      s.initializing_ = false;
      s.effectiveOptions_ = s.options_;
      s.primary_.reset();
      s.dsound_.reset();
    }
  } cleanup{*this};
  try {
    if (calledDoInitialize_) {
      calledDoInitialize_ = false;
      DoFinalize();
    }
  } catch (...) {
    Notify(TDXSoundNotifyType::dsntFinalize);
    throw;
  }
  Notify(TDXSoundNotifyType::dsntFinalize);
}

void TDXSound::Restore() {
  if (!initialized_) return;
  Notify(TDXSoundNotifyType::dsntRestore);
  DoRestore();
}

void TDXSound::Loaded() {
  if (!AutoInitialize) return;
  try {
    Initialize();
  } catch (const EDirectSoundError&) {
    // No working sound device: every play stays silent.
  }
}

void TDXSound::SetOptions(TDXSoundOptions options) {
  options_ = options;
  if (!initialized_) {
    effectiveOptions_ = options;
    return;
  }
  // Exclusive mode is fixed while the device is open; the focus options
  // govern buffers created from now on.
  const auto exclusive = static_cast<uint8_t>(TDXSoundOption::soExclusive);
  effectiveOptions_ = static_cast<TDXSoundOptions>((effectiveOptions_ & exclusive) |
                                                   (options & static_cast<uint8_t>(~exclusive)));
  if (dsound_ != nullptr) {
    dsound_->GlobalFocus = Has(effectiveOptions_, TDXSoundOption::soGlobalFocus);
    dsound_->StickyFocus = Has(effectiveOptions_, TDXSoundOption::soStickyFocus);
  }
}

void TDXSound::RegisterNotifyEvent(const void* key, TNotifyEvent event) {
  receivers_.erase(std::remove_if(receivers_.begin(), receivers_.end(),
                                  [key](const TReceiver& r) { return r.Key == key; }),
                   receivers_.end());
  receivers_.push_back(TReceiver{key, event});
  if (initialized_ && event) {
    event(*this, TDXSoundNotifyType::dsntInitialize);
    event(*this, TDXSoundNotifyType::dsntRestore);
  }
}

void TDXSound::UnRegisterNotifyEvent(const void* key) {
  const auto it = std::find_if(receivers_.begin(), receivers_.end(),
                               [key](const TReceiver& r) { return r.Key == key; });
  if (it == receivers_.end()) return;
  TNotifyEvent event = std::move(it->Event);
  receivers_.erase(it);
  if (initialized_ && event) event(*this, TDXSoundNotifyType::dsntFinalize);
}

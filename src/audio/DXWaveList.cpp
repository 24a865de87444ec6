#include "audio/DXWaveList.h"

TDXWaveList::~TDXWaveList() {
  SetDXSound(nullptr);
}

void TDXWaveList::SetDXSound(TDXSound* sound) {
  if (sound == dxSound_) return;
  if (dxSound_ != nullptr) dxSound_->UnRegisterNotifyEvent(this);
  dxSound_ = sound;
  if (dxSound_ != nullptr) {
    dxSound_->RegisterNotifyEvent(
        this, [this](TDXSound& sender, TDXSoundNotifyType type) { Notify(sender, type); });
  }
}

void TDXWaveList::Notify(TDXSound& sender, TDXSoundNotifyType type) {
  switch (type) {
    case TDXSoundNotifyType::dsntDestroying:
      // The component is going away: forget it without calling back into it.
      dxSound_ = nullptr;
      items_.FinalizeItems();
      items_.SetDXSound(nullptr);
      break;
    case TDXSoundNotifyType::dsntInitializing:
      break;
    case TDXSoundNotifyType::dsntInitialize:
      items_.SetDXSound(&sender);
      items_.InitializeItems();
      break;
    case TDXSoundNotifyType::dsntFinalize:
      items_.FinalizeItems();
      items_.SetDXSound(nullptr);
      break;
    case TDXSoundNotifyType::dsntRestore:
      items_.RestoreItems();
      break;
  }
}

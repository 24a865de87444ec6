#pragma once

#include <cstdint>
#include <vector>

#include "audio/DirectX.h"

class TAudioOutput;
class TDirectSoundBuffer;
class TVoiceMixer;

// Cooperative levels.
inline constexpr int32_t DSSCL_NORMAL = 1;
inline constexpr int32_t DSSCL_PRIORITY = 2;
inline constexpr int32_t DSSCL_EXCLUSIVE = 3;
inline constexpr int32_t DSSCL_WRITEPRIMARY = 4;

// The sound device: the software mixer of an open audio output standing in
// for the DirectSound device interface. Keeps every buffer created on it.
class TDirectSound : public TDirectX {
 public:
  // Opens the default device on `output`. Without an open output the
  // result is DSERR_NODRIVER and there is no device interface.
  explicit TDirectSound(TAudioOutput* output);
  // Buffers still created on the device lose their interface and their link
  // to it; their holders still own and free them.
  ~TDirectSound() override;
  TDirectSound(const TDirectSound&) = delete;
  TDirectSound& operator=(const TDirectSound&) = delete;

  // The device interface; null when the device could not be opened.
  TVoiceMixer* ISound() const { return mixer_; }
  // Raises EDirectSoundError "IDirectSound not made" when there is none.
  TVoiceMixer& RequireISound();

  bool GlobalFocus = false;
  bool StickyFocus = false;

  void SetCooperativeLevel(int32_t level);
  int32_t CooperativeLevel() const { return cooperativeLevel_; }

  const std::vector<TDirectSoundBuffer*>& Buffers() const { return buffers_; }
  // Sound buffers created through this device since it opened.
  int CreatedBufferCount() const { return createdBuffers_; }

  // What the system does when another program takes the device: every
  // buffer stops and reports DSERR_BUFFERLOST until it is made anew.
  void LoseBuffers();

  bool InRestoreBuffer() const { return restoring_; }
  // Runs RestoreLostBuffers unless a restore is already running.
  void RestoreBuffers();

 protected:
  virtual void RestoreLostBuffers() {}

 private:
  friend class TDirectSoundBuffer;
  void AddBuffer(TDirectSoundBuffer* buffer);
  void RemoveBuffer(TDirectSoundBuffer* buffer);

  TVoiceMixer* mixer_ = nullptr;
  std::vector<TDirectSoundBuffer*> buffers_;
  int32_t cooperativeLevel_ = 0;
  int createdBuffers_ = 0;
  bool restoring_ = false;
};

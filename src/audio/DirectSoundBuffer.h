#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/DirectX.h"

class TDirectSound;
class TWave;

// Buffer description flags, play flags and status bits, with DirectSound's values.
inline constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x0001;
inline constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x0020;
inline constexpr uint32_t DSBCAPS_CTRLPAN = 0x0040;
inline constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x0080;
inline constexpr uint32_t DSBCAPS_STICKYFOCUS = 0x4000;
inline constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;
inline constexpr uint32_t DSBPLAY_LOOPING = 0x0001;
inline constexpr uint32_t DSBSTATUS_PLAYING = 0x0001;
inline constexpr uint32_t DSBSTATUS_BUFFERLOST = 0x0002;
inline constexpr uint32_t DSBSTATUS_LOOPING = 0x0004;
inline constexpr int32_t DSBFREQUENCY_MIN = 100;
inline constexpr int32_t DSBFREQUENCY_MAX = 200000;

// The 36-byte buffer description: flags, byte count, format block.
struct TDSBufferDesc {
  uint32_t Size = 36;
  uint32_t Flags = 0;
  uint32_t BufferBytes = 0;
  const uint8_t* Format = nullptr;  // wave format block, not owned
  int32_t FormatSize = 0;
};

// The 20-byte capabilities block.
struct TDSBufferCaps {
  uint32_t Size = 20;
  uint32_t Flags = 0;
  uint32_t BufferBytes = 0;
  uint32_t UnlockTransferRate = 0;
  uint32_t PlayCpuOverhead = 0;
};

// One sound buffer on a device: sample memory (shared with its duplicates),
// its format, and a voice of the mixer while it plays. Pan and volume are in
// hundredths of a decibel (pan -10000..10000, volume -10000..0); frequency in
// Hz, 0 = the format's own rate. Every call records its result; a
// DSERR_BUFFERLOST result makes the device restore its lost buffers, never
// twice at once.
class TDirectSoundBuffer : public TDirectX {
 public:
  // Enters `owner`'s buffer list; leaves it when destroyed.
  explicit TDirectSoundBuffer(TDirectSound& owner);
  ~TDirectSoundBuffer() override;
  TDirectSoundBuffer(const TDirectSoundBuffer&) = delete;
  TDirectSoundBuffer& operator=(const TDirectSoundBuffer&) = delete;

  // Makes a new buffer interface from the description (a previous one is
  // released first). False with a non-zero result when it cannot be made.
  bool CreateBuffer(const TDSBufferDesc& desc);
  // Creates a wave buffer of the wave's format and size and fills it.
  // Raises EDirectSoundBufferError "Sound Buffer cannot be made" or
  // "Sound Buffer cannot be locked".
  void LoadFromWave(const TWave& wave);
  // Becomes a second buffer on the same samples as `source`. Raises
  // EDirectSoundBufferError "Sound Buffer cannot be made" on failure.
  void AssignDuplicate(TDirectSoundBuffer& source);
  // Drops the buffer interface (stops playing).
  void ReleaseInterface();

  bool HasInterface() const { return memory_ != nullptr || primary_; }
  bool IsPrimary() const { return primary_; }
  bool Lost() const { return lost_; }

  // Locks `bytes` bytes from `offset` (wrapping at the end): one or two
  // regions. False when locked already, without an interface or lost.
  bool Lock(uint32_t offset, uint32_t bytes, uint8_t*& region1, uint32_t& length1,
            uint8_t*& region2, uint32_t& length2);
  void Unlock();

  // The calls below raise EDirectSoundBufferError "IDirectSoundBuffer not
  // made" when there is no interface.
  void Play(bool loop);
  void Stop();
  // Play cursor in bytes.
  uint32_t Position();
  void SetPosition(uint32_t bytes);
  int32_t Frequency() const { return frequency_; }
  void SetFrequency(int32_t hz);
  int32_t Pan() const { return pan_; }
  void SetPan(int32_t pan);
  int32_t Volume() const { return volume_; }
  void SetVolume(int32_t volume);
  uint32_t Status();
  // Playing or looping bit set.
  bool Playing();

  uint32_t Bytes() const;
  const TDSBufferCaps& Caps() const { return caps_; }
  const std::vector<uint8_t>& FormatBlock() const { return format_; }
  TDirectSound* DSound() const { return owner_; }

 protected:
  void Check() override;

 private:
  friend class TDirectSound;
  struct TMemory;

  void RequireInterface() const;
  void StopVoice();
  void MarkLost();
  void Detach();
  void Reset();

  TDirectSound* owner_;
  std::shared_ptr<TMemory> memory_;  // shared with duplicates
  bool primary_ = false;
  bool lost_ = false;
  bool locked_ = false;
  bool looping_ = false;
  TDSBufferCaps caps_;
  std::vector<uint8_t> format_;
  int voice_ = -1;
  uint32_t position_ = 0;  // frames, while no voice sounds
  int32_t frequency_ = 0;
  int32_t pan_ = 0;
  int32_t volume_ = 0;
};

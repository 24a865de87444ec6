#pragma once

#include <cstdint>

// Result codes of the sound device, with DirectSound's values.
inline constexpr int32_t DS_OK = 0;
inline constexpr int32_t DSERR_ALLOCATED = static_cast<int32_t>(0x8878000Au);
inline constexpr int32_t DSERR_INVALIDCALL = static_cast<int32_t>(0x88780032u);
inline constexpr int32_t DSERR_BADFORMAT = static_cast<int32_t>(0x88780064u);
inline constexpr int32_t DSERR_NODRIVER = static_cast<int32_t>(0x88780078u);
inline constexpr int32_t DSERR_BUFFERLOST = static_cast<int32_t>(0x88780096u);
inline constexpr int32_t DSERR_INVALIDPARAM = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t DSERR_OUTOFMEMORY = static_cast<int32_t>(0x8007000Eu);

// Base of the device objects: remembers the result of the last device call
// made through the object and calls Check whenever that result is non-zero.
class TDirectX {
 public:
  virtual ~TDirectX() = default;

  int32_t DXResult() const { return dxResult_; }
  void SetDXResult(int32_t result) {
    dxResult_ = result;
    if (result != DS_OK) Check();
  }

 protected:
  virtual void Check() {}

 private:
  int32_t dxResult_ = DS_OK;
};

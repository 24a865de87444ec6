#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "wave/WaveStream.h"

// The 16-byte PCM format block of a wave (little-endian in the image).
struct TPcmFormat {
  uint16_t FormatTag = 1;  // 1 = uncompressed PCM
  uint16_t Channels = 1;
  uint32_t SamplesPerSec = 0;
  uint32_t AvgBytesPerSec = 0;
  uint16_t BlockAlign = 1;
  uint16_t BitsPerSample = 8;

  static constexpr int32_t kBlockSize = 16;
  // A format for mono or stereo, 8- or 16-bit PCM at `rate` Hz.
  static TPcmFormat Pcm(uint32_t rate, uint16_t channels, uint16_t bits);
  std::vector<uint8_t> Bytes() const;
  // Reads the first 16 bytes of `block`; nullopt when it is shorter.
  static std::optional<TPcmFormat> Parse(std::span<const uint8_t> block);
  bool operator==(const TPcmFormat&) const = default;
};

// One sound in memory: a format block and the raw sample data. The sample
// buffer's capacity is a whole number of 8096-byte blocks and is reallocated
// only when that block count changes.
class TWave {
 public:
  static constexpr int32_t kBlockBytes = 8096;

  TWave() = default;
  TWave(const TWave& other) { Assign(&other); }
  TWave& operator=(const TWave& other) {
    Assign(&other);
    return *this;
  }
  TWave(TWave&&) noexcept = default;
  TWave& operator=(TWave&&) noexcept = default;

  // Frees both blocks; sizes become 0.
  void Clear();
  // Copies format and data; assigning itself does nothing, null clears.
  void Assign(const TWave* source);

  // Sample bytes (nullptr when empty) and their count.
  uint8_t* Data() { return data_.get(); }
  const uint8_t* Data() const { return data_.get(); }
  int32_t Size() const { return size_; }
  // Negative counts as 0; keeps the bytes that fit.
  void SetSize(int32_t size);
  int32_t Capacity() const { return capacity_; }
  std::span<const uint8_t> Samples() const { return {data_.get(), static_cast<size_t>(size_)}; }

  // The format block (nullptr when empty) and its size in bytes.
  uint8_t* Format() { return format_.empty() ? nullptr : format_.data(); }
  const uint8_t* Format() const { return format_.empty() ? nullptr : format_.data(); }
  int32_t FormatSize() const { return static_cast<int32_t>(format_.size()); }
  // Reallocates the format block to exactly `size` bytes (negative counts as
  // 0), keeping the bytes it had and zeroing new ones.
  void SetFormatSize(int32_t size);
  // The PCM fields of the format block, when it holds at least 16 bytes.
  std::optional<TPcmFormat> PcmFormat() const;
  void SetPcmFormat(const TPcmFormat& format);

  // Reads a RIFF "WAVE" image at the stream's position. Throws
  // EWaveStreamError or EReadError; on any error the wave is left cleared.
  void LoadFromStream(TStream& stream);
  // Writes the image at the stream's position; writes nothing when the
  // format or the data is empty.
  void SaveToStream(TStream& stream) const;

  // The same through a byte image (the stored "WAVE" value).
  void LoadFromBytes(std::span<const uint8_t> image);
  std::vector<uint8_t> SaveToBytes() const;

 private:
  std::unique_ptr<uint8_t[]> data_;
  std::vector<uint8_t> format_;
  int32_t size_ = 0;
  int32_t capacity_ = 0;
};

#include "wave/Wave.h"

#include <algorithm>
#include <cstring>

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(Get16(p)) | static_cast<uint32_t>(Get16(p + 2)) << 16;
}

}  // namespace

// --- TPcmFormat ----------------------------------------------------------

TPcmFormat TPcmFormat::Pcm(uint32_t rate, uint16_t channels, uint16_t bits) {
  TPcmFormat f;
  f.Channels = channels;
  f.SamplesPerSec = rate;
  f.BitsPerSample = bits;
  f.BlockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.AvgBytesPerSec = rate * f.BlockAlign;
  return f;
}

std::vector<uint8_t> TPcmFormat::Bytes() const {
  std::vector<uint8_t> out;
  out.reserve(kBlockSize);
  Put16(out, FormatTag);
  Put16(out, Channels);
  Put32(out, SamplesPerSec);
  Put32(out, AvgBytesPerSec);
  Put16(out, BlockAlign);
  Put16(out, BitsPerSample);
  return out;
}

std::optional<TPcmFormat> TPcmFormat::Parse(std::span<const uint8_t> block) {
  if (block.size() < static_cast<size_t>(kBlockSize)) return std::nullopt;
  const uint8_t* p = block.data();
  TPcmFormat f;
  f.FormatTag = Get16(p);
  f.Channels = Get16(p + 2);
  f.SamplesPerSec = Get32(p + 4);
  f.AvgBytesPerSec = Get32(p + 8);
  f.BlockAlign = Get16(p + 12);
  f.BitsPerSample = Get16(p + 14);
  return f;
}

// --- TWave ---------------------------------------------------------------

void TWave::Clear() {
  data_.reset();
  format_.clear();
  format_.shrink_to_fit();
  size_ = 0;
  capacity_ = 0;
}

void TWave::Assign(const TWave* source) {
  if (source == this) return;
  if (source == nullptr) {
    Clear();
    return;
  }
  SetFormatSize(source->FormatSize());
  std::copy(source->format_.begin(), source->format_.end(), format_.begin());
  SetSize(source->Size());
  if (size_ > 0) std::memcpy(data_.get(), source->data_.get(), static_cast<size_t>(size_));
}

void TWave::SetSize(int32_t size) {
  size = std::max(size, 0);
  const int64_t blocks = (static_cast<int64_t>(size) + kBlockBytes - 1) / kBlockBytes;
  const auto capacity = static_cast<int32_t>(blocks * kBlockBytes);
  if (capacity != capacity_) {
    std::unique_ptr<uint8_t[]> grown;
    if (capacity > 0) {
      grown = std::make_unique<uint8_t[]>(static_cast<size_t>(capacity));
      const int32_t keep = std::min(capacity, capacity_);
      if (keep > 0) std::memcpy(grown.get(), data_.get(), static_cast<size_t>(keep));
    }
    data_ = std::move(grown);
    capacity_ = capacity;
  }
  size_ = size;
}

void TWave::SetFormatSize(int32_t size) {
  // Exactly `size` bytes: what was there stays, new bytes are zero.
  format_.resize(static_cast<size_t>(std::max(size, 0)), 0);
  format_.shrink_to_fit();
}

std::optional<TPcmFormat> TWave::PcmFormat() const {
  return TPcmFormat::Parse(format_);
}

void TWave::SetPcmFormat(const TPcmFormat& format) {
  format_ = format.Bytes();
}

void TWave::LoadFromStream(TStream& stream) {
  Clear();
  try {
    TWaveStream waveStream(stream);
    waveStream.Open(false);
    SetFormatSize(waveStream.FormatSize());
    if (FormatSize() > 0)
      std::memcpy(format_.data(), waveStream.Format(), static_cast<size_t>(FormatSize()));
    SetSize(static_cast<int32_t>(waveStream.Size()));
    waveStream.ReadBuffer(data_.get(), size_);
  } catch (...) {
    Clear();
    throw;
  }
}

void TWave::SaveToStream(TStream& stream) const {
  if (FormatSize() <= 0 || size_ <= 0) return;
  TWaveStream waveStream(stream);
  waveStream.SetFormat(format_);
  waveStream.Open(true);
  waveStream.WriteBuffer(data_.get(), size_);
  waveStream.Complete();
}

void TWave::LoadFromBytes(std::span<const uint8_t> image) {
  TMemoryStream stream(image);
  LoadFromStream(stream);
}

std::vector<uint8_t> TWave::SaveToBytes() const {
  TMemoryStream stream;
  SaveToStream(stream);
  return stream.Bytes();
}

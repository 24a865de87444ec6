#include "wave/WaveStream.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr uint32_t FourCc(const char (&id)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24;
}

constexpr uint32_t kRiff = FourCc("RIFF");
constexpr uint32_t kWave = FourCc("WAVE");
constexpr uint32_t kFmt = FourCc("fmt ");
constexpr uint32_t kData = FourCc("data");

uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void StoreLe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

void WriteLe32(TStream& stream, uint32_t v) {
  std::array<uint8_t, 4> bytes{};
  StoreLe32(bytes.data(), v);
  stream.WriteBuffer(bytes.data(), 4);
}

constexpr const char* kChunkTooLarge = "Wave chunk is larger than the stream";
constexpr const char* kNotOpened = "Stream not opend";

}  // namespace

// --- TStream -------------------------------------------------------------

int64_t TStream::Size() {
  const int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int32_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError();
}

// --- TMemoryStream -------------------------------------------------------

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  const auto size = static_cast<int64_t>(bytes_.size());
  if (count <= 0 || position_ < 0 || position_ >= size) return 0;
  const auto n = static_cast<int32_t>(std::min<int64_t>(count, size - position_));
  std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0 || position_ < 0) return 0;
  const int64_t end = position_ + count;
  if (end > static_cast<int64_t>(bytes_.size())) bytes_.resize(static_cast<size_t>(end));
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case TSeekOrigin::soBeginning:
      position_ = offset;
      break;
    case TSeekOrigin::soCurrent:
      position_ += offset;
      break;
    case TSeekOrigin::soEnd:
      position_ = static_cast<int64_t>(bytes_.size()) + offset;
      break;
  }
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  bytes_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
  position_ = std::min(position_, static_cast<int64_t>(bytes_.size()));
}

// --- TCustomWaveStream ---------------------------------------------------

int32_t TCustomWaveStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  const int64_t size = Size();
  if (size >= 0) {
    position_ = std::clamp<int64_t>(position_, 0, size);
    count = static_cast<int32_t>(std::min<int64_t>(count, size - position_));
    if (count <= 0) return 0;
  }
  const int32_t n = ReadWave(buffer, count);
  position_ += n;
  return n;
}

int32_t TCustomWaveStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  const int64_t size = Size();
  if (size >= 0) position_ = std::clamp<int64_t>(position_, 0, size);
  const int32_t n = WriteWave(buffer, count);
  position_ += n;
  return n;
}

int64_t TCustomWaveStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t size = Size();
  int64_t target = offset;
  if (origin == TSeekOrigin::soCurrent) target = position_ + offset;
  if (origin == TSeekOrigin::soEnd) target = size + offset;
  position_ = std::clamp<int64_t>(target, 0, std::max<int64_t>(size, 0));
  return position_;
}

// --- TCustomWaveStream2 --------------------------------------------------

void TCustomWaveStream2::SetFormatSize(int32_t size) {
  // Exactly `size` bytes: what was there stays, new bytes are zero.
  format_.resize(static_cast<size_t>(std::max(size, 0)), 0);
  format_.shrink_to_fit();
}

void TCustomWaveStream2::SetFormat(std::span<const uint8_t> format) {
  SetFormatSize(static_cast<int32_t>(format.size()));
  std::copy(format.begin(), format.end(), format_.begin());
}

// --- TWaveStream ---------------------------------------------------------

TWaveStream::TWaveStream(TStream& stream) : stream_(stream) {
  startPosition_ = stream_.Position();
}

TWaveStream::~TWaveStream() {
  try {
    Complete();
  } catch (const std::exception&) {
    // A destructor must not throw; callers that care call Complete() first.
  }
}

void TWaveStream::Open(bool writeMode) {
  if (opened_) throw EWaveStreamError("Stream has already been opened");
  if (writeMode) {
    OpenWrite();
  } else {
    OpenRead();
  }
}

void TWaveStream::OpenRead() {
  opened_ = true;
  reading_ = true;
  stream_.SetPosition(startPosition_);
  std::array<uint8_t, 12> header{};
  stream_.ReadBuffer(header.data(), 12);
  if (LoadLe32(header.data()) != kRiff || LoadLe32(header.data() + 8) != kWave)
    throw EWaveStreamError("Wave is invalid");

  // Every chunk size is checked against what is left of the stream before
  // anything is allocated or skipped: a corrupt size never makes a huge
  // buffer or a seek backwards.
  const int64_t end = stream_.Size();
  for (;;) {
    std::array<uint8_t, 8> chunk{};
    stream_.Read(chunk.data(), 8);
    const uint32_t id = LoadLe32(chunk.data());
    if (id == 0) break;
    const uint32_t chunkSize = LoadLe32(chunk.data() + 4);
    const int64_t here = stream_.Position();
    if (static_cast<int64_t>(chunkSize) > end - here) throw EWaveStreamError(kChunkTooLarge);
    if (id == kFmt) {
      SetFormatSize(static_cast<int32_t>(chunkSize));
      stream_.ReadBuffer(MutableFormat(), static_cast<int32_t>(chunkSize));
    } else if (id == kData) {
      dataSize_ = chunkSize;
      dataStart_ = here;
      stream_.Seek(chunkSize, TSeekOrigin::soCurrent);
    } else {
      stream_.Seek(chunkSize, TSeekOrigin::soCurrent);
    }
  }
}

void TWaveStream::OpenWrite() {
  if (FormatSize() == 0) throw EWaveStreamError("Format is invalid");
  opened_ = true;
  stream_.SetPosition(startPosition_);
  const std::array<uint8_t, 12> placeholder{};
  stream_.WriteBuffer(placeholder.data(), 12);
  WriteLe32(stream_, kFmt);
  WriteLe32(stream_, static_cast<uint32_t>(FormatSize()));
  stream_.WriteBuffer(Format(), FormatSize());
  dataHeaderPosition_ = stream_.Position();
  WriteLe32(stream_, kData);
  WriteLe32(stream_, 0);
  dataStart_ = stream_.Position();
}

void TWaveStream::Complete() {
  if (!opened_ || reading_ || completed_) return;
  completed_ = true;
  const int64_t size = stream_.Size();
  stream_.SetPosition(startPosition_);
  WriteLe32(stream_, kRiff);
  WriteLe32(stream_, static_cast<uint32_t>(size - startPosition_ - 8));
  WriteLe32(stream_, kWave);
  stream_.SetPosition(dataHeaderPosition_);
  WriteLe32(stream_, kData);
  WriteLe32(stream_, static_cast<uint32_t>(size - dataStart_));
  stream_.Seek(0, TSeekOrigin::soEnd);
}

int64_t TWaveStream::Size() {
  if (!opened_) return 0;
  if (reading_) return dataSize_;
  return stream_.Size() - dataStart_;
}

int32_t TWaveStream::Read(void* buffer, int32_t count) {
  // The size of an unopened stream is 0, so the clamped read would never
  // reach ReadWave to say why nothing came.
  if (!opened_ && count > 0) throw EWaveStreamError(kNotOpened);
  return TCustomWaveStream2::Read(buffer, count);
}

int32_t TWaveStream::ReadWave(void* buffer, int32_t count) {
  if (!opened_) throw EWaveStreamError(kNotOpened);
  stream_.SetPosition(dataStart_ + Position());
  return stream_.Read(buffer, count);
}

int32_t TWaveStream::WriteWave(const void* buffer, int32_t count) {
  if (!opened_) throw EWaveStreamError(kNotOpened);
  const int64_t position = Position();
  if (reading_) count = static_cast<int32_t>(std::min<int64_t>(count, dataSize_ - position));
  if (count <= 0) return 0;
  stream_.SetPosition(dataStart_ + position);
  return stream_.Write(buffer, count);
}

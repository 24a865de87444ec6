#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// Byte streams and the RIFF "WAVE" stream that reads and writes a wave image
// on top of any of them. All integers in the image are 32-bit little-endian;
// chunks of odd length carry no pad byte.

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// Base of the stream errors; EReadError is a short read of a fixed part
// ("Stream read error"), EWriteError a short write ("Stream write error").
class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
};
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
};

// Errors of the wave stream: "Stream has already been opened", "Wave is
// invalid", "Format is invalid", "Stream not opend", and
// "Wave chunk is larger than the stream" for an image whose chunk sizes
// point past its end (nothing is allocated for such a chunk).
class EWaveStreamError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// An abstract byte stream with a 64-bit position.
class TStream {
 public:
  virtual ~TStream() = default;
  // Reads or writes up to `count` bytes at the position and advances it;
  // returns the bytes moved (0 for a non-positive count).
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();
  virtual void SetSize(int64_t /*size*/) {}

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  // Exactly `count` bytes or EReadError / EWriteError.
  void ReadBuffer(void* buffer, int32_t count);
  void WriteBuffer(const void* buffer, int32_t count);
};

// A growable stream in memory. Seeking past the end is allowed; a write there
// fills the gap with zeros.
class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::span<const uint8_t> bytes) : bytes_(bytes.begin(), bytes.end()) {}

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  void SetSize(int64_t size) override;

  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

// A stream over the sample data of a wave. Read and write clamp the position
// to the size and go through ReadWave / WriteWave; seek clamps to 0..size.
// With an unknown size (negative) reads are not clamped. Setting the stream
// size does nothing.
class TCustomWaveStream : public TStream {
 public:
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Bytes of sample data; -1 when unknown.
  int64_t Size() override { return -1; }
  void SetSize(int64_t /*size*/) final {}

  virtual const uint8_t* Format() const = 0;
  virtual int32_t FormatSize() const { return 0; }
  virtual void SetFormatSize(int32_t size) = 0;

 protected:
  virtual int32_t ReadWave(void* /*buffer*/, int32_t /*count*/) { return 0; }
  virtual int32_t WriteWave(const void* /*buffer*/, int32_t /*count*/) { return 0; }

 private:
  int64_t position_ = 0;
};

// A wave stream that owns its format block.
class TCustomWaveStream2 : public TCustomWaveStream {
 public:
  const uint8_t* Format() const override { return format_.empty() ? nullptr : format_.data(); }
  int32_t FormatSize() const override { return static_cast<int32_t>(format_.size()); }
  // Reallocates the block to exactly `size` bytes (negative counts as 0),
  // keeping the bytes it had and zeroing new ones.
  void SetFormatSize(int32_t size) override;
  // Copies `format` into the block.
  void SetFormat(std::span<const uint8_t> format);

 protected:
  uint8_t* MutableFormat() { return format_.empty() ? nullptr : format_.data(); }

 private:
  std::vector<uint8_t> format_;
};

// The RIFF "WAVE" image on an underlying stream (not owned), starting at the
// underlying stream's position when this object is created.
//
//   0 "RIFF", 4 image length - 8, 8 "WAVE", 12 "fmt ", 16 f, 20 format block,
//   20 + f "data", 24 + f d, 28 + f sample bytes
//
// Reading accepts other chunks (skipped) and chunks in any order.
class TWaveStream final : public TCustomWaveStream2 {
 public:
  explicit TWaveStream(TStream& stream);
  // Completes an image opened for writing; errors are swallowed here, so call
  // Complete() first when they matter.
  ~TWaveStream() override;
  TWaveStream(const TWaveStream&) = delete;
  TWaveStream& operator=(const TWaveStream&) = delete;

  // Opens for reading (writeMode false) or writing (true), once.
  void Open(bool writeMode);
  // Writes the RIFF and data headers of an image opened for writing and
  // leaves the underlying stream at its end. Does nothing otherwise or twice.
  void Complete();

  // 0 while not opened; the data size while reading; the bytes written after
  // the data start while writing.
  int64_t Size() override;
  bool Opened() const { return opened_; }
  // Reading or writing before Open raises "Stream not opend".
  int32_t Read(void* buffer, int32_t count) override;

 protected:
  int32_t ReadWave(void* buffer, int32_t count) override;
  int32_t WriteWave(const void* buffer, int32_t count) override;

 private:
  void OpenRead();
  void OpenWrite();

  int64_t dataStart_ = 0;
  int64_t dataHeaderPosition_ = 0;
  bool opened_ = false;
  bool reading_ = false;
  bool completed_ = false;
  int64_t startPosition_ = 0;
  int64_t dataSize_ = 0;
  TStream& stream_;
};

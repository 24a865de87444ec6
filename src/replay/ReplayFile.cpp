#include "replay/ReplayFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "game/GameChecksum.h"
#include "replay/InputColumns.h"

namespace {

constexpr uint8_t kMagic[4] = {'T', 'L', 'R', 0x1A};
// Magic, format and logic version, seed, start tick, date, score, level,
// frames, final checksum: the fixed part before the two texts.
constexpr size_t kFixedHeader = 42;
// Two text lengths, the two input lengths and the CRC.
constexpr size_t kSmallestFile = kFixedHeader + 2 + 8 + 4;
// Each frame adds at most two varints of five bytes in each of eight columns.
constexpr uint64_t kMaxRawBytesPerFrame = 80;
// A real four-hour game codes to a few MiB; nothing beyond this is inflated.
constexpr uint32_t kMaxRawInputBytes = 16u * 1024u * 1024u;

constexpr size_t kTagBits = kFrameTagBits;
constexpr uint32_t kTagMask = (1u << kTagBits) - 1;
size_t TagBytes(size_t frames) {
  return (frames * kTagBits + 7) / 8;
}

class TWriter {
 public:
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  }
  void U8(uint8_t v) { out.push_back(v); }
  void U16(uint16_t v) { Le(v, 2); }
  void U32(uint32_t v) { Le(v, 4); }
  void U64(uint64_t v) { Le(v, 8); }
  void Text(const std::string& s) {
    const size_t n = std::min(s.size(), kMaxReplayText);
    U8(static_cast<uint8_t>(n));
    Bytes(s.data(), n);
  }
  std::vector<uint8_t> out;

 private:
  void Le(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
};

class TReader {
 public:
  TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Has(size_t n) const { return n <= size_ - at_; }
  uint64_t Le(int n) {
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<uint64_t>(data_[at_ + i]) << (8 * i);
    at_ += static_cast<size_t>(n);
    return v;
  }
  const uint8_t* Take(size_t n) {
    const uint8_t* p = data_ + at_;
    at_ += n;
    return p;
  }
  size_t At() const { return at_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

TReplayReadResult Fail(TReplayError error, std::string message) {
  return TReplayReadResult{error, std::move(message)};
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (size > 0) {
    const auto chunk = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
    crc = crc32(crc, data, chunk);
    data += chunk;
    size -= chunk;
  }
  return static_cast<uint32_t>(crc);
}

}  // namespace

std::vector<uint8_t> EncodeReplay(const TReplay& replay) {
  const std::vector<uint8_t> raw = EncodeInputColumns(replay.Inputs);
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    packedSize = 0;  // only on memory exhaustion; the reader then rejects the file
  }
  packed.resize(packedSize);

  TWriter w;
  w.Bytes(kMagic, sizeof kMagic);
  w.U16(kReplayFormatVersion);
  w.U16(replay.LogicVersion);
  w.U64(replay.Seed);
  w.U32(replay.StartTick);
  w.U64(static_cast<uint64_t>(replay.StartDate));
  w.U32(static_cast<uint32_t>(replay.FinalScore));
  w.U16(replay.FinalLevel);
  w.U32(replay.FrameCount());
  w.U32(replay.FinalChecksum);
  w.Text(replay.GameVersion);
  w.Text(replay.PlayerName);
  w.U32(static_cast<uint32_t>(raw.size()));
  w.U32(static_cast<uint32_t>(packed.size()));
  w.Bytes(packed.data(), packed.size());
  const size_t checkpoints = replay.FrameCount() / kCheckpointFrames;
  for (size_t i = 0; i < checkpoints; ++i) {
    w.U32(i < replay.Checkpoints.size() ? replay.Checkpoints[i] : 0);
  }
  // Three bits a frame, packed from the low bit of each byte up.
  std::vector<uint8_t> tags(TagBytes(replay.FrameCount()), 0);
  for (size_t f = 0; f < replay.FrameCount(); ++f) {
    const uint32_t tag = f < replay.FrameTags.size() ? replay.FrameTags[f] & kTagMask : 0;
    const size_t bit = f * kTagBits;
    tags[bit / 8] = static_cast<uint8_t>(tags[bit / 8] | (tag << (bit % 8)));
    if (bit % 8 > 8 - kTagBits) tags[bit / 8 + 1] = static_cast<uint8_t>(tag >> (8 - bit % 8));
  }
  w.Bytes(tags.data(), tags.size());
  w.U32(Crc32(w.out.data(), w.out.size()));
  return std::move(w.out);
}

TReplayReadResult DecodeReplay(const uint8_t* data, size_t size, TReplay& out) {
  if (size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
    return Fail(TReplayError::Unreadable, "not a Tidal Lynx replay (no TLR signature)");
  }
  if (size > kMaxReplayBytes) {
    return Fail(TReplayError::Unreadable, "the file is larger than any replay can be");
  }
  if (size < kSmallestFile) return Fail(TReplayError::Truncated, "the file is cut short");
  TReader r(data, size);
  r.Take(sizeof kMagic);
  const auto format = static_cast<uint16_t>(r.Le(2));
  if (format != kReplayFormatVersion) {
    return Fail(TReplayError::OtherVersion, "replay format " + std::to_string(format) +
                                                " is not one this game reads (it reads " +
                                                std::to_string(kReplayFormatVersion) + ")");
  }
  // The CRC first: a damaged file is reported as damaged, whatever field the
  // damage fell in.
  const size_t body = size - 4;
  uint32_t stored = 0;
  for (int i = 0; i < 4; ++i) stored |= static_cast<uint32_t>(data[body + i]) << (8 * i);
  const bool crcOk = Crc32(data, body) == stored;

  out.LogicVersion = static_cast<uint16_t>(r.Le(2));
  out.Seed = r.Le(8);
  out.StartTick = static_cast<uint32_t>(r.Le(4));
  out.StartDate = static_cast<int64_t>(r.Le(8));
  out.FinalScore = static_cast<int32_t>(static_cast<uint32_t>(r.Le(4)));
  out.FinalLevel = static_cast<uint16_t>(r.Le(2));
  const auto frames = static_cast<uint32_t>(r.Le(4));
  out.FinalChecksum = static_cast<uint32_t>(r.Le(4));

  // Everything after the fixed header is measured against the bytes left
  // before the CRC; a length that does not fit means the file was cut.
  TReader rest(data + r.At(), body - r.At());
  auto text = [&](std::string& s) {
    if (!rest.Has(1)) return false;
    const auto n = static_cast<size_t>(rest.Le(1));
    if (n > kMaxReplayText || !rest.Has(n)) return false;
    const uint8_t* p = rest.Take(n);
    s.assign(reinterpret_cast<const char*>(p), n);
    return true;
  };
  auto truncatedOrCrc = [&](const char* what) {
    return Fail(TReplayError::Truncated,
                std::string("the file ends inside ") + what + " (cut short or damaged)");
  };
  if (!text(out.GameVersion)) return truncatedOrCrc("the game version");
  if (!text(out.PlayerName)) return truncatedOrCrc("the player name");
  if (!rest.Has(8)) return truncatedOrCrc("the input lengths");
  const auto rawSize = static_cast<uint32_t>(rest.Le(4));
  const auto packedSize = static_cast<uint32_t>(rest.Le(4));
  const size_t checkpoints = frames / kCheckpointFrames;
  const size_t tagBytes = TagBytes(frames);
  if (!rest.Has(packedSize) || !rest.Has(static_cast<size_t>(packedSize) + 4 * checkpoints) ||
      !rest.Has(static_cast<size_t>(packedSize) + 4 * checkpoints + tagBytes)) {
    return truncatedOrCrc("the inputs or checks");
  }
  if (static_cast<size_t>(packedSize) + 4 * checkpoints + tagBytes != body - r.At() - rest.At()) {
    if (!crcOk) return Fail(TReplayError::BadCrc, "the file is damaged (CRC-32 mismatch)");
    return Fail(TReplayError::Unreadable, "the file is longer than its layout");
  }
  if (!crcOk) return Fail(TReplayError::BadCrc, "the file is damaged (CRC-32 mismatch)");
  if (frames == 0 || frames > kMaxReplayFrames) {
    return Fail(TReplayError::Unreadable, "the frame count " + std::to_string(frames) +
                                              " is outside 1.." + std::to_string(kMaxReplayFrames));
  }
  if (rawSize == 0 || rawSize > static_cast<uint64_t>(frames) * kMaxRawBytesPerFrame ||
      rawSize > kMaxRawInputBytes) {
    return Fail(TReplayError::Unreadable, "the input length does not fit the frame count");
  }

  std::vector<uint8_t> raw(rawSize);
  uLongf rawGot = rawSize;
  uLong packedUsed = packedSize;
  const int z = uncompress2(raw.data(), &rawGot, rest.Take(packedSize), &packedUsed);
  if (z != Z_OK || rawGot != rawSize || packedUsed != packedSize) {
    return Fail(TReplayError::Unreadable, "the inputs do not inflate to their stated length");
  }
  std::string error;
  if (!DecodeInputColumns(raw.data(), raw.size(), frames, out.Inputs, error)) {
    return Fail(TReplayError::Unreadable, error);
  }
  out.Checkpoints.resize(checkpoints);
  for (uint32_t& c : out.Checkpoints) c = static_cast<uint32_t>(rest.Le(4));
  out.FrameTags.resize(frames);
  const uint8_t* tags = rest.Take(tagBytes);
  for (size_t f = 0; f < frames; ++f) {
    const size_t bit = f * kTagBits;
    uint32_t v = tags[bit / 8] >> (bit % 8);
    if (bit % 8 > 8 - kTagBits) v |= static_cast<uint32_t>(tags[bit / 8 + 1]) << (8 - bit % 8);
    out.FrameTags[f] = static_cast<uint8_t>(v & kTagMask);
  }
  return {};
}

#include "graphics/ImagePack.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/SurfaceRoutines.h"
#include "platform/BmpDecoder.h"

namespace {

constexpr uint32_t kMagentaColorRef = 0xFF00FF;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool ReadLength(std::FILE* f, uint32_t& length) {
  uint8_t b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  length = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

}  // namespace

TPackError::TPackError(const std::string& file, int record, const std::string& reason)
    : std::runtime_error("Image pack \"" + file + "\", record " + std::to_string(record) + ": " +
                         reason),
      file_(file),
      record_(record) {}

void ValidatePackRecord(const std::string& packPath, int index, const uint8_t* data, size_t size,
                        int64_t& packPixels) {
  TBmpLayout layout;
  std::string error;
  if (!ValidateBmpLayout(data, size, layout, error)) {
    throw TPackError(packPath, index, "bad bitmap: " + error);
  }
  if (layout.Pixels() > kMaxPackPixels - packPixels) {
    throw TPackError(packPath, index,
                     "its " + std::to_string(layout.Width) + " x " + std::to_string(layout.Height) +
                         " picture takes the pack past its budget of " +
                         std::to_string(kMaxPackPixels) + " pixels");
  }
  packPixels += layout.Pixels();
}

namespace {

// The bytes of record `index`, read after walking the lengths before it.
std::vector<uint8_t> ReadPackRecord(const std::string& packPath, int index) {
  if (index < 0 || index > 255) throw TPackError(packPath, index, "no such image index");
  FileHandle file(std::fopen(packPath.c_str(), "rb"));
  if (!file) throw TPackError(packPath, index, std::string("cannot open: ") + std::strerror(errno));
  std::FILE* f = file.get();
  if (std::fseek(f, 0, SEEK_END) != 0) throw TPackError(packPath, index, "cannot read the file");
  const long fileSize = std::ftell(f);
  if (fileSize < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
    throw TPackError(packPath, index, "cannot read the file");
  }

  int64_t pos = 0;
  uint32_t length = 0;
  for (int record = 0; record <= index; ++record) {
    if (!ReadLength(f, length)) {
      throw TPackError(packPath, record, "the file ends before this record's length");
    }
    pos += 4;
    const int64_t rest = fileSize - pos;
    if (length > kMaxPackRecordBytes) {
      throw TPackError(packPath, record,
                       "length " + std::to_string(length) + " is above the limit of " +
                           std::to_string(kMaxPackRecordBytes) + " bytes");
    }
    if (static_cast<int64_t>(length) > rest) {
      throw TPackError(packPath, record,
                       "length " + std::to_string(length) + " runs past the end of the file (" +
                           std::to_string(rest) + " bytes left)");
    }
    if (record < index) {
      pos += length;
      if (std::fseek(f, static_cast<long>(pos), SEEK_SET) != 0) {
        throw TPackError(packPath, record, "cannot skip the record");
      }
    }
  }

  std::vector<uint8_t> bytes(length);
  if (length > 0 && std::fread(bytes.data(), 1, length, f) != length) {
    throw TPackError(packPath, index, "the record ends early");
  }
  return bytes;
}

TSurfacePtr LoadCheckedPackImage(const std::string& packPath, int index, int64_t& packPixels) {
  const std::vector<uint8_t> bytes = ReadPackRecord(packPath, index);
  ValidatePackRecord(packPath, index, bytes.data(), bytes.size(), packPixels);
  TDecodedBitmap bitmap;
  std::string error;
  if (!DecodeBmp(bytes.data(), bytes.size(), bitmap, error)) {
    throw TPackError(packPath, index, "bad bitmap: " + error);
  }
  auto surface = std::make_shared<TSurface>(bitmap.Width, bitmap.Height);
  if (CopyBitmapToSurface(surface.get(), &bitmap, 0, 0, 0, 0) != kDdOk) {
    throw TPackError(packPath, index, "the bitmap could not be copied");
  }
  SetSurfaceColorKey(*surface, kMagentaColorRef);
  return surface;
}

}  // namespace

TSurfacePtr LoadPackImage(const std::string& packPath, int index) {
  int64_t packPixels = 0;
  return LoadCheckedPackImage(packPath, index, packPixels);
}

void LoadAllImages(TImageSlots& slots, const std::string& packPath) {
  int64_t packPixels = 0;
  for (int s = 0; s < kSpriteImageCount; ++s) {
    auto& slot = slots.SpriteImages[static_cast<size_t>(s)];
    slot.reset();
    slot = LoadCheckedPackImage(packPath, s, packPixels);
  }
  for (int i = 0; i < kMenuImageCount; ++i) {
    auto& slot = slots.MenuImages[static_cast<size_t>(i)];
    slot.reset();
    slot = LoadCheckedPackImage(packPath, kSpriteImageCount + i, packPixels);
  }
}

void ReleaseAllImages(TImageSlots& slots) {
  for (auto& slot : slots.MenuImages) slot.reset();
  for (auto& slot : slots.SpriteImages) slot.reset();
}

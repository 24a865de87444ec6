#include "graphics/ImagePack.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "graphics/BmpDecoder.h"
#include "graphics/SurfaceRoutines.h"
#include "platform/RegularFile.h"

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

TBmpLayout ValidatePackRecord(const std::string& packPath, int index, const uint8_t* data,
                              size_t size, int64_t& packPixels) {
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
  return layout;
}

namespace {

// Reads the pack's records front to back through one open file: each length
// is checked against the limit and the bytes left before its record is read
// (into one buffer reused for every record), skipped records are sought over.
class TPackReader {
 public:
  // A file that cannot be opened or sized is reported for record `wanted`.
  // Anything but a regular file (a FIFO, which is never waited on, a folder)
  // is refused like a missing one.
  TPackReader(const std::string& packPath, int wanted) : path_(packPath) {
    std::string error;
    long long size = 0;
    TFileDescriptor fd = OpenRegularFile(packPath, size, error);
    if (!fd) throw TPackError(path_, wanted, "cannot open: " + error);
    file_.reset(::fdopen(fd.Get(), "rb"));
    if (!file_)
      throw TPackError(path_, wanted, std::string("cannot open: ") + std::strerror(errno));
    (void)fd.Release();  // the stream closes it now
    fileSize_ = size;
  }

  int NextRecord() const { return record_; }

  // Reads the next record's bytes into Bytes().
  void Read() {
    const uint32_t length = NextLength();
    bytes_.resize(length);
    if (length > 0 && std::fread(bytes_.data(), 1, length, file_.get()) != length) {
      throw TPackError(path_, record_, "the record ends early");
    }
    pos_ += length;
    ++record_;
  }

  // Passes over the next record without reading its bytes.
  void Skip() {
    const uint32_t length = NextLength();
    pos_ += length;
    if (std::fseek(file_.get(), static_cast<long>(pos_), SEEK_SET) != 0) {
      throw TPackError(path_, record_, "cannot skip the record");
    }
    ++record_;
  }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  const std::string& Path() const { return path_; }

 private:
  uint32_t NextLength() {
    uint32_t length = 0;
    if (!ReadLength(file_.get(), length)) {
      throw TPackError(path_, record_, "the file ends before this record's length");
    }
    pos_ += 4;
    const int64_t rest = fileSize_ - pos_;
    if (length > kMaxPackRecordBytes) {
      throw TPackError(path_, record_,
                       "length " + std::to_string(length) + " is above the limit of " +
                           std::to_string(kMaxPackRecordBytes) + " bytes");
    }
    if (static_cast<int64_t>(length) > rest) {
      throw TPackError(path_, record_,
                       "length " + std::to_string(length) + " runs past the end of the file (" +
                           std::to_string(rest) + " bytes left)");
    }
    return length;
  }

  std::string path_;
  FileHandle file_;
  int64_t fileSize_ = 0;
  int64_t pos_ = 0;
  int record_ = 0;
  std::vector<uint8_t> bytes_;
};

// The record just read, checked, then decoded straight into a new surface.
TSurfacePtr DecodePackImage(const TPackReader& reader, int64_t& packPixels) {
  const int index = reader.NextRecord() - 1;
  const std::vector<uint8_t>& bytes = reader.Bytes();
  const TBmpLayout layout =
      ValidatePackRecord(reader.Path(), index, bytes.data(), bytes.size(), packPixels);
  auto surface = std::make_shared<TSurface>(layout.Width, layout.Height);
  std::string error;
  if (!DecodeBmpInto(bytes.data(), bytes.size(), layout, surface->Pixels(), surface->Width(),
                     error)) {
    throw TPackError(reader.Path(), index, "bad bitmap: " + error);
  }
  SetSurfaceColorKey(*surface, kMagentaColorRef);
  return surface;
}

}  // namespace

TSurfacePtr LoadPackImage(const std::string& packPath, int index) {
  if (index < 0 || index > 255) throw TPackError(packPath, index, "no such image index");
  TPackReader reader(packPath, index);
  while (reader.NextRecord() < index) reader.Skip();
  reader.Read();
  int64_t packPixels = 0;
  return DecodePackImage(reader, packPixels);
}

void LoadAllImages(TImageSlots& slots, const std::string& packPath) {
  int64_t packPixels = 0;
  std::optional<TPackReader> reader;
  auto load = [&](TSurfacePtr& slot) {
    slot.reset();
    if (!reader) reader.emplace(packPath, 0);
    reader->Read();
    slot = DecodePackImage(*reader, packPixels);
  };
  for (auto& slot : slots.SpriteImages) load(slot);
  for (auto& slot : slots.MenuImages) load(slot);
}

std::string LoadLanguageImages(TImageSlots& slots, const std::string& languagePackPath) {
  std::error_code error;
  if (!std::filesystem::exists(languagePackPath, error)) return {};
  try {
    int64_t packPixels = 0;
    TPackReader reader(languagePackPath, 0);
    auto load = [&](TSurfacePtr& slot) {
      reader.Read();
      if (reader.Bytes().empty()) return;  // the English picture serves
      TSurfacePtr own = DecodePackImage(reader, packPixels);
      slot = std::move(own);
    };
    for (auto& slot : slots.SpriteImages) load(slot);
    for (auto& slot : slots.MenuImages) load(slot);
  } catch (const TPackError& e) {
    return e.what();
  }
  return {};
}

void ReleaseAllImages(TImageSlots& slots) {
  for (auto& slot : slots.MenuImages) slot.reset();
  for (auto& slot : slots.SpriteImages) slot.reset();
}

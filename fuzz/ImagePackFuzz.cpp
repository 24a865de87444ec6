// The image pack as the game loads it: all 76 records, from a file.
// Properties: only TPackError escapes; it names the file and a record the
// loader reached, which is left empty while every record before it is loaded;
// a loaded pack stays within the pixel budget.

#include <string>

#include "FuzzCheck.h"
#include "images/ImagePack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::TScratchFile pack("Data.pp");
  pack.Write(data, size);
  TImageSlots slots;
  auto slot = [&slots](int record) -> const TSurfacePtr& {
    return record < kSpriteImageCount
               ? slots.SpriteImages[static_cast<size_t>(record)]
               : slots.MenuImages[static_cast<size_t>(record - kSpriteImageCount)];
  };
  try {
    LoadAllImages(slots, pack.Path());
    int64_t pixels = 0;
    for (int record = 0; record < kPackImageCount; ++record) {
      const TSurfacePtr& surface = slot(record);
      TL_FUZZ_CHECK(surface != nullptr, "a loaded pack fills every slot");
      TL_FUZZ_CHECK(surface->ColorKey().has_value(), "every image keys out magenta");
      pixels += static_cast<int64_t>(surface->Width()) * surface->Height();
    }
    TL_FUZZ_CHECK(pixels <= kMaxPackPixels, "a loaded pack stays within the pixel budget");
  } catch (const TPackError& e) {
    TL_FUZZ_CHECK(e.File() == pack.Path(), "the error names the file");
    TL_FUZZ_CHECK(e.Record() >= 0 && e.Record() < kPackImageCount, "the error names a record");
    const std::string what = e.what();
    TL_FUZZ_CHECK(what.find("record " + std::to_string(e.Record()) + ":") != std::string::npos,
                  "the message names the record");
    for (int record = 0; record < e.Record(); ++record) {
      TL_FUZZ_CHECK(slot(record) != nullptr, "records before the failure are loaded");
    }
    TL_FUZZ_CHECK(slot(e.Record()) == nullptr, "the failed record's slot is empty");
  }
  return 0;
}

// The BMP decoder on one record's bytes. Properties: nothing the layout check
// refuses is decoded (and the refusal is the decoder's message); a decoded
// picture has the checked size and only 0x00RRGGBB words.

#include <string>

#include "FuzzCheck.h"
#include "images/BmpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBmpLayout layout;
  std::string layoutError;
  const bool valid = ValidateBmpLayout(data, size, layout, layoutError);
  TDecodedBitmap bitmap;
  std::string error;
  const bool decoded = DecodeBmp(data, size, bitmap, error);
  if (!valid) {
    TL_FUZZ_CHECK(!decoded, "a refused layout is never decoded");
    TL_FUZZ_CHECK(error == layoutError, "the decoder reports the layout check's reason");
    return 0;
  }
  TL_FUZZ_CHECK(layout.Pixels() <= kMaxBmpPixels, "an accepted layout is within the limits");
  if (!decoded) {
    TL_FUZZ_CHECK(!error.empty(), "a refusal says why");
    return 0;
  }
  TL_FUZZ_CHECK(bitmap.Width == layout.Width && bitmap.Height == layout.Height,
                "the picture has the size the headers declare");
  TL_FUZZ_CHECK(bitmap.Pixels.size() == static_cast<size_t>(layout.Pixels()), "one word per pixel");
  for (uint32_t pixel : bitmap.Pixels) {
    TL_FUZZ_CHECK((pixel & 0xFF000000u) == 0, "pixels are 0x00RRGGBB");
  }
  return 0;
}

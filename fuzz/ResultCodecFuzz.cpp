// The result codec shared by game and server. Properties: any bytes encode to
// alphabet characters and decode back to themselves; a text the decoder
// accepts is exactly what encoding its result gives.

#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "protocol/ResultCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string encoded = EncodeResult(bytes);
  TL_FUZZ_CHECK(encoded.size() == (size * 8 + 4) / 5, "five bits per character");
  TL_FUZZ_CHECK(encoded.find_first_not_of(kResultAlphabet) == std::string::npos,
                "only alphabet characters");
  const auto decoded = DecodeResult(encoded);
  TL_FUZZ_CHECK(decoded && *decoded == bytes, "encode then decode gives the bytes back");
  if (const auto read = DecodeResult(bytes)) {
    TL_FUZZ_CHECK(EncodeResult(*read) == bytes, "the decoder accepts only what the encoder makes");
  }
  return 0;
}

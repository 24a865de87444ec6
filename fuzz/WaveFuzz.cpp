// Wave data (a RIFF "WAVE" image) as the sound bank stores it. Properties:
// only the stream errors escape, a failed load leaves the wave empty, the
// samples never outgrow the image, and a loaded wave saves and loads back to
// the same format and samples.

#include <algorithm>
#include <span>

#include "FuzzCheck.h"
#include "wave/Wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWave wave;
  try {
    wave.LoadFromBytes(std::span<const uint8_t>(data, size));
  } catch (const EStreamError&) {
    TL_FUZZ_CHECK(wave.Size() == 0 && wave.FormatSize() == 0,
                  "a failed load leaves the wave empty");
    return 0;
  }
  TL_FUZZ_CHECK(static_cast<size_t>(wave.Size()) <= size, "the samples come from the image");
  if (wave.Size() == 0 || wave.FormatSize() == 0) return 0;
  const std::vector<uint8_t> saved = wave.SaveToBytes();
  TWave again;
  again.LoadFromBytes(saved);
  TL_FUZZ_CHECK(again.FormatSize() == wave.FormatSize() &&
                    std::equal(wave.Format(), wave.Format() + wave.FormatSize(), again.Format()),
                "the format survives a save and load");
  TL_FUZZ_CHECK(std::ranges::equal(again.Samples(), wave.Samples()),
                "the samples survive a save and load");
  return 0;
}

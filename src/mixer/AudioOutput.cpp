#include "mixer/AudioOutput.h"

#include <algorithm>

#include "mixer/ModulePlayer.h"
#include "mixer/VoiceMixer.h"

TAudioOutput::TAudioOutput(Platform& platform, TVoiceMixer& voices, TModulePlayer& music)
    : platform_(platform),
      voices_(voices),
      music_(music),
      accum_(static_cast<size_t>(kChunkFrames) * 2) {}

TAudioOutput::~TAudioOutput() {
  Close();
}

bool TAudioOutput::Open() {
  if (open_) return true;
  open_ = platform_.OpenAudio(voices_.OutputRate(),
                              [this](int16_t* samples, int frames) { Render(samples, frames); });
  return open_;
}

void TAudioOutput::Close() {
  if (!open_) return;
  platform_.CloseAudio();
  open_ = false;
}

void TAudioOutput::Render(int16_t* samples, int frames) {
  int done = 0;
  while (done < frames) {
    const int n = std::min(frames - done, kChunkFrames);
    std::fill_n(accum_.begin(), static_cast<size_t>(n) * 2, 0);
    music_.RenderAdd(accum_.data(), n);
    voices_.MixAdd(accum_.data(), n);
    SaturateToPcm16(accum_.data(), samples + static_cast<ptrdiff_t>(done) * 2, n * 2);
    done += n;
  }
}

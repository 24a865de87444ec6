#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "SoundBank.h"
#include "audio/Wave.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SoundBankTest, GeneratedWavesHaveTheBankFormatAndRoundTrip) {
  for (size_t id = 0; id < kSoundBank.size(); ++id) {
    const TSoundSpec& spec = kSoundBank[id];
    SCOPED_TRACE(std::string(spec.name));
    const auto image = ReadFile(std::string(TL_BINARY_DIR) + "/generated/waves/" +
                                std::string(spec.name) + ".wav");
    ASSERT_EQ(image.size(), static_cast<size_t>(spec.bytes) + 44);
    TWave wave;
    wave.LoadFromBytes(image);
    EXPECT_EQ(wave.Size(), spec.bytes);
    ASSERT_EQ(wave.FormatSize(), 16);
    const TPcmFormat format = *wave.PcmFormat();
    EXPECT_EQ(format, TPcmFormat::Pcm(spec.rate, 1, 8));
    EXPECT_EQ(wave.SaveToBytes(), image) << "byte-for-byte round trip";
    EXPECT_EQ(image, TSoundBank::Make(static_cast<int>(id)).SaveToBytes()) << "deterministic";
  }
}

TEST(SoundBankTest, EffectsAreAudibleUnclippedAndEndQuietly) {
  for (size_t id = 0; id < kSoundBank.size(); ++id) {
    SCOPED_TRACE(std::string(kSoundBank[id].name));
    const auto pcm = TSoundBank::Quantize(TSoundBank::Synthesize(static_cast<int>(id)));
    double energy = 0;
    int clipped = 0;
    for (const uint8_t s : pcm) {
      energy += (s - 128.0) * (s - 128.0);
      clipped += (s == 0 || s == 255) ? 1 : 0;
    }
    EXPECT_GT(std::sqrt(energy / pcm.size()), 10.0) << "too quiet";
    EXPECT_EQ(clipped, 0);
    EXPECT_NEAR(pcm.back(), 128, 2) << "ends on silence, no click";
  }
}

TEST(SoundBankTest, BombaCarriesTheSamplesOfSnarad) {
  EXPECT_EQ(TSoundBank::Make(5).SaveToBytes(), TSoundBank::Make(4).SaveToBytes());
  EXPECT_NE(TSoundBank::Make(3).SaveToBytes(), TSoundBank::Make(4).SaveToBytes());
}

}  // namespace

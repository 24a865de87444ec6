#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "SoundBank.h"
#include "support/FileBytes.h"
#include "wave/Wave.h"

namespace {

TEST(SoundBankTest, GeneratedWavesHaveTheBankFormatAndRoundTrip) {
  for (const TSoundRow& sound : kSounds) {
    const TBankEntry& entry = kSoundBank[sound.Id];
    SCOPED_TRACE(std::string(sound.Name));
    const auto image = test_kit::ReadBytes(std::string(TL_BINARY_DIR) + "/generated/waves/" +
                                           std::string(sound.File));
    ASSERT_EQ(image.size(), static_cast<size_t>(entry.bytes) + 44);
    TWave wave;
    wave.LoadFromBytes(image);
    EXPECT_EQ(wave.Size(), entry.bytes);
    ASSERT_EQ(wave.FormatSize(), 16);
    const TPcmFormat format = *wave.PcmFormat();
    EXPECT_EQ(format, TPcmFormat::Pcm(entry.rate, 1, 8));
    EXPECT_EQ(wave.SaveToBytes(), image) << "byte-for-byte round trip";
    EXPECT_EQ(image, TSoundBank::Make(sound.Id).SaveToBytes()) << "deterministic";
  }
}

TEST(SoundBankTest, EffectsAreAudibleUnclippedAndEndQuietly) {
  for (const TSoundRow& sound : kSounds) {
    SCOPED_TRACE(std::string(sound.Name));
    const auto pcm = TSoundBank::Quantize(TSoundBank::Synthesize(sound.Id));
    double energy = 0;
    int clipped = 0;
    for (const uint8_t s : pcm) {
      energy += (s - 128.0) * (s - 128.0);
      clipped += (s == 0 || s == 255) ? 1 : 0;
    }
    EXPECT_GT(std::sqrt(energy / static_cast<double>(pcm.size())), 10.0) << "too quiet";
    EXPECT_EQ(clipped, 0);
    EXPECT_NEAR(pcm.back(), 128, 2) << "ends on silence, no click";
  }
}

// Zero crossings per second over [from, to) of the effect: a brightness and
// pitch gauge that tells a rumble from a click.
double CrossingsPerSecond(int id, double from, double to) {
  const auto s = TSoundBank::Synthesize(id);
  const auto a = static_cast<size_t>(from * static_cast<double>(s.size()));
  const auto b = static_cast<size_t>(to * static_cast<double>(s.size()));
  int crossings = 0;
  for (size_t i = a + 1; i < b; ++i) crossings += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
  return crossings * static_cast<double>(kSoundBank[static_cast<size_t>(id)].rate) /
         static_cast<double>(b - a);
}

TEST(SoundBankTest, EachEffectSoundsLikeWhatItIs) {
  struct Case {
    const char* what;
    int brighter, darker;  // sound ids
  };
  const Case cases[] = {
      {"the menu click is brighter than the explosion", sndCheckMenu, sndExpl},
      {"the bonus chime is brighter than the shell", sndBonus, sndSnarad},
      {"the gunshot is brighter than the explosion", sndShot, sndExpl},
      {"the victory jingle sits higher than the defeat jingle", sndWin, sndLoose},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_GT(CrossingsPerSecond(c.brighter, 0, 1), CrossingsPerSecond(c.darker, 0, 1));
  }
  // The victory jingle climbs, the defeat jingle falls.
  EXPECT_GT(CrossingsPerSecond(sndWin, 0.55, 0.8), CrossingsPerSecond(sndWin, 0, 0.15));
  EXPECT_LT(CrossingsPerSecond(sndLoose, 0.65, 0.85), CrossingsPerSecond(sndLoose, 0, 0.15));
}

TEST(SoundBankTest, BombaCarriesTheSamplesOfSnarad) {
  EXPECT_EQ(TSoundBank::Make(sndBomba).SaveToBytes(), TSoundBank::Make(sndSnarad).SaveToBytes());
  EXPECT_NE(TSoundBank::Make(sndShot).SaveToBytes(), TSoundBank::Make(sndSnarad).SaveToBytes());
}

}  // namespace

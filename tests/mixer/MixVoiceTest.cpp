#include "mixer/MixVoice.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

struct TRendered {
  std::vector<int32_t> accum;
  int frames;
  int32_t L(int i) const { return accum[static_cast<size_t>(2 * i)]; }
  int32_t R(int i) const { return accum[static_cast<size_t>(2 * i + 1)]; }
};

TRendered Render(TMixVoice& voice, int frames) {
  TRendered r{std::vector<int32_t>(static_cast<size_t>(frames) * 2, 0), frames};
  MixVoices(std::span<TMixVoice>(&voice, 1), r.accum.data(), frames);
  return r;
}

TMixVoice Voice(const std::vector<uint8_t>& data, uint16_t channels, uint16_t bits, uint32_t rate) {
  TMixVoice v;
  v.Data = data.data();
  v.Channels = channels;
  v.Bits = bits;
  v.Frames = static_cast<uint32_t>(data.size() / (channels * bits / 8));
  v.Step = VoiceStep(rate, kOutputRate);
  v.Active = true;
  return v;
}

TEST(MixVoices, SamplesAreCentredAndScaledToSixteenBits) {
  struct Case {
    std::vector<uint8_t> data;
    uint16_t channels, bits;
    int32_t left, right;
  };
  const std::vector<Case> cases = {
      {{0, 0}, 1, 8, -32768, -32768},
      {{128, 128}, 1, 8, 0, 0},
      {{255, 255}, 1, 8, 32512, 32512},
      {{0x00, 0x80, 0x00, 0x80}, 1, 16, -32768, -32768},
      {{0x34, 0x12, 0xCC, 0xED, 0x34, 0x12, 0xCC, 0xED}, 2, 16, 0x1234, -0x1234},
      {{200, 56, 200, 56}, 2, 8, 72 * 256, -72 * 256},
  };
  for (const Case& c : cases) {
    TMixVoice v = Voice(c.data, c.channels, c.bits, kOutputRate);
    v.Looping = true;
    const TRendered r = Render(v, 1);
    EXPECT_EQ(r.L(0), c.left) << "bits " << c.bits << " channels " << c.channels;
    EXPECT_EQ(r.R(0), c.right) << "bits " << c.bits << " channels " << c.channels;
  }
}

TEST(MixVoices, PanAndVolumeFollowTheDecibelLaw) {
  struct Case {
    int32_t pan, volume;
    double leftDb, rightDb;  // relative to full scale; -1000 = silent
  };
  const std::vector<Case> cases = {
      {0, 0, 0, 0},           {-4000, 0, 0, -40},   {4000, 0, -40, 0},         {0, -700, -7, -7},
      {-2000, -600, -6, -26}, {10000, 0, -1000, 0}, {0, -10000, -1000, -1000},
  };
  const std::vector<uint8_t> data(64, 228);  // +25600
  for (const Case& c : cases) {
    TMixVoice v = Voice(data, 1, 8, kOutputRate);
    VoiceGains(c.pan, c.volume, v.GainLeft, v.GainRight);
    const TRendered r = Render(v, 16);
    for (const auto& [value, db] : {std::pair{r.L(8), c.leftDb}, std::pair{r.R(8), c.rightDb}}) {
      if (db <= -1000) {
        EXPECT_EQ(value, 0) << "pan " << c.pan << " volume " << c.volume;
      } else {
        EXPECT_NEAR(20.0 * std::log10(value / 25600.0), db, 0.05)
            << "pan " << c.pan << " volume " << c.volume;
      }
    }
  }
}

TEST(MixVoices, OneShotEndsAndLoopWraps) {
  const std::vector<uint8_t> data = {138, 148, 158, 168};  // 2560, 5120, 7680, 10240
  TMixVoice once = Voice(data, 1, 8, kOutputRate);
  const TRendered a = Render(once, 6);
  EXPECT_EQ((std::array{a.L(0), a.L(1), a.L(2), a.L(3), a.L(4), a.L(5)}),
            (std::array{2560, 5120, 7680, 10240, 0, 0}));
  EXPECT_FALSE(once.Active);

  TMixVoice loop = Voice(data, 1, 8, kOutputRate);
  loop.Looping = true;
  const TRendered b = Render(loop, 10);
  EXPECT_EQ(b.L(4), 2560);
  EXPECT_EQ(b.L(9), 5120);
  EXPECT_TRUE(loop.Active);
}

TEST(MixVoices, VoicesAddAndSaturateRatherThanWrap) {
  const std::vector<uint8_t> loud(32, 255);
  std::array<TMixVoice, 3> voices = {Voice(loud, 1, 8, kOutputRate), Voice(loud, 1, 8, kOutputRate),
                                     TMixVoice{}};
  std::vector<int32_t> accum(8, 0);
  MixVoices(voices, accum.data(), 4);
  EXPECT_EQ(accum[0], 2 * 32512);
  std::vector<int16_t> out(8);
  SaturateToPcm16(accum.data(), out.data(), 8);
  EXPECT_EQ(out[0], 32767);

  const std::array<int32_t, 5> in = {-70000, -32769, -32768, 32767, 40000};
  std::array<int16_t, 5> clipped{};
  SaturateToPcm16(in.data(), clipped.data(), 5);
  EXPECT_EQ(clipped, (std::array<int16_t, 5>{-32768, -32768, -32768, 32767, 32767}));
}

}  // namespace

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <vector>

// The fake is what every other layer's tests stand on; these pin the few
// behaviours they rely on without saying so.

TEST(FakePlatform, ClockStartsFarFromZeroAndWaitsPastTheGivenTickAcrossTheWrap) {
  FakePlatform p;
  EXPECT_EQ(p.TickCount(), FakePlatform::kDefaultStartTick);

  struct Case {
    uint32_t now;
    uint32_t after;
    uint32_t expected;
  };
  const std::vector<Case> cases = {
      {1000, 1000, 1016},             // waiting on the current tick moves one step
      {1000, 1020, 1032},             // several steps until strictly past
      {1000, 900, 1000},              // already past: no wait
      {0xFFFFFFF8u, 0xFFFFFFF8u, 8},  // step across the wrap
      {5, 0xFFFFFFF0u, 5},            // past across the wrap: no wait
  };
  for (const auto& c : cases) {
    p.SetTick(c.now);
    p.WaitForTickAfter(c.after);
    EXPECT_EQ(p.TickCount(), c.expected) << c.now << " after " << c.after;
  }
}

TEST(FakePlatform, KeyboardSnapshotOnlyWhileAcquiredAndMouseMotionIsConsumed) {
  FakePlatform p;
  p.SetKey(dik::kUp, true);
  TKeyboardSnapshot keys{};
  keys[3] = 1;
  EXPECT_FALSE(p.ReadKeyboard(keys));
  EXPECT_EQ(keys[3], 0);
  EXPECT_EQ(keys[dik::kUp], 0);
  p.AcquireKeyboard();
  EXPECT_TRUE(p.ReadKeyboard(keys));
  EXPECT_EQ(keys[dik::kUp], 0x80);

  p.MouseState.X = 7;
  p.SetMouseButton(0, true);
  TMouseState m;
  ASSERT_TRUE(p.ReadMouse(m));
  EXPECT_EQ(m.X, 7);
  ASSERT_TRUE(p.ReadMouse(m));
  EXPECT_EQ(m.X, 0);
  EXPECT_EQ(m.Buttons[0], 0x80);
}

TEST(FakePlatform, PresentCopiesTheFrameHonouringThePitch) {
  FakePlatform p;
  const int32_t pitchWords = 832;
  std::vector<uint32_t> frame(static_cast<size_t>(pitchWords) * 600, 0);
  frame[static_cast<size_t>(599) * pitchWords + 799] = 0x00ABCDEF;
  frame[800] = 0x00FF0000;  // padding beyond the row must not leak in
  p.Present(frame.data(), pitchWords * 4);
  EXPECT_EQ(p.PresentCount, 1);
  EXPECT_EQ(p.FramePixel(799, 599), 0x00ABCDEFu);
  EXPECT_EQ(p.FramePixel(0, 1), 0u);
}

TEST(FakePlatform, HttpDefaultsToNoNetworkAndRecordsRequests) {
  FakePlatform p;
  THttpOptions o;
  o.Headers = {"Accept: */*"};
  const THttpResult r = p.HttpGet("http://localhost/x", o);
  EXPECT_FALSE(r.Ok);
  EXPECT_FALSE(r.Error.empty());
  ASSERT_EQ(p.HttpRequests.size(), 1u);
  EXPECT_EQ(p.HttpRequests[0].Options.Headers, o.Headers);

  p.HttpHandler = [](const std::string&) { return THttpResult{true, 200, "ok", ""}; };
  EXPECT_EQ(p.HttpGet("http://localhost/y", o).Body, "ok");
}

TEST(FakePlatform, AudioCallbackIsPulledOnlyWhileOpen) {
  FakePlatform p;
  ASSERT_TRUE(p.OpenAudio(22050, [](int16_t* s, int frames) {
    for (int i = 0; i < frames * 2; ++i) s[i] = static_cast<int16_t>(i);
  }));
  const auto samples = p.PullAudio(4);
  ASSERT_EQ(samples.size(), 8u);
  EXPECT_EQ(samples[7], 7);
  p.CloseAudio();
  EXPECT_TRUE(p.PullAudio(4).empty());
  p.AudioAvailable = false;
  EXPECT_FALSE(p.OpenAudio(22050, [](int16_t*, int) {}));
}

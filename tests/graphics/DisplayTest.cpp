#include "graphics/Display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images/ImagePack.h"
#include "support/FakePlatform.h"
#include "support/PackWriter.h"

namespace {

TEST(Display, SetUpBuildsTheSurfacesAndLeavesThePlaceToThePlatform) {
  FakePlatform platform;
  TDisplay display;
  ASSERT_TRUE(display.SetUpDisplay(platform, true));
  for (const TSurfacePtr& s :
       {display.PrimarySurface, display.BackBuffer, display.SnapshotSurface}) {
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Width(), 800);
    EXPECT_EQ(s->Height(), 600);
  }
  EXPECT_EQ(platform.DisplayModes, std::vector<bool>{true});
  // An 800 x 600 centring would misplace a scaled window: the platform
  // centres the window it made.
  const TRect before = platform.Window;
  ASSERT_TRUE(display.SetUpDisplay(platform, false));
  ASSERT_TRUE(display.SetUpDisplay(platform, true));
  EXPECT_EQ(platform.DisplayModes, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(platform.Window, before);
}

TEST(Display, NoDisplayIsReportedAndLeavesUsableSurfaces) {
  FakePlatform platform;
  platform.DisplayAvailable = false;
  TDisplay display;
  EXPECT_FALSE(display.SetUpDisplay(platform, true));
  EXPECT_EQ(display.LastError(), platform.DisplayError);
  ASSERT_NE(display.BackBuffer, nullptr);
  EXPECT_EQ(display.ClearBackBuffer(), kDdOk);
}

TEST(Display, ASwitchCarriesThePausedPictureOver) {
  FakePlatform platform;
  TDisplay display;
  display.SetUpDisplay(platform, true);
  display.SnapshotSurface->SetPixelAt(0, 0, 0x00123456);
  display.SnapshotSurface->SetPixelAt(799, 599, 0x00654321);
  const TSurfacePtr old = display.SnapshotSurface;
  display.SetUpDisplay(platform, false);
  EXPECT_NE(display.SnapshotSurface, old);
  EXPECT_EQ(display.SnapshotSurface->PixelAt(0, 0), 0x00123456u);
  EXPECT_EQ(display.SnapshotSurface->PixelAt(799, 599), 0x00654321u);
}

TEST(Display, ClearAndPresentShowTheBackBuffer) {
  FakePlatform platform;
  TDisplay display;
  display.SetUpDisplay(platform, true);
  display.BackBuffer->SetPixelAt(5, 5, 0x00FFFFFF);
  ASSERT_EQ(display.ClearBackBuffer(), kDdOk);
  EXPECT_EQ(display.BackBuffer->PixelAt(5, 5), 0u);
  display.BackBuffer->SetPixelAt(799, 599, 0x00ABCDEF);
  display.PresentFrame(platform);
  ASSERT_EQ(platform.PresentCount, 1);
  EXPECT_EQ(platform.FramePixel(799, 599), 0x00ABCDEFu);
  EXPECT_EQ(platform.FramePixel(5, 5), 0u);

  display.PrimarySurface->SetLost(true);
  display.PresentFrame(platform);
  EXPECT_EQ(platform.PresentCount, 1);  // a lost primary shows nothing
  display.BackBuffer->SetLost(true);
  EXPECT_EQ(display.ClearBackBuffer(), kDdErrSurfaceLost);
}

TEST(Display, RestoreSurfacesAfterALossReloadsEveryImage) {
  const packtest::TPackFile pack("restore.pp", packtest::MakePack(76));
  struct Case {
    const char* name;
    bool primaryLost;
    bool backBufferLost;
    bool dropBackBuffer;  // no back buffer at all: the clear cannot succeed
    HResult expected;
    bool reloads;
  };
  const std::vector<Case> cases = {
      {"images lost", false, false, false, kDdOk, true},
      {"primary lost", true, false, false, kDdOk, true},
      {"back buffer lost", false, true, false, kDdOk, true},
      {"everything lost", true, true, false, kDdOk, true},
      {"clear still failing", false, false, true, kDdRetry, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform platform;
    TDisplay display;
    display.SetUpDisplay(platform, true);
    TImageSlots slots;
    LoadAllImages(slots, pack.Path());
    for (auto& s : slots.SpriteImages) s->SetLost(true);
    for (auto& s : slots.MenuImages) s->SetLost(true);
    display.PrimarySurface->SetLost(c.primaryLost);
    display.BackBuffer->SetLost(c.backBufferLost);
    if (c.dropBackBuffer) display.BackBuffer.reset();
    // A lost image makes the background blit fail, which is what starts recovery.
    if (display.BackBuffer) {
      EXPECT_NE(DrawOpaque(*display.BackBuffer, 0, 0, *slots.MenuImages[mnuBackground]), kDdOk);
    }

    int reloads = 0;
    const HResult hr = display.RestoreSurfaces([&] {
      ++reloads;
      LoadAllImages(slots, pack.Path());
    });
    EXPECT_EQ(hr, c.expected);
    EXPECT_EQ(reloads, c.reloads ? 1 : 0);
    EXPECT_FALSE(display.PrimarySurface->IsLost());
    if (!c.reloads) continue;
    EXPECT_FALSE(display.BackBuffer->IsLost());
    // Every slot holds its picture again (a restored surface would be black).
    for (int k = 0; k < kPackImageCount; ++k) {
      const TSurfacePtr& s =
          k < kSpriteImageCount ? slots.SpriteImages[k] : slots.MenuImages[k - kSpriteImageCount];
      ASSERT_NE(s, nullptr) << k;
      EXPECT_FALSE(s->IsLost()) << k;
      EXPECT_EQ(s->PixelAt(s->Width() - 1, s->Height() - 1),
                k == 0 ? kMagentaPixel : packtest::ImageColour(k))
          << k;
    }
    EXPECT_EQ(DrawOpaque(*display.BackBuffer, 0, 0, *slots.MenuImages[mnuBackground]), kDdOk);
  }
}

}  // namespace

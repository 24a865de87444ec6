#include "shell/MenuBackdrop.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using TLayer = TMenuBackdrop::TLayer;

TSurface Pattern(int32_t width, int32_t height, uint32_t seed, bool keyedHoles) {
  TSurface s(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const bool hole = keyedHoles && (x / 7 + y / 5) % 3 == 0;
      s.SetPixelAt(x, y,
                   hole ? kMagentaPixel : (seed * 2654435761u + x * 31u + y * 977u) & 0xFFFFFFu);
    }
  }
  if (keyedHoles) s.SetColorKey(kMagentaPixel);
  return s;
}

// The layers drawn one by one onto a poisoned frame: what the backdrop must show.
std::vector<uint32_t> LayerByLayer(const TMenuBackdrop::TLayers& layers) {
  TSurface back(800, 600);
  for (const TLayer& layer : layers) {
    if (layer.Image == nullptr) continue;
    (void)(layer.Keyed ? DrawKeyed(back, layer.At.X, layer.At.Y, *layer.Image)
                       : DrawOpaque(back, layer.At.X, layer.At.Y, *layer.Image));
  }
  return {back.Pixels(), back.Pixels() + 800 * 600};
}

class MenuBackdropTest : public ::testing::Test {
 protected:
  // Draws into a frame full of leftovers, as the back buffer is between frames.
  std::vector<uint32_t> Shown(const TMenuBackdrop::TLayers& layers, HResult expected = kDdOk) {
    std::fill(back_.Pixels(), back_.Pixels() + 800 * 600, 0x00123456u + frames_++);
    EXPECT_EQ(backdrop_.Draw(back_, layers), expected);
    return {back_.Pixels(), back_.Pixels() + 800 * 600};
  }
  TSurface background_ = Pattern(800, 600, 1, false);
  TSurface panel_ = Pattern(300, 200, 2, false);
  TSurface box_ = Pattern(420, 160, 3, false);
  TSurface title_ = Pattern(800, 600, 4, true);
  TSurface back_{800, 600};
  TMenuBackdrop backdrop_;
  uint32_t frames_ = 0;
};

TEST_F(MenuBackdropTest, EveryDrawShowsWhatTheLayersShowOneByOne) {
  const TMenuBackdrop::TLayers menu = {TLayer{&background_}, TLayer{}, TLayer{&title_, {}, true}};
  const TMenuBackdrop::TLayers options = {TLayer{&background_}, TLayer{&panel_, {297, 157}},
                                          TLayer{&title_, {}, true}};
  const TMenuBackdrop::TLayers question = {TLayer{&background_}, TLayer{&box_, {190, 220}},
                                           TLayer{&title_, {}, true}};
  // Composed anew, then copied, across switches between screens.
  for (const auto* layers : {&menu, &menu, &menu, &options, &options, &question, &menu}) {
    EXPECT_EQ(Shown(*layers), LayerByLayer(*layers)) << "frame " << frames_;
  }
  // Images loaded again: the next draw shows the new pictures.
  background_ = Pattern(800, 600, 9, false);
  backdrop_.Forget();
  EXPECT_EQ(Shown(menu), LayerByLayer(menu));
  EXPECT_EQ(Shown(menu), LayerByLayer(menu));
}

TEST_F(MenuBackdropTest, ALostLayerFailsAsItsOwnBlitWould) {
  const TMenuBackdrop::TLayers menu = {TLayer{&background_}, TLayer{&panel_, {297, 157}},
                                       TLayer{&title_, {}, true}};
  (void)Shown(menu);
  (void)Shown(menu);
  // The title lost: the frame goes on without it.
  title_.SetLost(true);
  const TMenuBackdrop::TLayers noTitle = {menu[0], menu[1], TLayer{}};
  EXPECT_EQ(Shown(menu), LayerByLayer(noTitle));
  title_.SetLost(false);
  EXPECT_EQ(Shown(menu), LayerByLayer(menu));
  // The background lost: its failure reaches the caller, who restores.
  background_.SetLost(true);
  (void)Shown(menu, kDdErrSurfaceLost);
  background_.SetLost(false);
  back_.SetLost(true);
  (void)Shown(menu, kDdErrSurfaceLost);
}

}  // namespace

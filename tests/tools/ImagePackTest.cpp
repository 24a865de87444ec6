#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "FontSet.h"
#include "MenuLayout.h"
#include "MenuPainter.h"
#include "assets/PackSlots.h"
#include "support/FileBytes.h"

namespace {

struct TSize {
  int w, h;
};

// Every pack record and the size the game's code relies on: the sprites, then
// the menu images from record 42.
const TSize kSpriteSizes[42] = {
    {118, 600}, {118, 600}, {30, 30},  {28, 144},  {61, 305},  {123, 247}, {78, 210},
    {62, 139},  {77, 191},  {72, 176}, {1024, 64}, {1024, 64}, {1024, 64}, {1024, 64},
    {1024, 64}, {32, 32},   {32, 32},  {24, 88},   {30, 111},  {34, 136},  {47, 146},
    {23, 28},   {47, 224},  {50, 55},  {73, 72},   {76, 103},  {12, 24},   {14, 25},
    {18, 24},   {7, 14},    {7, 14},   {7, 27},    {6, 24},    {61, 305},  {24, 23},
    {24, 23},   {24, 23},   {24, 23},  {23, 23},   {24, 23},   {24, 23},   {23, 23}};
const TSize kMenuSizes[34] = {{800, 600}, {224, 42},  {160, 49},  {222, 40}, {96, 49},   {261, 42},
                              {83, 39},   {107, 19},  {166, 19},  {205, 30}, {503, 380}, {121, 21},
                              {178, 21},  {503, 380}, {503, 380}, {102, 21}, {66, 21},   {36, 19},
                              {48, 19},   {420, 200}, {120, 150}, {800, 1},  {48, 32},   {40, 40},
                              {40, 40},   {40, 40},   {48, 32},   {48, 32},  {48, 32},   {800, 600},
                              {48, 32},   {48, 32},   {48, 32},   {48, 32}};

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using TSurface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

class ImagePackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto pack = test_kit::ReadBytes(std::string(TL_GAME_DIR) + "/Data/Data.pp");
    size_t at = 0;
    while (at + 4 <= pack.size()) {
      const uint32_t n = pack[at] | pack[at + 1] << 8 | pack[at + 2] << 16 |
                         static_cast<uint32_t>(pack[at + 3]) << 24;
      at += 4;
      ASSERT_LE(at + n, pack.size()) << "record " << images().size() << " runs past the end";
      SDL_RWops* rw = SDL_RWFromConstMem(pack.data() + at, static_cast<int>(n));
      SDL_Surface* raw = SDL_LoadBMP_RW(rw, 1);
      ASSERT_NE(raw, nullptr) << "record " << images().size() << ": " << SDL_GetError();
      images().emplace_back(SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGB888, 0));
      SDL_FreeSurface(raw);
      at += n;
    }
    EXPECT_EQ(at, pack.size()) << "trailing bytes after the last record";
  }
  static void TearDownTestSuite() { images().clear(); }
  static std::vector<TSurface>& images() {
    static std::vector<TSurface> list;
    return list;
  }
  static uint32_t Pixel(const SDL_Surface* s, int x, int y) {
    const auto* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
  }
  static int Count(const SDL_Surface* s, bool (*match)(uint32_t)) {
    int n = 0;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) n += match(Pixel(s, x, y)) ? 1 : 0;
    return n;
  }
};

bool IsKey(uint32_t p) {
  return p == 0xFF00FF;
}
bool NearKey(uint32_t p) {
  const int r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return p != 0xFF00FF && r >= 248 && b >= 248 && g <= 8;
}

TEST_F(ImagePackTest, EveryRecordIsABitmapOfItsSize) {
  ASSERT_EQ(images().size(), 76u);
  for (size_t i = 0; i < 76; ++i) {
    SCOPED_TRACE("pack image " + std::to_string(i));
    ASSERT_TRUE(images()[i]);
    const TSize& size = i < 42 ? kSpriteSizes[i] : kMenuSizes[i - 42];
    EXPECT_EQ(images()[i]->w, size.w);
    EXPECT_EQ(images()[i]->h, size.h);
  }
}

TEST_F(ImagePackTest, KeyOnlyWhereTransparencyIsMeant) {
  ASSERT_EQ(images().size(), kPackSlots.size());
  // The slots drawn without colour key hold no key pixel: background, the
  // three panels, the dialog box, the markers, and the sea tile.
  int opaqueCount = 0;
  for (const TPackSlot& slot : kPackSlots) {
    if (!slot.Opaque) continue;
    SCOPED_TRACE(std::string(slot.Name));
    ++opaqueCount;
    EXPECT_EQ(Count(images()[static_cast<size_t>(slot.Index)].get(), IsKey), 0);
  }
  EXPECT_EQ(opaqueCount, 9);
  // Pictures that must show the sea around them.
  const int keyed[] = {sprLife,   sprIsland0,    sprIsland1,         sprIsland2,    sprIsland3,
                       sprBlast,  sprImpact,     sprCutter,          sprBattleShip, sprIslandGun,
                       sprBomber, sprHelicopter, sprSupplyPlane,     sprPlayerShip, sprGun0,
                       sprBullet, sprRocket,     PackIndex(mnuTitle)};
  for (const int i : keyed) {
    SCOPED_TRACE(std::string(kPackSlots[static_cast<size_t>(i)].Name));
    EXPECT_GT(Count(images()[static_cast<size_t>(i)].get(), IsKey), 0);
  }
  for (size_t i = 0; i < 76; ++i) {
    SCOPED_TRACE("image " + std::to_string(i));
    EXPECT_EQ(Count(images()[i].get(), NearKey), 0) << "a colour that rounds to the key";
  }
}

TEST_F(ImagePackTest, HighlightsMatchTheBackgroundAroundTheirLabels) {
  ASSERT_EQ(images().size(), 76u);
  // Each highlight is cut from the picture it is drawn on: its corner pixel
  // equals the background's pixel at the button's corner.
  const SDL_Surface* background = images()[static_cast<size_t>(PackIndex(mnuBackground))].get();
  for (size_t k = 0; k < menu_labels::kMainMenu.size(); ++k) {
    const auto& r = menu_labels::kMainMenu[k];
    SCOPED_TRACE(std::string(r.text));
    const auto highlight = PackIndex(menu_layout::kMainMenu[k].ImageIndex);
    EXPECT_EQ(Pixel(images()[static_cast<size_t>(highlight)].get(), 0, 0),
              Pixel(background, r.left, r.top));
  }
  // The markers replace exactly the background under them at its edges.
  for (size_t k = 0; k < menu_labels::kMarkers.size(); ++k) {
    const auto& m = menu_labels::kMarkers[k];
    const size_t marker = static_cast<size_t>(PackIndex(mnuOptionsMarker)) + k;
    EXPECT_EQ(Pixel(images()[marker].get(), 0, 0), Pixel(background, m.x, m.y));
  }
}

TEST(MenuLayoutTest, LabelsFitTheirRectanglesAndMarkersClearThem) {
  const TFontSet fonts;
  const TMenuPainter painter(fonts);
  for (size_t k = 0; k < menu_labels::kMainMenu.size(); ++k) {
    const auto& r = menu_labels::kMainMenu[k];
    SCOPED_TRACE(std::string(r.text));
    EXPECT_GE(painter.MainLabelLeft(static_cast<int>(k)), r.left);
  }
  for (const auto& m : menu_labels::kMarkers) {
    const auto& label = menu_labels::kMainMenu[static_cast<size_t>(m.item)];
    EXPECT_LT(m.x + menu_labels::kMarkerSize, label.left) << label.text;
    EXPECT_LE(m.y, label.top + label.Height());
  }
}

TEST(ImagePackBuildTest, DeterministicAcrossRuns) {
  const TFontSet fonts;
  const TMenuPainter a(fonts);
  const TMenuPainter b(fonts);
  for (const int slot : {0, 13, 29}) {
    SCOPED_TRACE(slot);
    EXPECT_EQ(a.Image(slot)->ToBmp(), b.Image(slot)->ToBmp());
  }
}

}  // namespace

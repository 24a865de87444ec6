#include "ImagePack.h"

#include <stdexcept>

#include "FontSet.h"
#include "MenuPainter.h"
#include "ScenePainter.h"
#include "ShipPainter.h"
#include "assets/PackSlots.h"
#include "game/GameLayout.h"
#include "game/GameTables.h"
#include "i18n/Gettext.h"
#include "shell/ScreenLayout.h"
#include "widgets/MenuLayout.h"

namespace {

namespace sl = screen_layout;
namespace wl = menu_layout;

// The picture of sprite slot `s`.
std::unique_ptr<TCanvas> SpriteImage(const TScenePainter& scene, int s) {
  if (s <= sprRightPanel) return scene.Panel(s);
  if (s == sprLife) return TShipPainter::LifeIcon();
  if (s == sprHealthBar) return TScenePainter::HealthBar();
  if (s == sprWeaponFrame) return TScenePainter::WeaponFrame();
  if (s == sprSea) return TScenePainter::SeaTile();
  if (s <= sprIsland3) return TScenePainter::Island(s - sprIsland0);
  if (s <= sprImpact) return TScenePainter::Explosion(s - sprBlast);
  if (s <= sprLifebelt) return TScenePainter::Spare(s - sprBuoy);
  if (s <= sprSupplyPlane) return TShipPainter::Enemy(s - sprCutter);
  if (s == sprPlayerShip) return TShipPainter::PlayerShip();
  if (s <= sprGun2) return TShipPainter::Gun(s - sprGun0);
  if (s <= sprTracer) return TShipPainter::Shot(s - sprBullet);
  if (s == sprWeaponIcons) return scene.WeaponIcons();
  return scene.Bonus(s - sprBonusRocket);
}

}  // namespace

TImagePack::TImagePack(const TFontSet& fonts) : fonts_(fonts) {
  const TScenePainter scene(fonts);
  const TMenuPainter menu(fonts);
  for (const TPackSlot& slot : kPackSlots) {
    TEntry e;
    e.name = slot.Name;
    e.canvas = slot.Index < kSpriteImageCount ? SpriteImage(scene, slot.Index)
                                              : menu.Image(slot.Index - kSpriteImageCount);
    e.opaque = slot.Opaque;
    entries_.push_back(std::move(e));
  }
}

std::vector<uint8_t> TImagePack::PackBytes() const {
  std::vector<uint8_t> out;
  for (const auto& e : entries_) {
    const std::vector<uint8_t> bmp = e.canvas->ToBmp(e.opaque);
    const auto n = static_cast<uint32_t>(bmp.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
    out.insert(out.end(), bmp.begin(), bmp.end());
  }
  return out;
}

void TImagePack::WriteContactSheet(const std::string& path) const {
  // Shelf packing: pictures left to right, a new shelf when a row is full.
  constexpr int kSheetWidth = 1700;
  constexpr int kGap = 14;
  constexpr int kCaption = 14;
  struct Place {
    int x, y;
  };
  std::vector<Place> places;
  int x = kGap, y = kGap, shelf = 0;
  for (const auto& e : entries_) {
    const int w = e.canvas->Width(), h = e.canvas->Height();
    if (x + w + kGap > kSheetWidth) {
      x = kGap;
      y += shelf + kCaption + kGap;
      shelf = 0;
    }
    places.push_back({x, y});
    x += std::max(w, 60) + kGap;
    shelf = std::max(shelf, h);
  }
  const int previewTop = y + shelf + kCaption + kGap;
  const int height = previewTop + 2 * (kFrameHeight + kGap);
  TCanvas sheet(kSheetWidth, height);
  TScenePainter::TileSea(sheet);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const auto& e = entries_[i];
    sheet.Paint(*Keyed(i), places[i].x, places[i].y);
    const TColor shadow = palette::kBlack;
    sheet.Text(fonts_, std::to_string(i) + " " + e.name, places[i].x,
               places[i].y + e.canvas->Height() + 1, 11, true, palette::kWhite, TAlign::Left,
               &shadow);
  }
  // Two screens put together from the pictures, as the game shows them.
  const auto game = GamePreview();
  const auto menu = MenuPreview();
  sheet.Paint(*game, kGap, previewTop);
  sheet.Paint(*menu, kGap * 2 + kFrameWidth, previewTop);
  sheet.Paint(*DialogPreview(), kGap, previewTop + kFrameHeight + kGap);
  cairo_surface_flush(sheet.Surface());
  if (cairo_surface_write_to_png(sheet.Surface(), path.c_str()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("Cannot write the contact sheet " + path);
}

std::unique_ptr<TCanvas> TImagePack::Keyed(size_t index) const {
  const TEntry& e = entries_[index];
  // Shows a picture as the game will: keyed pixels transparent.
  auto keyedPtr = std::make_unique<TCanvas>(e.canvas->Width(), e.canvas->Height());
  TCanvas& keyed = *keyedPtr;
  keyed.Paint(*e.canvas, 0, 0);
  {
    if (!e.opaque) {
      // Re-apply the alpha threshold so the preview matches the pack.
      cairo_surface_flush(keyed.Surface());
      uint8_t* data = cairo_image_surface_get_data(keyed.Surface());
      const int stride = cairo_image_surface_get_stride(keyed.Surface());
      for (int row = 0; row < keyed.Height(); ++row) {
        auto* px = reinterpret_cast<uint32_t*>(data + row * stride);
        for (int col = 0; col < keyed.Width(); ++col) {
          const uint32_t a = px[col] >> 24;
          if (a < 128) {
            px[col] = 0;
          } else {
            const uint32_t r = std::min<uint32_t>(255, ((px[col] >> 16) & 0xFF) * 255 / a);
            const uint32_t g = std::min<uint32_t>(255, ((px[col] >> 8) & 0xFF) * 255 / a);
            const uint32_t b = std::min<uint32_t>(255, (px[col] & 0xFF) * 255 / a);
            px[col] = 0xFF000000u | r << 16 | g << 8 | b;
          }
        }
      }
      cairo_surface_mark_dirty(keyed.Surface());
    }
  }
  return keyedPtr;
}

std::unique_ptr<TCanvas> TImagePack::GamePreview() const {
  auto screen = std::make_unique<TCanvas>(kFrameWidth, kFrameHeight);
  const TCanvas& c = *screen;
  auto put = [&](size_t index, double x, double y) { c.Paint(*Keyed(index), x, y); };
  auto frame = [&](size_t index, int frameIndex, int fw, int fh, bool vertical, double x,
                   double y) {
    cairo_save(c.Cr());
    cairo_rectangle(c.Cr(), x, y, fw, fh);
    cairo_clip(c.Cr());
    c.Paint(*Keyed(index), vertical ? x : x - frameIndex * fw, vertical ? y - frameIndex * fh : y);
    cairo_restore(c.Cr());
  };
  for (int y = 0; y < kScreenHeight; y += 247)
    for (int x = kSeaLeft; x < kSeaRight; x += 123) put(sprSea, x, y);
  put(sprIsland0, kSeaLeft, 40);
  put(sprIsland2, kSeaRight - 77, 300);
  put(sprIslandGun, 130, 120);
  put(sprCutter, 330, 40);
  put(sprCruiser, 470, -20);
  put(sprBattleShip, 250, 180);
  frame(sprBomber, 1, 47, 56, true, 560, 160);
  put(sprHelicopter, 400, 300);
  put(sprSupplyPlane, 600, 400);
  put(sprBonusRocket, 300, 420);
  put(sprBonusIce, 520, 250);
  frame(sprBlast, 6, 64, 64, false, 440, 60);
  frame(sprSplash, 4, 64, 64, false, 200, 330);
  frame(sprPlayerShip, 0, kHullFrameWidth, kHullHeight, false, 380, 480);
  put(sprGun1, 380 + 19 - 6, 480 + 28 - 18);
  put(sprBullet, 395, 440);
  put(sprRocket, 410, 400);
  put(sprLeftPanel, 0, 0);
  put(sprRightPanel, kRightPanelX, 0);
  for (int i = 0; i < 3; ++i) put(sprLife, kLivesX + kLivesStep * i, kLivesY);
  // Health at 50 of 72: the lower 100 rows of the bar, growing up from its foot.
  cairo_save(c.Cr());
  cairo_rectangle(c.Cr(), kHealthBarX, kHealthBarBottom - 100, kHealthBarWidth, 100);
  cairo_clip(c.Cr());
  put(sprHealthBar, kHealthBarX, kHealthBarBottom - kHealthBarHeight);
  cairo_restore(c.Cr());
  const int cell = kWeaponCell;
  for (int i = 0; i < kWeaponCount; ++i)
    frame(sprWeaponIcons, i, cell, cell, true, kWeaponX, kWeaponTop + cell * i);
  frame(sprWeaponFrame, 1, cell, cell, true, kWeaponX, kWeaponTop + cell);
  const TColor orange = palette::kOrange;
  c.Text(fonts_, "3", kLevelField.X, kLevelField.Y, 26, true, orange, TAlign::Center);
  c.Text(fonts_, "1250", kScoreField.X, kScoreField.Y, 26, true, orange, TAlign::Center);
  c.Text(fonts_, "150", kAmmoField.X, kAmmoField.Y, 18, true, orange, TAlign::Right);
  return screen;
}

std::unique_ptr<TCanvas> TImagePack::DialogPreview() const {
  auto screen = std::make_unique<TCanvas>(kFrameWidth, kFrameHeight);
  const TCanvas& c = *screen;
  auto menu = [&](TMenuSlot slot, double x, double y) {
    c.Paint(*Keyed(static_cast<size_t>(PackIndex(slot))), x, y);
  };
  menu(mnuBackground, 0, 0);
  menu(mnuDialogBox, sl::kQuestionDialog.X, sl::kQuestionDialog.Y);
  menu(mnuTitle, 0, 0);
  const TColor navy = palette::kNavy;
  const TColor orange = palette::kOrange;
  c.Text(fonts_, N_("Exit  the game?"), sl::kExitQuestion.X, sl::kExitQuestion.Y, 40, true, navy,
         TAlign::Left, &orange);
  c.Text(fonts_, N_("Yes"), wl::kYesRect.Left, wl::kYesRect.Top, 40, true, orange, TAlign::Left,
         &navy);
  c.Text(fonts_, N_("No"), wl::kNoRect.Left, wl::kNoRect.Top, 40, true, navy, TAlign::Left,
         &orange);
  return screen;
}

std::unique_ptr<TCanvas> TImagePack::MenuPreview() const {
  auto screen = std::make_unique<TCanvas>(kFrameWidth, kFrameHeight);
  const TCanvas& c = *screen;
  auto menu = [&](TMenuSlot slot, double x, double y) {
    c.Paint(*Keyed(static_cast<size_t>(PackIndex(slot))), x, y);
  };
  menu(mnuBackground, 0, 0);
  auto at = [&](TMenuSlot slot, const TRect& r) { menu(slot, r.Left, r.Top); };
  menu(mnuOptionsPanel, sl::kPanel.Left, sl::kPanel.Top);
  menu(mnuTitle, 0, 0);
  at(mnuOptions, wl::kMainMenu[1].Rect);
  menu(mnuOptionsMarker, sl::kOptionsMarker.At.X, sl::kOptionsMarker.At.Y);
  at(mnuWindowed, wl::kOptionsRects[0]);
  at(mnuToggleOn, wl::kOptionsRects[2]);
  at(mnuToggleOff, wl::kOptionsRects[5]);
  at(mnuFocusFrame, wl::kOptionsRects[6]);
  const TColor navy = palette::kNavy;
  const TRect& name = wl::kOptionsRects[6];
  c.Text(fonts_, "Sailor", name.Left + 7, name.Top, 22, true, palette::kOrange);
  c.Text(fonts_, "F12", wl::kKeyButtonRect.Left, wl::kKeyButtonRect.Top, 24, true, navy);
  return screen;
}

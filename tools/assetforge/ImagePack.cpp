#include "ImagePack.h"

#include <stdexcept>

#include "FontSet.h"
#include "MenuPainter.h"
#include "ScenePainter.h"
#include "ShipPainter.h"
#include "game/GameLayout.h"
#include "game/GameTables.h"
#include "shell/ScreenLayout.h"
#include "widgets/MenuLayout.h"

namespace {

namespace sl = screen_layout;
namespace wl = menu_layout;

const char* const kSpriteNames[TImagePack::kSpriteCount] = {
    "left panel", "right panel", "life",       "health",    "weapon frame", "sea",     "island 0",
    "island 1",   "island 2",    "island 3",   "blast",     "explosion 1",  "splash",  "smoke",
    "impact",     "buoy",        "lifebelt",   "Cutter",    "Destroyer",    "Cruiser", "BattleShip",
    "gun",        "Bomber",      "Helicopter", "supply",    "player",       "gun 0",   "gun 1",
    "gun 2",      "bullet",      "shell",      "rocket",    "tracer",       "weapons", "Rocket",
    "Gun",        "Rocket 3x",   "Gun 2x",     "First-aid", "Ice",          "Coins",   "Mega-Bomb"};

bool MenuOpaque(int slot) {
  // Drawn without colour key: background, panels, dialog and the markers.
  return slot == 0 || slot == 10 || slot == 13 || slot == 14 || slot == 19 ||
         (slot >= 23 && slot <= 25);
}

}  // namespace

TImagePack::TImagePack(const TFontSet& fonts) : fonts_(fonts) {
  const TScenePainter scene(fonts);
  const TMenuPainter menu(fonts);
  for (int s = 0; s < kSpriteCount; ++s) {
    TEntry e;
    e.name = kSpriteNames[s];
    if (s <= 1)
      e.canvas = scene.Panel(s);
    else if (s == 2)
      e.canvas = TShipPainter::LifeIcon();
    else if (s == 3)
      e.canvas = TScenePainter::HealthBar();
    else if (s == 4)
      e.canvas = TScenePainter::WeaponFrame();
    else if (s == 5)
      e.canvas = TScenePainter::SeaTile();
    else if (s <= 9)
      e.canvas = TScenePainter::Island(s - 6);
    else if (s <= 14)
      e.canvas = TScenePainter::Explosion(s - 10);
    else if (s <= 16)
      e.canvas = TScenePainter::Spare(s - 15);
    else if (s <= 24)
      e.canvas = TShipPainter::Enemy(s - 17);
    else if (s == 25)
      e.canvas = TShipPainter::PlayerShip();
    else if (s <= 28)
      e.canvas = TShipPainter::Gun(s - 26);
    else if (s <= 32)
      e.canvas = TShipPainter::Shot(s - 29);
    else if (s == 33)
      e.canvas = scene.WeaponIcons();
    else
      e.canvas = scene.Bonus(s - 34);
    e.opaque = s == 5;
    entries_.push_back(std::move(e));
  }
  for (int m = 0; m < kMenuCount; ++m) {
    TEntry e;
    e.name = "menu " + std::to_string(m);
    e.canvas = menu.Image(m);
    e.opaque = MenuOpaque(m);
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
    for (int x = kSeaLeft; x < kSeaRight; x += 123) put(5, x, y);
  put(6, kSeaLeft, 40);
  put(8, kSeaRight - 77, 300);
  put(21, 130, 120);
  put(17, 330, 40);
  put(19, 470, -20);
  put(20, 250, 180);
  frame(22, 1, 47, 56, true, 560, 160);
  put(23, 400, 300);
  put(24, 600, 400);
  put(34, 300, 420);
  put(39, 520, 250);
  frame(10, 6, 64, 64, false, 440, 60);
  frame(12, 4, 64, 64, false, 200, 330);
  frame(25, 0, kHullFrameWidth, kHullHeight, false, 380, 480);
  put(27, 380 + 19 - 6, 480 + 28 - 18);
  put(29, 395, 440);
  put(31, 410, 400);
  put(0, 0, 0);
  put(1, kRightPanelX, 0);
  for (int i = 0; i < 3; ++i) put(2, kLivesX + kLivesStep * i, kLivesY);
  // Health at 50 of 72: the lower 100 rows of the bar, growing up from its foot.
  cairo_save(c.Cr());
  cairo_rectangle(c.Cr(), kHealthBarX, kHealthBarBottom - 100, kHealthBarWidth, 100);
  cairo_clip(c.Cr());
  put(3, kHealthBarX, kHealthBarBottom - kHealthBarHeight);
  cairo_restore(c.Cr());
  const int cell = kWeaponCell;
  for (int i = 0; i < kWeaponCount; ++i)
    frame(33, i, cell, cell, true, kWeaponX, kWeaponTop + cell * i);
  frame(4, 1, cell, cell, true, kWeaponX, kWeaponTop + cell);
  const TColor orange = palette::kOrange;
  c.Text(fonts_, "3", kLevelField.X, kLevelField.Y, 26, true, orange, TAlign::Center);
  c.Text(fonts_, "1250", kScoreField.X, kScoreField.Y, 26, true, orange, TAlign::Center);
  c.Text(fonts_, "150", kAmmoField.X, kAmmoField.Y, 18, true, orange, TAlign::Right);
  return screen;
}

std::unique_ptr<TCanvas> TImagePack::DialogPreview() const {
  auto screen = std::make_unique<TCanvas>(kFrameWidth, kFrameHeight);
  const TCanvas& c = *screen;
  auto menu = [&](size_t slot, double x, double y) { c.Paint(*Keyed(kSpriteCount + slot), x, y); };
  menu(0, 0, 0);
  menu(19, sl::kQuestionDialog.X, sl::kQuestionDialog.Y);
  menu(29, 0, 0);
  const TColor navy = palette::kNavy;
  const TColor orange = palette::kOrange;
  c.Text(fonts_, "Exit  the game?", sl::kExitQuestion.X, sl::kExitQuestion.Y, 40, true, navy,
         TAlign::Left, &orange);
  c.Text(fonts_, "Yes", wl::kYesRect.Left, wl::kYesRect.Top, 40, true, orange, TAlign::Left, &navy);
  c.Text(fonts_, "No", wl::kNoRect.Left, wl::kNoRect.Top, 40, true, navy, TAlign::Left, &orange);
  return screen;
}

std::unique_ptr<TCanvas> TImagePack::MenuPreview() const {
  auto screen = std::make_unique<TCanvas>(kFrameWidth, kFrameHeight);
  const TCanvas& c = *screen;
  auto menu = [&](size_t slot, double x, double y) { c.Paint(*Keyed(kSpriteCount + slot), x, y); };
  menu(0, 0, 0);
  auto at = [&](size_t slot, const TRect& r) { menu(slot, r.Left, r.Top); };
  menu(13, sl::kPanel.Left, sl::kPanel.Top);
  menu(29, 0, 0);
  at(2, wl::kMainMenu[1].Rect);
  menu(23, sl::kOptionsMarker.At.X, sl::kOptionsMarker.At.Y);
  at(7, wl::kOptionsRects[0]);
  at(17, wl::kOptionsRects[2]);
  at(18, wl::kOptionsRects[5]);
  at(9, wl::kOptionsRects[6]);
  const TColor navy = palette::kNavy;
  const TRect& name = wl::kOptionsRects[6];
  c.Text(fonts_, "Sailor", name.Left + 7, name.Top, 22, true, palette::kOrange);
  c.Text(fonts_, "F12", wl::kKeyButtonRect.Left, wl::kKeyButtonRect.Top, 24, true, navy);
  return screen;
}

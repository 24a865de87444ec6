#include "images/ImagePack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "images/SurfaceRoutines.h"
#include "support/PackWriter.h"

namespace {

using packtest::ImageColour;
using packtest::MakePack;
using packtest::TPackFile;

void ExpectPackImage(const TSurfacePtr& surface, int k) {
  ASSERT_NE(surface, nullptr) << "image " << k;
  EXPECT_EQ(surface->Width(), k + 1) << "image " << k;
  EXPECT_EQ(surface->Height(), k % 7 + 1) << "image " << k;
  EXPECT_EQ(surface->PixelAt(0, 0), kMagentaPixel) << "image " << k;
  EXPECT_EQ(surface->PixelAt(surface->Width() - 1, surface->Height() - 1),
            surface->Width() * surface->Height() == 1 ? kMagentaPixel : ImageColour(k))
      << "image " << k;
  EXPECT_EQ(surface->ColorKey(), std::optional<uint32_t>(kMagentaPixel)) << "image " << k;
}

TEST(ImagePack, FirstAndLastImageOfAFullPack) {
  const TPackFile pack("full.pp", MakePack(76));
  for (const int k : {0, 1, 41, 42, 75}) ExpectPackImage(LoadPackImage(pack.Path(), k), k);
}

TEST(ImagePack, LoadAllImagesFillsBothArraysAndIgnoresExtraRecords) {
  for (const int records : {76, 80}) {
    SCOPED_TRACE(records);
    const TPackFile pack("all.pp", MakePack(records));
    TImageSlots slots;
    LoadAllImages(slots, pack.Path());
    for (int s = 0; s < kSpriteImageCount; ++s) ExpectPackImage(slots.SpriteImages[s], s);
    for (int i = 0; i < kMenuImageCount; ++i) ExpectPackImage(slots.MenuImages[i], 42 + i);
    ReleaseAllImages(slots);
    for (const auto& slot : slots.SpriteImages) EXPECT_EQ(slot, nullptr);
    for (const auto& slot : slots.MenuImages) EXPECT_EQ(slot, nullptr);
  }
}

// A language pack replaces the pictures it carries, picture by picture; the
// rest, and everything after a damage, stay English, and nothing throws.
TEST(ImagePack, ALanguagePackReplacesOnlyThePicturesItCarries) {
  const TPackFile english("english.pp", MakePack(76));
  // Records 1 and 43 carry the language's picture (that of image 60 + k), the
  // others are empty.
  std::vector<uint8_t> language;
  for (int k = 0; k < 76; ++k)
    packtest::AppendRecord(
        language, k == 1 || k == 43 ? packtest::PackImage(60 + k) : std::vector<uint8_t>{});
  std::vector<uint8_t> damaged(language.begin(), language.begin() + 4 + 4 + 200);
  struct TCase {
    const char* label;
    std::vector<uint8_t> bytes;
    bool present;
    std::vector<int> replaced;  // pack indices showing the language's picture
    bool error;
  };
  const TCase cases[] = {
      {"language pack", language, true, {1, 43}, false},
      {"no language pack", {}, false, {}, false},
      {"cut short in record 1", damaged, true, {}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.label);
    TImageSlots slots;
    LoadAllImages(slots, english.Path());
    std::string error;
    if (c.present) {
      const TPackFile pack("language.pp", c.bytes);
      error = LoadLanguageImages(slots, pack.Path());
    } else {
      error = LoadLanguageImages(slots, "/no/such/Data/xx/Data.pp");
    }
    EXPECT_EQ(!error.empty(), c.error) << error;
    for (int k = 0; k < 76; ++k) {
      const TSurfacePtr& slot =
          k < kSpriteImageCount ? slots.SpriteImages[k] : slots.MenuImages[k - kSpriteImageCount];
      const bool own = std::find(c.replaced.begin(), c.replaced.end(), k) != c.replaced.end();
      ExpectPackImage(slot, own ? 60 + k : k);
    }
  }
}

TEST(ImagePack, TheGeneratedPackLoads) {
  const std::string path = std::string(TL_GAME_DIR) + "/" + kPackRelativePath;
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no generated pack at " << path;
  TImageSlots slots;
  LoadAllImages(slots, path);
  for (const auto& slot : slots.SpriteImages) {
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->ColorKey(), std::optional<uint32_t>(kMagentaPixel));
  }
  for (const auto& slot : slots.MenuImages) ASSERT_NE(slot, nullptr);
  // The full-screen menu background.
  EXPECT_EQ(slots.MenuImages[mnuBackground]->Width(), 800);
  EXPECT_EQ(slots.MenuImages[mnuBackground]->Height(), 600);
}

TEST(ImagePack, PalettedBitmapsDecodeToo) {
  std::vector<uint8_t> bytes;
  packtest::AppendRecord(
      bytes, test_kit::MakeBmp({.Width = 3,
                                .Height = 2,
                                .Pixel =
                                    [](int32_t x, int32_t y) {
                                      return x == 1 ? 0x00FF00FFu
                                                    : (y == 0 ? 0x00112233u : 0x00445566u);
                                    },
                                .Paletted = true}));
  const TPackFile pack("pal.pp", bytes);
  const TSurfacePtr s = LoadPackImage(pack.Path(), 0);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->PixelAt(0, 0), 0x00112233u);
  EXPECT_EQ(s->PixelAt(1, 0), kMagentaPixel);
  EXPECT_EQ(s->PixelAt(2, 1), 0x00445566u);
}

TEST(ImagePack, BadPacksThrowOneErrorNamingFileAndRecord) {
  std::vector<uint8_t> good = MakePack(3);
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    int index;           // image asked for
    int expectedRecord;  // record named by the error
    std::string reason;  // part of the message
  };
  std::vector<Case> cases;
  cases.push_back({"empty file", {}, 0, 0, "ends before"});
  cases.push_back({"wanted record past the end", good, 5, 3, "ends before"});
  {
    std::vector<uint8_t> b = good;
    b.resize(b.size() - 10);
    cases.push_back({"last record cut short", b, 2, 2, "past the end"});
  }
  {
    std::vector<uint8_t> b = good;
    b.resize(b.size() + 2, 0);  // half a length field
    cases.push_back({"half a length field", b, 3, 3, "ends before"});
  }
  // A first length field saying `length`, then zeros up to `size` bytes.
  auto lengthThenZeros = [](uint32_t length, size_t size) {
    std::vector<uint8_t> b(size, 0);
    for (size_t i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(length >> (8 * i));
    return b;
  };
  const std::vector<uint8_t> oversize = lengthThenZeros(0x7FFFFFF0u, 64);
  cases.push_back({"length above the limit", oversize, 0, 0, "above the limit"});
  cases.push_back({"skipping an oversize record", oversize, 3, 0, "above the limit"});
  cases.push_back({"length beyond the file", lengthThenZeros(1000, 200), 0, 0, "past the end"});
  {
    std::vector<uint8_t> b = good;
    packtest::AppendRecord(b, std::vector<uint8_t>(60, 'x'));
    cases.push_back({"not a bitmap", b, 3, 3, "bad bitmap"});
  }
  {
    std::vector<uint8_t> bmp = packtest::PackImage(0);
    bmp[18] = 0xFF;  // width 255 ...
    bmp[21] = 0x7F;  // ... times 2^30: must be refused before anything is allocated
    std::vector<uint8_t> b;
    packtest::AppendRecord(b, bmp);
    cases.push_back({"huge declared size", b, 0, 0, "too large"});
  }
  {
    std::vector<uint8_t> bmp = packtest::PackImage(4);
    bmp.resize(bmp.size() - 6);  // pixel rows missing
    bmp[2] = static_cast<uint8_t>(bmp.size());
    std::vector<uint8_t> b;
    packtest::AppendRecord(b, bmp);
    cases.push_back({"bitmap with missing rows", b, 0, 0, "bad bitmap"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TPackFile pack("bad.pp", c.bytes);
    try {
      LoadPackImage(pack.Path(), c.index);
      ADD_FAILURE() << "no error";
    } catch (const TPackError& e) {
      EXPECT_EQ(e.Record(), c.expectedRecord);
      EXPECT_EQ(e.File(), pack.Path());
      const std::string what = e.what();
      EXPECT_NE(what.find(pack.Path()), std::string::npos) << what;
      EXPECT_NE(what.find("record " + std::to_string(c.expectedRecord)), std::string::npos) << what;
      EXPECT_NE(what.find(c.reason), std::string::npos) << what;
    }
  }
}

TEST(ImagePack, MissingPackIsAClearError) {
  try {
    LoadPackImage("no/such/Data.pp", 7);
    ADD_FAILURE() << "no error";
  } catch (const TPackError& e) {
    EXPECT_EQ(e.Record(), 7);
    EXPECT_NE(std::string(e.what()).find("no/such/Data.pp"), std::string::npos);
  }
}

TEST(ImagePack, AFailedLoadEmptiesOnlyTheSlotItReached) {
  // Records 0..49 are good, record 50 (menu slot 8) is broken.
  std::vector<uint8_t> bytes = MakePack(50);
  packtest::AppendRecord(bytes, std::vector<uint8_t>(30, 0));
  const TPackFile pack("broken.pp", bytes);
  TImageSlots slots;
  const auto old = std::make_shared<TSurface>(1, 1);
  for (auto& slot : slots.MenuImages) slot = old;
  EXPECT_THROW(LoadAllImages(slots, pack.Path()), TPackError);
  for (int s = 0; s < kSpriteImageCount; ++s) ExpectPackImage(slots.SpriteImages[s], s);
  for (int i = 0; i < 8; ++i) ExpectPackImage(slots.MenuImages[i], 42 + i);
  EXPECT_EQ(slots.MenuImages[mnuFullScreen], nullptr);
  for (int i = 9; i < kMenuImageCount; ++i) EXPECT_EQ(slots.MenuImages[i], old);
}

TEST(SurfaceRoutines, MatchSurfaceColorLeavesPixelZeroAsItWas) {
  struct Case {
    uint32_t colorRef;
    uint32_t expected;
  };
  const std::vector<Case> cases = {
      {0xFF00FF, 0x00FF00FF},    {0x0099FF, 0x00FF9900}, {0x993300, 0x00003399}, {0, 0},
      {kClrInvalid, 0x00ABCDEF},  // the invalid colour reads the pixel as it is
  };
  for (const Case& c : cases) {
    TSurface s(3, 2);
    s.SetPixelAt(0, 0, 0x00ABCDEF);
    EXPECT_EQ(MatchSurfaceColor(s, c.colorRef), c.expected);
    EXPECT_EQ(s.PixelAt(0, 0), 0x00ABCDEFu);
    EXPECT_FALSE(s.IsLocked());
  }
  TSurface lost(2, 2);
  lost.SetLost(true);
  EXPECT_EQ(MatchSurfaceColor(lost, 0xFF00FF), kClrInvalid);
  TSurface locked(2, 2);
  TLockedSurface l;
  ASSERT_EQ(locked.Lock(l), kDdOk);
  EXPECT_EQ(MatchSurfaceColor(locked, 0xFF00FF), kClrInvalid);  // no endless retry
}

TEST(SurfaceRoutines, CopyBitmapToSurface) {
  TDecodedBitmap bitmap{2, 2, {1, 2, 3, 4}};
  TSurface same(2, 2);
  ASSERT_EQ(CopyBitmapToSurface(&same, &bitmap, 0, 0, 0, 0), kDdOk);
  EXPECT_EQ(same.PixelAt(1, 1), 4u);
  TSurface big(4, 2);
  ASSERT_EQ(CopyBitmapToSurface(&big, &bitmap, 0, 0, 0, 0), kDdOk);  // stretched
  EXPECT_EQ(big.PixelAt(1, 0), 1u);
  EXPECT_EQ(big.PixelAt(2, 1), 4u);
  TSurface part(1, 1);
  ASSERT_EQ(CopyBitmapToSurface(&part, &bitmap, 1, 1, 1, 1), kDdOk);
  EXPECT_EQ(part.PixelAt(0, 0), 4u);
  EXPECT_EQ(CopyBitmapToSurface(nullptr, &bitmap, 0, 0, 0, 0), kDdErrGeneric);
  EXPECT_EQ(CopyBitmapToSurface(&same, nullptr, 0, 0, 0, 0), kDdErrGeneric);
  EXPECT_EQ(CopyBitmapToSurface(&same, &bitmap, 1, 0, 2, 2), kDdErrInvalidRect);
}

}  // namespace

// Records whose headers promise more than their bytes hold, and packs larger
// than the budget, are refused before anything is allocated for them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images/BmpDecoder.h"
#include "images/ImagePack.h"
#include "support/PackWriter.h"

namespace {

// 31 bytes: a core header declaring 7977 x 1792 at 24 bits and 5 bytes of pixels.
std::vector<uint8_t> TinyHugeBmp() {
  return test_kit::MakeBmp(
      {.Width = 7977, .Height = 1792, .Stored = std::vector<uint8_t>(5, 0x55), .CoreHeader = true});
}

// An 8-bit RLE bitmap with a two-colour palette (0 = black, 1 = white).
std::vector<uint8_t> Rle8Bmp(int32_t w, int32_t h, const std::vector<uint8_t>& stream) {
  return test_kit::MakeBmp({.Width = w,
                            .Height = h,
                            .Stored = stream,
                            .Bits = 8,
                            .Compression = 1,
                            .Palette = {0x000000, 0xFFFFFF}});
}

// Bottom row: four white. Top row: black, then "0 1 0" stored as is, padded.
const std::vector<uint8_t> kRleRows = {4, 1, 0, 0, 1, 0, 0, 3, 0, 1, 0, 0, 0, 0, 0, 1};

TEST(PackBounds, AnRleBitmapWhoseRowsAreAllFilledDecodes) {
  const std::vector<uint8_t> bmp = Rle8Bmp(4, 2, kRleRows);
  TDecodedBitmap out;
  std::string error;
  ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), out, error)) << error;
  const std::vector<uint32_t> expected = {0,        0,        0xFFFFFF, 0,
                                          0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  EXPECT_EQ(out.Pixels, expected);
}

TEST(PackBounds, RecordsWithoutTheirPixelDataAreRefusedNamingTheRecord) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bmp;
    const char* reason;
  };
  std::vector<Case> cases;
  cases.push_back({"31 bytes declaring 7977 x 1792", TinyHugeBmp(), "needs 42886144 bytes"});
  {
    std::vector<uint8_t> b = packtest::PackImage(9);
    b.resize(40);  // the info header itself is cut
    cases.push_back({"cut info header", b, "header needs 54 bytes"});
  }
  {
    std::vector<uint8_t> b =
        test_kit::MakeBmp({.Width = 3,
                           .Height = 3,
                           .Pixel = [](int32_t x, int32_t) { return x * 0x40u; },
                           .Paletted = true});
    b.resize(14 + 40 + 4);  // one of three palette entries left
    cases.push_back({"cut palette", b, "palette need"});
  }
  {
    std::vector<uint8_t> b = packtest::PackImage(3);
    b[10] = 0xF0;  // pixel data offset past the end
    b[11] = 0xFF;
    cases.push_back({"offset past the end", b, "past the end"});
  }
  {
    std::vector<uint8_t> rows = kRleRows;
    rows.resize(4);  // the stream stops after the first row
    cases.push_back({"RLE rows missing", Rle8Bmp(4, 2, rows), "ends at row 1 of 2"});
  }
  cases.push_back({"RLE delta jump", Rle8Bmp(4, 2, {0, 2, 0, 1, 0, 1}), "delta"});
  cases.push_back({"RLE run past the row", Rle8Bmp(4, 2, {5, 1, 0, 0, 0, 1}), "passes the end"});
  cases.push_back({"RLE row ended early", Rle8Bmp(4, 2, {3, 1, 0, 0, 0, 1}), "not filled"});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> pack = packtest::MakePack(2);
    packtest::AppendRecord(pack, c.bmp);
    const packtest::TPackFile file("bounds.pp", pack);
    try {
      LoadPackImage(file.Path(), 2);
      ADD_FAILURE() << "no error";
    } catch (const TPackError& e) {
      const std::string what = e.what();
      EXPECT_EQ(e.Record(), 2);
      EXPECT_NE(what.find(file.Path() + "\", record 2: bad bitmap"), std::string::npos) << what;
      EXPECT_NE(what.find(c.reason), std::string::npos) << what;
    }
  }
}

TEST(PackBounds, APackOfSeventySixTinyHugeRecordsStopsAtTheFirst) {
  std::vector<uint8_t> pack;
  for (int k = 0; k < kPackImageCount; ++k) packtest::AppendRecord(pack, TinyHugeBmp());
  ASSERT_EQ(pack.size(), 2660u);
  const packtest::TPackFile file("tinyhuge.pp", pack);
  TImageSlots slots;
  try {
    LoadAllImages(slots, file.Path());
    ADD_FAILURE() << "no error";
  } catch (const TPackError& e) {
    EXPECT_EQ(e.Record(), 0);
    EXPECT_NE(std::string(e.what()).find("record 0: bad bitmap"), std::string::npos) << e.what();
  }
  EXPECT_EQ(slots.SpriteImages[sprLeftPanel], nullptr);
}

TEST(PackBounds, PicturesAddUpToTheBudgetAndNoFurther) {
  const std::vector<uint8_t> tenByThree = packtest::PackImage(9);  // 10 x 3 pixels
  const std::vector<uint8_t> oneByOne = packtest::PackImage(0);
  int64_t packPixels = kMaxPackPixels - 30;
  ValidatePackRecord("Data.pp", 40, tenByThree.data(), tenByThree.size(), packPixels);
  EXPECT_EQ(packPixels, kMaxPackPixels);
  try {
    ValidatePackRecord("Data.pp", 41, oneByOne.data(), oneByOne.size(), packPixels);
    ADD_FAILURE() << "no error";
  } catch (const TPackError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Image pack \"Data.pp\", record 41: its 1 x 1 picture takes the pack past its budget "
              "of 67108864 pixels");
  }
  EXPECT_EQ(packPixels, kMaxPackPixels);
}

}  // namespace

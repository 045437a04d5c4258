// Bitmap files of the layouts the decoder takes, written here byte by byte, read through a bitmap
// list's stream as a form resource's images are, and checked pixel by pixel: bit-field masks at
// 16 and 32 bits (after the header and inside a longer one), full colour tables when the header
// counts none, rows stored top-down.
#include <gtest/gtest.h>

#include "BitmapBtnTest.h"
#include "BitmapFileBuilder.h"
#include "bitmapbtn/GxBmpLst.h"

using namespace bitmapbtn;
using bmpfile::Layout;

namespace {

std::string Int32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// A list read from a stream holding the one file.
std::unique_ptr<TGxBitmapList> ReadOne(const std::string& file) {
  auto list = std::make_unique<TGxBitmapList>(nullptr);
  std::string bytes = "MBML" + Int32(1) + Int32(static_cast<int32_t>(file.size())) + file;
  rtl::TMemoryStream s(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  list->ReadData(s);
  return list;
}

COLORREF PixelOf(TGxBitmapList& list, int x, int y) {
  return static_cast<COLORREF>(GetBitmapPixel(FreeHandle(*list.GetBitmap(0)), POINT{x, y}));
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

TEST(BitmapFiles, SixteenBitBitFieldsAreReadWithTheirMasks) {
  // 5-6-5: 0x07E0 is pure green; read as the plain 5-5-5 layout it would carry some red.
  Layout f;
  f.width = 3;
  f.height = 1;
  f.bits = 16;
  f.compression = 3;
  f.masks = {0xF800, 0x07E0, 0x001F};
  Put16(f.pixels, 0x07E0);
  Put16(f.pixels, 0x001F);
  Put16(f.pixels, 0x0000);
  Put16(f.pixels, 0);  // row padding
  auto list = ReadOne(bmpfile::Write(f));
  ASSERT_EQ(list->GetBitmap(0)->Width(), 3);
  COLORREF green = PixelOf(*list, 0, 0);
  EXPECT_EQ(GetRValue(green), 0) << tsupport::Hex(green);
  EXPECT_GE(GetGValue(green), 248);
  EXPECT_EQ(GetBValue(green), 0);
  COLORREF blue = PixelOf(*list, 1, 0);
  EXPECT_EQ(GetRValue(blue) + GetGValue(blue), 0);
  EXPECT_GE(GetBValue(blue), 248);
  EXPECT_EQ(PixelOf(*list, 2, 0), RGB(0, 0, 0));
}

TEST(BitmapFiles, ThirtyTwoBitBitFieldsFollowTheirMasksAfterTheHeaderOrInsideALongerOne) {
  // Red in the lowest byte, blue in the third: the reverse of the plain layout.
  for (uint32_t headerSize : {40u, 124u}) {
    Layout f;
    f.headerSize = headerSize;
    f.width = 2;
    f.height = 2;
    f.bits = 32;
    f.compression = 3;
    f.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    if (headerSize > 40) f.masks.push_back(0xFF000000);
    for (uint32_t v : {0x000000FFu, 0x00FF0000u, 0x0000FF00u, 0x00804020u}) Put32(f.pixels, v);
    auto list = ReadOne(bmpfile::Write(f));
    // Bottom-up: the first stored row is the bottom one.
    EXPECT_EQ(tsupport::Hex(PixelOf(*list, 0, 1)), tsupport::Hex(RGB(255, 0, 0))) << headerSize;
    EXPECT_EQ(tsupport::Hex(PixelOf(*list, 1, 1)), tsupport::Hex(RGB(0, 0, 255))) << headerSize;
    EXPECT_EQ(tsupport::Hex(PixelOf(*list, 0, 0)), tsupport::Hex(RGB(0, 255, 0))) << headerSize;
    EXPECT_EQ(tsupport::Hex(PixelOf(*list, 1, 0)), tsupport::Hex(RGB(0x20, 0x40, 0x80))) << headerSize;
  }
}

TEST(BitmapFiles, NoColourCountMeansTheFullTableAtFourAndEightBits) {
  for (uint16_t bits : {uint16_t(4), uint16_t(8)}) {
    const int colours = 1 << bits;
    Layout f;
    f.width = 4;
    f.height = 1;
    f.bits = bits;
    // Entries 0x00RRGGBB: red 0, green i, blue 255 - i.
    for (int i = 0; i < colours; ++i) f.palette.push_back(static_cast<uint32_t>(i) << 8 | static_cast<uint32_t>(255 - i));
    const int indexes[4] = {colours - 1, 0, colours / 2, 1};
    if (bits == 4) {
      f.pixels = {static_cast<uint8_t>(indexes[0] << 4 | indexes[1]), static_cast<uint8_t>(indexes[2] << 4 | indexes[3]),
                  0, 0};
    } else {
      for (int i : indexes) f.pixels.push_back(static_cast<uint8_t>(i));
    }
    auto list = ReadOne(bmpfile::Write(f));
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(tsupport::Hex(PixelOf(*list, x, 0)), tsupport::Hex(RGB(0, indexes[x], 255 - indexes[x])))
          << bits << " bits, pixel " << x;
  }
}

TEST(BitmapFiles, RowsStoredTopDownAreReadTopRowFirst) {
  Layout f;
  f.width = 1;
  f.height = -3;
  f.bits = 24;
  for (COLORREF c : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)})
    Put32(f.pixels, GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16);  // a row: 3 bytes and padding
  auto list = ReadOne(bmpfile::Write(f));
  ASSERT_EQ(list->GetBitmap(0)->Height(), 3);
  EXPECT_EQ(PixelOf(*list, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(*list, 0, 1), RGB(0, 255, 0));
  EXPECT_EQ(PixelOf(*list, 0, 2), RGB(0, 0, 255));
  // Stored bottom-up, the same rows read the other way round.
  f.height = 3;
  list = ReadOne(bmpfile::Write(f));
  EXPECT_EQ(PixelOf(*list, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(*list, 0, 2), RGB(255, 0, 0));
}

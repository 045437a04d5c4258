// A bitmap's own pixel access: the right pixel of the right row in the right colour order,
// whichever way the rows are stored, and the same picture the bitmap's canvas sees.
#include <gtest/gtest.h>

#include <cstring>

#include "Bitmap.h"

using namespace gui;

namespace {

COLORREF Px(TBitmap& b, int x, int y) { return static_cast<COLORREF>(b.Canvas().Pixels(x, y)); }
TColor C(COLORREF c) { return static_cast<TColor>(c); }

// A 32-bit bitmap file of 3 x 2 pixels. A positive height stores the bottom row first, a negative
// one the top row first; the pixels are given top row first, as 0x00RRGGBB in the BI_RGB order.
std::vector<uint8_t> ThirtyTwoBitFile(const uint32_t (&topDown)[2][3], bool bottomUp, const DWORD* masks = nullptr) {
  const size_t header = 14 + 40 + (masks ? 12 : 0);
  std::vector<uint8_t> f(header);
  auto* fh = reinterpret_cast<BITMAPFILEHEADER*>(f.data());
  fh->bfType = 0x4D42;
  fh->bfOffBits = static_cast<DWORD>(header);
  auto* ih = reinterpret_cast<BITMAPINFOHEADER*>(f.data() + 14);
  ih->biSize = 40;
  ih->biWidth = 3;
  ih->biHeight = bottomUp ? 2 : -2;
  ih->biPlanes = 1;
  ih->biBitCount = 32;
  ih->biCompression = masks ? BI_BITFIELDS : BI_RGB;
  if (masks) std::memcpy(f.data() + 54, masks, 12);
  for (int i = 0; i < 2; ++i) {
    const uint32_t* row = topDown[bottomUp ? 1 - i : i];
    for (int x = 0; x < 3; ++x)
      for (int byte = 0; byte < 4; ++byte) f.push_back(static_cast<uint8_t>(row[x] >> (8 * byte)));
  }
  return f;
}

}  // namespace

TEST(BitmapPixels, ReadTheCanvasPictureAtItsPlaceInRgb) {
  // An asymmetric picture: every corner different, and one colour whose red and blue differ.
  TBitmap b;
  b.SetSize(5, 3);
  ASSERT_EQ(b.PixelFormat(), pfDevice);
  TCanvas& c = b.Canvas();
  c.SetPixel(0, 0, C(RGB(255, 0, 0)));
  c.SetPixel(4, 0, C(RGB(0, 255, 0)));
  c.SetPixel(0, 2, C(RGB(0, 0, 255)));
  c.SetPixel(4, 2, C(RGB(10, 20, 30)));
  c.SetPixel(3, 1, C(RGB(200, 100, 50)));
  EXPECT_EQ(b.PixelAt(0, 0), C(RGB(255, 0, 0)));
  EXPECT_EQ(b.PixelAt(4, 0), C(RGB(0, 255, 0)));
  EXPECT_EQ(b.PixelAt(0, 2), C(RGB(0, 0, 255)));
  EXPECT_EQ(b.PixelAt(4, 2), C(RGB(10, 20, 30)));
  EXPECT_EQ(b.PixelAt(3, 1), C(RGB(200, 100, 50)));
  EXPECT_EQ(b.PixelAt(1, 1), clWhite) << "a new bitmap is white";
}

TEST(BitmapPixels, WritesAreWhatTheCanvasShows) {
  TBitmap b;
  b.SetSize(5, 3);
  b.SetPixelAt(4, 0, C(RGB(1, 2, 3)));
  b.SetPixelAt(0, 2, C(RGB(250, 128, 7)));
  b.SetPixelAt(2, 1, clBtnFace);  // a system colour is stored as its RGB value
  EXPECT_EQ(Px(b, 4, 0), RGB(1, 2, 3));
  EXPECT_EQ(Px(b, 0, 2), RGB(250, 128, 7));
  EXPECT_EQ(Px(b, 2, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Px(b, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(Px(b, 4, 2), RGB(255, 255, 255));
  EXPECT_EQ(b.PixelAt(2, 1), C(GetSysColor(COLOR_BTNFACE)));
}

TEST(BitmapPixels, RowsStoredEitherWayReadTopRowFirst) {
  const uint32_t picture[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x102030, 0xFFFFFF, 0x000000}};
  for (bool bottomUp : {true, false}) {
    rtl::TMemoryStream s(ThirtyTwoBitFile(picture, bottomUp));
    TBitmap b;
    b.LoadFromStream(s);
    ASSERT_EQ(b.PixelFormat(), pf32bit);
    SCOPED_TRACE(bottomUp ? "bottom-up" : "top-down");
    EXPECT_EQ(b.PixelAt(0, 0), C(RGB(0xFF, 0, 0)));
    EXPECT_EQ(b.PixelAt(1, 0), C(RGB(0, 0xFF, 0)));
    EXPECT_EQ(b.PixelAt(2, 0), C(RGB(0, 0, 0xFF)));
    EXPECT_EQ(b.PixelAt(0, 1), C(RGB(0x10, 0x20, 0x30)));
    b.SetPixelAt(2, 1, C(RGB(9, 8, 7)));
    EXPECT_EQ(Px(b, 2, 1), RGB(9, 8, 7));
    EXPECT_EQ(Px(b, 2, 0), RGB(0, 0, 0xFF));
  }
}

TEST(BitmapPixels, OtherLayoutsAndDepthsGoThroughTheCanvas) {
  // 32 bits with red and blue masks exchanged: the stored 0x0000FF is red.
  const DWORD swapped[3] = {0x0000FF, 0x00FF00, 0xFF0000};
  const uint32_t picture[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0, 0, 0}};
  rtl::TMemoryStream s(ThirtyTwoBitFile(picture, true, swapped));
  TBitmap masked;
  masked.LoadFromStream(s);
  EXPECT_EQ(masked.PixelAt(0, 0), C(RGB(0xFF, 0, 0)));
  EXPECT_EQ(masked.PixelAt(2, 0), C(RGB(0, 0, 0xFF)));

  TBitmap deep;
  deep.SetPixelFormat(pf24bit);
  deep.SetSize(4, 2);
  deep.SetPixelAt(3, 0, C(RGB(40, 80, 120)));
  EXPECT_EQ(Px(deep, 3, 0), RGB(40, 80, 120));
  EXPECT_EQ(deep.PixelAt(3, 0), C(RGB(40, 80, 120)));
  EXPECT_EQ(deep.PixelAt(0, 1), clWhite);
}

TEST(BitmapPixels, APointOutsideTheBitmapIsAnError) {
  TBitmap b;
  b.SetSize(4, 3);
  for (POINT p : {POINT{-1, 0}, POINT{4, 0}, POINT{0, -1}, POINT{0, 3}}) {
    try {
      b.PixelAt(p.x, p.y);
      ADD_FAILURE() << p.x << "," << p.y << " was read";
    } catch (const rtl::EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Pixel index out of range");
    }
    EXPECT_THROW(b.SetPixelAt(p.x, p.y, clBlack), rtl::EInvalidGraphic);
  }
  TBitmap empty;
  EXPECT_THROW(empty.PixelAt(0, 0), rtl::EInvalidGraphic);
}

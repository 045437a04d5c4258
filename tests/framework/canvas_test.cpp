// Canvas drawing checked by pixels, bitmaps in the platform's file format, and GDI objects
// counted across every operation.
#include <gtest/gtest.h>

#include "Bitmap.h"
#include "GdiCounter.h"
#include "Icon.h"
#include "IconFiles.h"

using namespace gui;
using tsupport::GdiDelta;

namespace {

COLORREF Px(TBitmap& b, int x, int y) { return static_cast<COLORREF>(b.Canvas().Pixels(x, y)); }

// A 16-bit bitmap file as the bitmap list stores them: 16 palette entries, the pixels right after
// the colour table, and a file header whose size and offset are wrong.
std::vector<uint8_t> SixteenBitFile(int w, int h, uint16_t (*pixel)(int x, int y), DWORD claimedOffset) {
  std::vector<uint8_t> f(14 + 40 + 16 * 4);
  auto* fh = reinterpret_cast<BITMAPFILEHEADER*>(f.data());
  fh->bfType = 0x4D42;
  fh->bfOffBits = claimedOffset;
  fh->bfSize = 99999;
  auto* ih = reinterpret_cast<BITMAPINFOHEADER*>(f.data() + 14);
  ih->biSize = 40;
  ih->biWidth = w;
  ih->biHeight = h;
  ih->biPlanes = 1;
  ih->biBitCount = 16;
  ih->biClrUsed = 16;
  ih->biSizeImage = static_cast<DWORD>(((w * 2 + 3) & ~3) * h);
  for (int y = h - 1; y >= 0; --y) {  // bottom-up rows
    for (int x = 0; x < w; ++x) {
      uint16_t p = pixel(x, y);
      f.push_back(static_cast<uint8_t>(p));
      f.push_back(static_cast<uint8_t>(p >> 8));
    }
    while ((f.size() - 118) % 4) f.push_back(0);
  }
  return f;
}

}  // namespace

TEST(Canvas, DrawsShapesLinesAndTextWhereExpected) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(40, 30);
  TCanvas& c = b.Canvas();
  c.Brush().SetColor(clRed);
  c.FillRect(RECT{0, 0, 40, 30});
  c.Pen().SetColor(clBlue);
  c.Brush().SetColor(clLime);
  c.Rectangle(5, 5, 15, 15);  // blue outline, lime inside, right/bottom edges exclusive
  c.Pen().SetColor(clBlack);
  c.MoveTo(20, 2);
  c.LineTo(30, 2);  // the end point is not drawn
  POINT tri[] = {{20, 10}, {30, 10}, {25, 20}};
  c.Brush().SetColor(clYellow);
  c.Polygon(tri, 3);

  EXPECT_EQ(Px(b, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(Px(b, 5, 5), RGB(0, 0, 255));
  EXPECT_EQ(Px(b, 14, 14), RGB(0, 0, 255));
  EXPECT_EQ(Px(b, 15, 15), RGB(255, 0, 0));
  EXPECT_EQ(Px(b, 10, 10), RGB(0, 255, 0));
  EXPECT_EQ(Px(b, 20, 2), RGB(0, 0, 0));
  EXPECT_EQ(Px(b, 29, 2), RGB(0, 0, 0));
  EXPECT_EQ(Px(b, 30, 2), RGB(255, 0, 0));
  EXPECT_EQ(Px(b, 25, 13), RGB(255, 255, 0));
  // Pen modes mix with what is there: an inverting line over red gives cyan.
  c.Pen().SetMode(pmNot);
  c.MoveTo(0, 28);
  c.LineTo(10, 28);
  EXPECT_EQ(Px(b, 3, 28), RGB(0, 255, 255));
  c.Pen().SetMode(pmCopy);

  // Text: transparent background over red, black glyph pixels only inside the text box.
  c.Brush().SetStyle(bsClear);
  c.Font().SetName("Arial");
  c.Font().SetHeight(-12);
  c.Font().SetColor(clBlack);
  SIZE ext = c.TextExtent("W");
  EXPECT_GT(ext.cx, 5);
  c.TextOut(2, 17, "W");
  int dark = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      if (Px(b, x, y) != RGB(0, 0, 0) || (x >= 20 && y < 21)) continue;
      ++dark;
      EXPECT_TRUE(x >= 2 && x < 2 + ext.cx && y >= 17 && y < 17 + ext.cy) << x << "," << y;
    }
  EXPECT_GT(dark, 5);
}

TEST(Canvas, CopyRectHonoursTheRasterOperation) {
  TBitmap src, dst;
  src.SetPixelFormat(pf24bit);
  dst.SetPixelFormat(pf24bit);
  src.SetSize(4, 4);
  dst.SetSize(4, 4);
  src.Canvas().Brush().SetColor(static_cast<TColor>(RGB(0xF0, 0x0F, 0x55)));
  src.Canvas().FillRect(RECT{0, 0, 4, 4});
  dst.Canvas().Brush().SetColor(static_cast<TColor>(RGB(0x0F, 0xFF, 0x55)));
  dst.Canvas().FillRect(RECT{0, 0, 4, 4});
  dst.Canvas().SetCopyMode(SRCAND);
  dst.Canvas().CopyRect(RECT{0, 0, 2, 2}, src.Canvas(), RECT{0, 0, 2, 2});
  EXPECT_EQ(Px(dst, 0, 0), RGB(0x00, 0x0F, 0x55));
  EXPECT_EQ(Px(dst, 3, 3), RGB(0x0F, 0xFF, 0x55));
}

TEST(Canvas, NoGdiObjectIsLeftBehind) {
  GdiDelta delta;
  {
    TBitmap b;
    b.SetSize(20, 20);
    TCanvas& c = b.Canvas();
    for (int i = 0; i < 5; ++i) {
      // Change every object while it is selected: the old one must be released each time.
      c.Font().SetHeight(-10 - i);
      c.Pen().SetWidth(1 + i);
      c.Brush().SetColor(static_cast<TColor>(RGB(i * 40, 0, 0)));
      c.Rectangle(0, 0, 10, 10);
      c.TextOut(0, 0, "x");
      c.Brush().SetStyle(bsClear);  // the hollow brush is a stock object: never deleted
      c.TextOut(0, 0, "y");
    }
    b.SetSize(30, 10);
    b.SetPixelFormat(pf8bit);
    TBitmap copy;
    copy.Assign(&b);
    copy.Canvas().Draw(0, 0, b);
    rtl::TMemoryStream s;
    copy.SaveToStream(s);
    s.SetPosition(0);
    b.LoadFromStream(s);
    b.Dormant();
    EXPECT_GT(delta.Delta(), 0) << "the counter sees the objects while they live";
  }
  EXPECT_EQ(delta.Delta(), 0);
}

TEST(Bitmap, FileRoundTripKeepsEveryPixel) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(7, 5);  // odd width: row padding
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) b.Canvas().SetPixel(x, y, static_cast<TColor>(RGB(x * 30, y * 50, 7)));
  rtl::TMemoryStream s;
  b.SaveToStream(s);
  s.SetPosition(0);
  TBitmap back;
  back.LoadFromStream(s);
  ASSERT_EQ(back.Width(), 7);
  ASSERT_EQ(back.Height(), 5);
  EXPECT_EQ(back.PixelFormat(), pf24bit);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(Px(back, x, y), RGB(x * 30, y * 50, 7));
}

TEST(Bitmap, PixelsComeRightAfterTheColourTableWhateverTheHeaderClaims) {
  auto pixel = [](int x, int y) -> uint16_t { return static_cast<uint16_t>((x == y) ? 0x7C00 : 0x001F); };  // 5-5-5
  auto file = SixteenBitFile(32, 32, pixel, 182);
  ASSERT_EQ(file.size(), 2166u);
  rtl::TMemoryStream s(file);
  TBitmap b;
  b.LoadFromStream(s);
  EXPECT_EQ(b.PixelFormat(), pf16bit);
  EXPECT_EQ(Px(b, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(Px(b, 31, 31), RGB(255, 0, 0));
  EXPECT_EQ(Px(b, 1, 0), RGB(0, 0, 255));
}

TEST(Bitmap, CoreHeaderAndEmptyStreamsAreAccepted) {
  // A 2x1, 1-bit image with a 12-byte header and 3-byte colour entries.
  std::vector<uint8_t> f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0,
                            0, 0, 255, /* red */ 0, 255, 0 /* green */,
                            0x40, 0, 0, 0};
  rtl::TMemoryStream s(f);
  TBitmap b;
  b.LoadFromStream(s);
  EXPECT_EQ(Px(b, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(Px(b, 1, 0), RGB(0, 255, 0));

  rtl::TMemoryStream empty;
  b.LoadFromStream(empty);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, BadFilesFailWithClearErrorsAndKeepThePicture) {
  TBitmap b;
  b.SetSize(3, 3);
  auto fails = [&](std::vector<uint8_t> bytes) -> std::string {
    rtl::TMemoryStream s(std::move(bytes));
    try {
      b.LoadFromStream(s);
    } catch (const rtl::Exception& e) {
      return e.what();
    }
    return "loaded";
  };
  EXPECT_EQ(fails({'X', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}), "Bitmap image is not valid");
  auto good = SixteenBitFile(32, 32, [](int, int) -> uint16_t { return 0; }, 118);
  EXPECT_EQ(fails(std::vector<uint8_t>(good.begin(), good.end() - 1)), "Stream read error");
  auto huge = good;
  reinterpret_cast<BITMAPINFOHEADER*>(huge.data() + 14)->biWidth = 100000;
  EXPECT_EQ(fails(huge), "Bitmap image is not valid");
  auto badDepth = good;
  reinterpret_cast<BITMAPINFOHEADER*>(badDepth.data() + 14)->biBitCount = 7;
  EXPECT_EQ(fails(badDepth), "Bitmap image is not valid");
  EXPECT_EQ(b.Width(), 3) << "a failed load leaves the bitmap as it was";
}

TEST(Icon, TheSmallImageIsThePlatformsScaledCopyMadeFromTheFile) {
  // Quadrants of their own colours: a wrong image, size or orientation shows.
  const COLORREF q[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
  rtl::TMemoryStream s(tsupport::IconFile(32, [&](int x, int y) { return q[(y >= 16) * 2 + (x >= 16)]; }));
  TIcon icon, none;
  icon.LoadFromStream(s);
  auto drawn = [](HICON i) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    DrawIconEx(b.Canvas().Handle(), 0, 0, i, 0, 0, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> px;
    for (int p = 0; p < 256; ++p) px.push_back(Px(b, p % 16, p / 16));
    return px;
  };
  std::vector<COLORREF> small = drawn(icon.SmallHandle(16, 16));
  EXPECT_EQ((std::vector<COLORREF>{small[0], small[15], small[240], small[255]}), std::vector<COLORREF>(q, q + 4));
  TIconHandle copy(static_cast<HICON>(CopyImage(icon.Handle(), IMAGE_ICON, 16, 16, 0)));
  EXPECT_EQ(small, drawn(copy.Get())) << "the platform's copy at that size";
  EXPECT_EQ(none.SmallHandle(16, 16), nullptr);
}

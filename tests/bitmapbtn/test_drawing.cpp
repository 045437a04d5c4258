// The family's drawing routines, integer limits, change counting and the bevel.
#include <gtest/gtest.h>

#include <set>

#include "BitmapBtnTest.h"
#include "ButtonModel.h"
#include "GdiCounter.h"
#include "Cursors.h"
#include "TestWindows.h"
#include "bitmapbtn/GxObj.h"

using namespace bitmapbtn;
using bmptest::Hex;
using bmptest::Surface;

namespace {

using tsupport::Sys;

// A canvas over a surface's DC for the duration of a test.
struct SurfaceCanvas {
  explicit SurfaceCanvas(Surface& s) { canvas.SetHandle(s.Dc()); }
  ~SurfaceCanvas() { canvas.SetHandle(nullptr); }
  gui::TCanvas canvas;
};

struct ChangeCounter : rtl::TObject {
  int changes = 0;
  void Changed(rtl::TObject*) { ++changes; }
};

}  // namespace

TEST(Routines, MinMaxClampsWithLowWinningOverHigh) {
  EXPECT_EQ(MinMax(5, 0, 3), 3);
  EXPECT_EQ(MinMax(-2, 0, 3), 0);
  EXPECT_EQ(MinMax(7, 9, 3), 9);
  EXPECT_EQ(MinMax(2, 0, 3), 2);
  EXPECT_EQ(Min(-4, 2), -4);
  EXPECT_EQ(Max(-4, 2), 2);
}

TEST(Routines, Frame3DDrawsClosedRingsAndReturnsTheInside) {
  Surface s(12, 12, RGB(9, 9, 9));
  SurfaceCanvas c(s);
  RECT r{0, 0, 10, 10};
  Frame3D(c.canvas, r, gui::clRed, gui::clBlue, 2);
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right, 8);
  EXPECT_EQ(r.bottom, 8);
  const COLORREF top = RGB(255, 0, 0), bottom = RGB(0, 0, 255), none = RGB(9, 9, 9);
  for (int ring = 0; ring < 2; ++ring) {
    // Ring corners after the right and bottom edges move in by one: (lo, lo) to (hi, hi).
    int lo = ring, hi = 9 - ring;
    for (int i = lo; i < hi; ++i) {
      EXPECT_EQ(s.At(lo, i), top) << "left column of ring " << ring << " at row " << i;
      EXPECT_EQ(s.At(i, lo), top) << "top row of ring " << ring << " at column " << i;
    }
    // The bottom half closes the ring, both far corners included.
    for (int i = lo; i <= hi; ++i) {
      EXPECT_EQ(s.At(hi, i), bottom) << "right column of ring " << ring << " at row " << i;
      EXPECT_EQ(s.At(i, hi), bottom) << "bottom row of ring " << ring << " at column " << i;
    }
  }
  EXPECT_EQ(s.At(2, 2), none) << "the inside is untouched";
  EXPECT_EQ(s.At(7, 7), none);
  EXPECT_EQ(s.At(10, 10), none) << "nothing outside the rectangle";

  RECT same{1, 1, 5, 5};
  Frame3D(c.canvas, same, gui::clRed, gui::clBlue, 0);
  EXPECT_EQ(same.left, 1);
  EXPECT_EQ(same.right, 5);
  EXPECT_EQ(same.bottom, 5);
}

TEST(Routines, GetBitmapPixelClampsThePointIntoTheBitmap) {
  gui::TBitmap b;
  b.SetSize(32, 32);
  b.Canvas().SetPixel(0, 31, gui::clRed);
  b.Canvas().SetPixel(31, 0, gui::clLime);
  HBITMAP h = FreeHandle(b);
  EXPECT_EQ(GetBitmapPixel(h, POINT{0, 0x7FFFFFFE}), gui::clRed);
  EXPECT_EQ(GetBitmapPixel(h, POINT{-5, 40}), gui::clRed);
  EXPECT_EQ(GetBitmapPixel(h, POINT{100, -1}), gui::clLime);
  EXPECT_EQ(GetBitmapPixel(h, POINT{5, 5}), gui::clWhite);
}

TEST(Routines, DrawTransparentBitmapLeavesOutTheKeyAndChangesNothingElse) {
  tsupport::GdiDelta delta;
  {
    // Source: a blue square on a green ground, with a red cell in the corner.
    gui::TBitmap src;
    src.SetSize(8, 8);
    src.Canvas().Brush().SetColor(gui::clLime);
    src.Canvas().FillRect(RECT{0, 0, 8, 8});
    src.Canvas().Brush().SetColor(gui::clBlue);
    src.Canvas().FillRect(RECT{2, 2, 6, 6});
    src.Canvas().SetPixel(0, 0, gui::clRed);
    HBITMAP h = FreeHandle(src);

    Surface dest(20, 20, RGB(7, 8, 9));
    HGDIOBJ pen = GetCurrentObject(dest.Dc(), OBJ_PEN), brush = GetCurrentObject(dest.Dc(), OBJ_BRUSH);
    HGDIOBJ selected = GetCurrentObject(dest.Dc(), OBJ_BITMAP);
    DrawTransparentBitmap(dest.Dc(), h, 5, 5, RECT{0, 0, 8, 8}, gui::clLime);
    EXPECT_EQ(dest.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(dest.At(6, 6), RGB(7, 8, 9)) << "key pixels leave the destination";
    EXPECT_EQ(dest.At(7, 7), RGB(0, 0, 255));
    EXPECT_EQ(dest.At(10, 10), RGB(0, 0, 255));
    EXPECT_EQ(dest.At(12, 12), RGB(7, 8, 9));
    EXPECT_EQ(dest.At(13, 13), RGB(7, 8, 9)) << "nothing beyond the source part";
    EXPECT_EQ(GetCurrentObject(dest.Dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dest.Dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dest.Dc(), OBJ_BITMAP), selected);

    // The source is as it was, key pixels included.
    EXPECT_EQ(GetBitmapPixel(h, POINT{1, 1}), gui::clLime);
    EXPECT_EQ(GetBitmapPixel(h, POINT{3, 3}), gui::clBlue);
    EXPECT_EQ(GetBitmapPixel(h, POINT{0, 0}), gui::clRed);

    // A part of the source, and a key that does not occur: copied unchanged.
    Surface plain(8, 8, RGB(7, 8, 9));
    DrawTransparentBitmap(plain.Dc(), h, 0, 0, RECT{1, 1, 5, 5}, gui::clYellow);
    EXPECT_EQ(plain.At(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(plain.At(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(plain.At(3, 3), RGB(0, 0, 255));
    EXPECT_EQ(plain.At(4, 4), RGB(7, 8, 9));

    // Degenerate parts draw nothing.
    DrawTransparentBitmap(plain.Dc(), h, 0, 0, RECT{3, 3, 3, 6}, gui::clYellow);
    EXPECT_EQ(plain.At(0, 0), RGB(0, 255, 0));
  }
  EXPECT_EQ(delta.Delta(), 0);
}

TEST(Bevel, StartsLoweredAndPaintsOneRing) {
  TGxBevel bevel;
  EXPECT_EQ(bevel.BevelOuter(), bvLowered);
  EXPECT_EQ(bevel.BevelInner(), bvNone);
  EXPECT_EQ(bevel.BorderColor(), gui::clBtnFace);
  EXPECT_EQ(bevel.BorderSpaceColor(), gui::clBlack);

  Surface s(40, 40, RGB(7, 8, 9));
  SurfaceCanvas c(s);
  RECT inner{};
  bevel.PaintBevel(c.canvas, RECT{0, 0, 40, 40}, inner, true);
  EXPECT_EQ(inner.left, 1);
  EXPECT_EQ(inner.top, 1);
  EXPECT_EQ(inner.right, 39);
  EXPECT_EQ(inner.bottom, 39);
  EXPECT_EQ(s.At(0, 20), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(20, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(39, 20), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(20, 39), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(1, 20), RGB(7, 8, 9));

  // A space bevel draws nothing and takes no room; border and spacing bands do.
  bevel.SetBevelOuter(bvSpace);
  bevel.SetBorderWidth(2);
  bevel.SetBorderColor(gui::clRed);
  bevel.SetBorderSpace(1);
  bevel.SetBorderSpaceColor(gui::clBlue);
  Surface t(40, 40, RGB(7, 8, 9));
  SurfaceCanvas ct(t);
  bevel.PaintBevel(ct.canvas, RECT{0, 0, 40, 40}, inner, true);
  EXPECT_EQ(inner.left, 3);
  EXPECT_EQ(inner.right, 37);
  EXPECT_EQ(t.At(0, 20), RGB(255, 0, 0));
  EXPECT_EQ(t.At(1, 20), RGB(255, 0, 0));
  EXPECT_EQ(t.At(2, 20), RGB(0, 0, 255));
  // Without the border the band is skipped but still takes its room.
  Surface u(40, 40, RGB(7, 8, 9));
  SurfaceCanvas cu(u);
  bevel.PaintBevel(cu.canvas, RECT{0, 0, 40, 40}, inner, false);
  EXPECT_EQ(inner.left, 3);
  EXPECT_EQ(u.At(0, 20), RGB(7, 8, 9));
  EXPECT_EQ(u.At(2, 20), RGB(0, 0, 255));
}

TEST(Bevel, ChangesAreCountedAndAssignCopiesInOneChange) {
  TGxBevel a, b;
  ChangeCounter counter;
  a.OnChange.Bind(&counter, &ChangeCounter::Changed);
  a.SetBorderWidth(3);
  a.SetBorderWidth(3);
  EXPECT_EQ(counter.changes, 1) << "an unchanged value is no change";
  a.SetColor(9, gui::clRed);
  EXPECT_EQ(counter.changes, 2) << "an unknown colour index still reports a change";

  a.BeginUpdate();
  a.BeginUpdate();
  a.SetBevelInner(bvRaised);
  a.SetBevelInnerWidth(4);
  a.EndUpdate();
  EXPECT_EQ(counter.changes, 2) << "nested: nothing until the outermost EndUpdate";
  a.EndUpdate();
  EXPECT_EQ(counter.changes, 3);

  b.SetBevelOuter(bvRaised);
  b.SetBorderStyle(gui::bsSingle);
  b.SetInnerLightColor(gui::clYellow);
  b.SetOuterShadowColor(gui::clNavy);
  counter.changes = 0;
  a.Assign(&b);
  EXPECT_EQ(counter.changes, 1);
  EXPECT_EQ(a.BevelOuter(), bvRaised);
  EXPECT_EQ(a.BevelInner(), bvNone);
  EXPECT_EQ(a.BorderWidth(), 0);
  EXPECT_EQ(a.BorderStyle(), gui::bsSingle);
  EXPECT_EQ(a.InnerLightColor(), gui::clYellow);
  EXPECT_EQ(a.OuterShadowColor(), gui::clNavy);

  try {
    a.Assign(&a);
    FAIL() << "a bevel cannot be assigned to itself";
  } catch (const rtl::Exception& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TGxBevel to a TGxBevel");
  }
  gui::TFont font;
  EXPECT_THROW(a.Assign(&font), rtl::EConvertError);
}

TEST(Bevel, DrawsItsLineOuterBevelBorderInnerBevelAndSpacingFromOutsideIn) {
  TGxBevel bevel;
  bevel.SetBorderStyle(gui::bsSingle);
  bevel.SetBevelOuterWidth(3);
  bevel.SetBorderWidth(2);
  bevel.SetBorderColor(gui::clRed);
  bevel.SetBevelInnerWidth(2);
  bevel.SetBorderSpace(1);
  bevel.SetBorderSpaceColor(gui::clBlue);
  bevel.SetOuterLightColor(gui::clLime);
  bevel.SetOuterShadowColor(gui::clNavy);
  bevel.SetInnerLightColor(gui::clYellow);
  bevel.SetInnerShadowColor(gui::clPurple);
  const COLORREF lime = RGB(0, 255, 0), navy = RGB(0, 0, 128), yellow = RGB(255, 255, 0), purple = RGB(128, 0, 128);
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), line = Sys(COLOR_WINDOWFRAME);
  for (TBevelCut outer : {bvRaised, bvLowered}) {
    TBevelCut inner = outer == bvRaised ? bvLowered : bvRaised;
    bevel.SetBevelOuter(outer);
    bevel.SetBevelInner(inner);
    Surface actual(40, 40, RGB(7, 8, 9));
    SurfaceCanvas c(actual);
    RECT got{};
    bevel.PaintBevel(c.canvas, RECT{0, 0, 40, 40}, got, true);

    Surface expected(40, 40, RGB(7, 8, 9));
    RECT r{0, 0, 40, 40};
    bmpmodel::Frame(expected, r, line, line, 1);
    if (outer == bvRaised)
      bmpmodel::Frame(expected, r, lime, navy, 3);
    else
      bmpmodel::Frame(expected, r, navy, lime, 3);
    bmpmodel::Frame(expected, r, red, red, 2);
    if (inner == bvLowered)
      bmpmodel::Frame(expected, r, purple, yellow, 2);
    else
      bmpmodel::Frame(expected, r, yellow, purple, 2);
    bmpmodel::Frame(expected, r, blue, blue, 1);
    std::string first;
    EXPECT_EQ(bmpmodel::Differences(actual, 0, 0, expected, &first), 0) << "outer " << outer << ": " << first;
    EXPECT_EQ(got.left, 9);
    EXPECT_EQ(got.top, 9);
    EXPECT_EQ(got.right, 31);
    EXPECT_EQ(got.bottom, 31);
  }
}

TEST(Bevel, AssignCopiesEveryFieldInOneChange) {
  TGxBevel a, b;
  b.SetBevelInner(bvRaised);
  b.SetBevelOuter(bvSpace);
  b.SetBevelInnerWidth(4);
  b.SetBevelOuterWidth(5);
  b.SetBorderStyle(gui::bsSingle);
  b.SetBorderWidth(6);
  b.SetBorderSpace(7);
  const gui::TColor colours[6] = {gui::clRed, gui::clLime, gui::clBlue, gui::clYellow, gui::clFuchsia, gui::clAqua};
  for (int i = 0; i < 6; ++i) b.SetColor(i, colours[i]);
  ChangeCounter counter;
  a.OnChange.Bind(&counter, &ChangeCounter::Changed);
  a.Assign(&b);
  EXPECT_EQ(counter.changes, 1);
  EXPECT_EQ(a.BevelInner(), bvRaised);
  EXPECT_EQ(a.BevelOuter(), bvSpace);
  EXPECT_EQ(a.BevelInnerWidth(), 4);
  EXPECT_EQ(a.BevelOuterWidth(), 5);
  EXPECT_EQ(a.BorderStyle(), gui::bsSingle);
  EXPECT_EQ(a.BorderWidth(), 6);
  EXPECT_EQ(a.BorderSpace(), 7);
  EXPECT_EQ(a.BorderColor(), gui::clRed);
  EXPECT_EQ(a.BorderSpaceColor(), gui::clLime);
  EXPECT_EQ(a.InnerLightColor(), gui::clBlue);
  EXPECT_EQ(a.InnerShadowColor(), gui::clYellow);
  EXPECT_EQ(a.OuterLightColor(), gui::clFuchsia);
  EXPECT_EQ(a.OuterShadowColor(), gui::clAqua);
}

TEST(GraphicControl, PaintsItsBevelAndFillsTheInsideUnlessTransparent) {
  tsupport::TTestForm host(0, 0, 200, 100);
  gui::TForm* form = host.form;
  auto* control = new TGxGraphicControl(form);
  control->SetParent(form);
  control->SetBounds(10, 10, 40, 30);
  control->SetColor(gui::clRed);
  control->Bevel().SetBevelOuter(bvRaised);
  Surface s(200, 100, RGB(7, 8, 9));
  SendMessageA(form->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(s.Dc()), 0);
  EXPECT_EQ(s.At(10, 20), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(49, 20), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(20, 20), RGB(255, 0, 0));
  control->SetTransparent(true);
  Surface t(200, 100, RGB(7, 8, 9));
  SendMessageA(form->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(t.Dc()), 0);
  EXPECT_EQ(t.At(10, 20), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(t.At(20, 20), RGB(7, 8, 9));
}

TEST(Startup, TheFamilysCursorsAreInTheCursorTable) {
  HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  std::set<HCURSOR> distinct;
  for (int id = 2001; id <= 2031; ++id) {
    ASSERT_TRUE(gui::Cursors().Contains(id)) << id;
    distinct.insert(gui::Cursors().Get(id));
  }
  EXPECT_EQ(distinct.size(), 31u);
  EXPECT_EQ(distinct.count(arrow), 0u);
  EXPECT_FALSE(gui::Cursors().Contains(2032));
  EXPECT_EQ(gui::Cursors().Get(2032), arrow);
  // The pointing hand's hot spot is its fingertip.
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(gui::Cursors().Get(2001), &info));
  gui::TBitmapHandle mask(info.hbmMask), color(info.hbmColor);  // the copies GetIconInfo made
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 13u);
  EXPECT_EQ(info.yHotspot, 5u);
}

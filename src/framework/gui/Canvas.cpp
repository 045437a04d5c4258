#include "Canvas.h"

#include "Bitmap.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TCanvas);

// The line-drawing mix of each pen mode, in the order of TPenMode.
static int Rop2(TPenMode m) {
  static const int rop[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT,
                            R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                            R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
  return rop[m];
}

TCanvas::TCanvas() {
  font_.OnChange.Bind(this, &TCanvas::ObjectChanged);
  pen_.OnChange.Bind(this, &TCanvas::ObjectChanged);
  brush_.OnChange.Bind(this, &TCanvas::ObjectChanged);
}

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle() {
  if (!dc_) CreateHandle();
  if (!dc_) throw rtl::EInvalidOperation("Canvas does not allow drawing");
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  DeselectHandles();
  dc_ = dc;
}

void TCanvas::DeselectHandles() {
  if (!dc_) return;
  if (selected_ & kFont) SelectObject(dc_, oldFont_);
  if (selected_ & kPen) SelectObject(dc_, oldPen_);
  if (selected_ & kBrush) SelectObject(dc_, oldBrush_);
  selected_ = 0;
}

void TCanvas::Require(unsigned what) {
  HDC dc = Handle();
  unsigned missing = what & ~selected_;
  if (missing & kFont) {
    oldFont_ = SelectObject(dc, font_.Handle());
    SetTextColor(dc, ColorToRGB(font_.Color()));
    selected_ |= kFont;
  }
  if (missing & kPen) {
    oldPen_ = SelectObject(dc, pen_.Handle());
    SetROP2(dc, Rop2(pen_.Mode()));
    selected_ |= kPen;
  }
  if (missing & kBrush) {
    oldBrush_ = SelectObject(dc, brush_.Handle());
    SetBkColor(dc, ColorToRGB(brush_.Color()));
    SetBkMode(dc, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
    selected_ |= kBrush;
  }
}

void TCanvas::ObjectChanged(rtl::TObject* sender) {
  // Swap the new object in while the old one is still alive; the original DC object stays saved.
  if (!dc_) return;
  if (sender == &font_ && (selected_ & kFont)) {
    SelectObject(dc_, font_.Handle());
    SetTextColor(dc_, ColorToRGB(font_.Color()));
  } else if (sender == &pen_ && (selected_ & kPen)) {
    SelectObject(dc_, pen_.Handle());
    SetROP2(dc_, Rop2(pen_.Mode()));
  } else if (sender == &brush_ && (selected_ & kBrush)) {
    SelectObject(dc_, brush_.Handle());
    SetBkColor(dc_, ColorToRGB(brush_.Color()));
    SetBkMode(dc_, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
  }
}

POINT TCanvas::PenPos() {
  POINT p;
  GetCurrentPositionEx(Handle(), &p);
  return p;
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  Require(kPen | kBrush);
  ::LineTo(dc_, x, y);
  Changed();
}

void TCanvas::Polyline(const POINT* points, int count) {
  Require(kPen | kBrush);
  ::Polyline(dc_, points, count);
  Changed();
}

void TCanvas::Polygon(const POINT* points, int count) {
  Require(kPen | kBrush);
  ::Polygon(dc_, points, count);
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Require(kPen | kBrush);
  ::Rectangle(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Require(kPen | kBrush);
  ::Ellipse(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::FillRect(const RECT& r) {
  Require(kBrush);
  ::FillRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT& r) {
  Require(kBrush);
  ::FrameRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Require(kFont | kBrush);
  ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
  Changed();
}

void TCanvas::TextRect(const RECT& clip, int x, int y, const std::string& text) {
  Require(kFont | kBrush);
  UINT opts = ETO_CLIPPED | (brush_.Style() != bsClear ? ETO_OPAQUE : 0);
  ExtTextOutA(dc_, x, y, opts, &clip, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

int TCanvas::DrawText(const std::string& text, RECT& r, UINT flags) {
  Require(kFont | kBrush);
  int h = ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &r, flags);
  if (!(flags & DT_CALCRECT)) Changed();
  return h;
}

SIZE TCanvas::TextExtent(const std::string& text) {
  Require(kFont);
  SIZE s{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
  return s;
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  RECT src{0, 0, bitmap.Width(), bitmap.Height()};
  RECT dst{x, y, x + bitmap.Width(), y + bitmap.Height()};
  CopyRect(dst, bitmap.Canvas(), src);
}

void TCanvas::StretchDraw(const RECT& r, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  CopyRect(r, bitmap.Canvas(), RECT{0, 0, bitmap.Width(), bitmap.Height()});
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect) {
  Require(kBrush);  // pattern raster operations use the brush
  HDC src = source.Handle();
  int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
  if (dw == sw && dh == sh) {
    BitBlt(dc_, dest.left, dest.top, dw, dh, src, sourceRect.left, sourceRect.top, copyMode_);
  } else {
    int old = SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, dest.left, dest.top, dw, dh, src, sourceRect.left, sourceRect.top, sw, sh, copyMode_);
    SetStretchBltMode(dc_, old);
  }
  Changed();
}

TColor TCanvas::Pixels(int x, int y) { return static_cast<TColor>(GetPixel(Handle(), x, y)); }

void TCanvas::SetPixel(int x, int y, TColor c) {
  ::SetPixel(Handle(), x, y, ColorToRGB(c));
  Changed();
}

int ColourDepth(HDC dc) {
  // Only a memory DC's bitmap tells: a window's DC holds a placeholder bitmap of one bit.
  BITMAP bm{};
  if (HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
      GetObjectType(dc) == OBJ_MEMDC && bitmap && GetObjectA(bitmap, sizeof bm, &bm))
    return bm.bmBitsPixel * bm.bmPlanes;
  return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}

}  // namespace gui

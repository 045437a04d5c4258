#include "GxObj.h"

#include "Cursors.h"
#include "Guards.h"

namespace bitmapbtn {

RTL_IMPLEMENT_CLASS(TGxComponent);
RTL_IMPLEMENT_CLASS(TGxNonVisualComponent);
RTL_IMPLEMENT_CLASS(TGxObject);
RTL_IMPLEMENT_CLASS(TGxBevel);
RTL_IMPLEMENT_CLASS(TGxGraphicControl);

using gui::TColor;

// ---------------------------------------------------------------------------------- TGxObject

void TGxObject::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TGxObject::EndUpdate() {
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

void TGxObject::SetUpdateState(bool updating) {
  if (!updating) Changed();
}

void TGxObject::Changed() {
  if (updateCount_ == 0) OnChange(this);
}

// ------------------------------------------------------------------------------------ routines

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }
int MinMax(int value, int low, int high) { return value < low ? low : Min(value, high); }

void Frame3D(gui::TCanvas& canvas, RECT& r, TColor topColor, TColor bottomColor, int lineWidth) {
  canvas.Pen().SetWidth(1);
  --r.right;
  --r.bottom;
  for (int i = 0; i < lineWidth; ++i) {
    // A polyline leaves out its last point, so the two halves close each ring exactly.
    canvas.Pen().SetColor(topColor);
    const POINT top[3] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
    canvas.Polyline(top, 3);
    canvas.Pen().SetColor(bottomColor);
    const POINT bottom[3] = {{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}};
    canvas.Polyline(bottom, 3);
    InflateRect(&r, -1, -1);
  }
  ++r.right;
  ++r.bottom;
}

TColor GetBitmapPixel(HBITMAP bitmap, POINT p) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return gui::clNone;
  int x = MinMax(p.x, 0, info.bmWidth - 1);
  int y = MinMax(p.y, 0, info.bmHeight - 1);
  gui::TMemoryDC dc;
  gui::TSelectObject selected(dc, bitmap);
  COLORREF c = selected.Selected() ? GetPixel(dc, x, y) : CLR_INVALID;
  return c == CLR_INVALID ? gui::clNone : static_cast<TColor>(c);
}

void DrawTransparentBitmap(HDC destDc, HBITMAP bitmap, int x, int y, const RECT& source, TColor keyColor) {
  int w = source.right - source.left, h = source.bottom - source.top;
  if (!destDc || !bitmap || w <= 0 || h <= 0) return;
  const int sx = source.left, sy = source.top;

  // The source DC, then back and object (monochrome masks), memory (the composed result) and
  // save (the source area as it was). The guards go in reverse: selections, bitmaps, DCs.
  gui::TMemoryDC sourceDc(destDc), backDc(destDc), objectDc(destDc), memoryDc(destDc), saveDc(destDc);
  gui::TBitmapHandle back(CreateBitmap(w, h, 1, 1, nullptr)), object(CreateBitmap(w, h, 1, 1, nullptr));
  gui::TBitmapHandle memory(CreateCompatibleBitmap(destDc, w, h)), save(CreateCompatibleBitmap(destDc, w, h));
  gui::TSelectObject inSource(sourceDc, bitmap), inBack(backDc, back), inObject(objectDc, object),
      inMemory(memoryDc, memory), inSave(saveDc, save);
  if (!inSource.Selected() || !inBack.Selected() || !inObject.Selected() || !inMemory.Selected() || !inSave.Selected())
    return;

  SetMapMode(sourceDc, GetMapMode(destDc));
  BitBlt(saveDc, 0, 0, w, h, sourceDc, sx, sy, SRCCOPY);
  // Key-coloured pixels become set bits of the object mask.
  COLORREF oldBack = SetBkColor(sourceDc, gui::ColorToRGB(keyColor));
  BitBlt(objectDc, 0, 0, w, h, sourceDc, sx, sy, SRCCOPY);
  SetBkColor(sourceDc, oldBack);
  BitBlt(backDc, 0, 0, w, h, objectDc, 0, 0, NOTSRCCOPY);
  // The destination where the key was, the source everywhere else.
  BitBlt(memoryDc, 0, 0, w, h, destDc, x, y, SRCCOPY);
  BitBlt(memoryDc, 0, 0, w, h, objectDc, 0, 0, SRCAND);
  BitBlt(sourceDc, sx, sy, w, h, backDc, 0, 0, SRCAND);
  BitBlt(memoryDc, 0, 0, w, h, sourceDc, sx, sy, SRCPAINT);
  BitBlt(destDc, x, y, w, h, memoryDc, 0, 0, SRCCOPY);
  BitBlt(sourceDc, sx, sy, w, h, saveDc, 0, 0, SRCCOPY);
}

HBITMAP FreeHandle(gui::TBitmap& bitmap) {
  bitmap.Dormant();
  return bitmap.Handle();
}

// ----------------------------------------------------------------------------------- TGxBevel

namespace {
const std::vector<std::string> kBevelCutNames = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
const std::vector<std::string> kBorderStyleNames = {"bsNone", "bsSingle"};
}  // namespace

TGxBevel::TGxBevel()
    : colors_{gui::clBtnFace, gui::clBlack, gui::clBtnHighlight, gui::clBtnShadow, gui::clBtnHighlight,
              gui::clBtnShadow} {}

void TGxBevel::DeclareProperties(rtl::TClassBuilder<TGxBevel>& b) {
  // No defaults: every value is stored with the owner.
  b.Enum("BevelInner", kBevelCutNames, &TGxBevel::BevelInner, &TGxBevel::SetBevelInner, 0).HasDefault = false;
  b.Enum("BevelOuter", kBevelCutNames, &TGxBevel::BevelOuter, &TGxBevel::SetBevelOuter, 0).HasDefault = false;
  b.IntNoDefault("BevelInnerWidth", &TGxBevel::BevelInnerWidth, &TGxBevel::SetBevelInnerWidth);
  b.IntNoDefault("BevelOuterWidth", &TGxBevel::BevelOuterWidth, &TGxBevel::SetBevelOuterWidth);
  b.Enum("BorderStyle", kBorderStyleNames, &TGxBevel::BorderStyle, &TGxBevel::SetBorderStyle, 0).HasDefault = false;
  b.IntNoDefault("BorderWidth", &TGxBevel::BorderWidth, &TGxBevel::SetBorderWidth);
  b.IntNoDefault("BorderSpace", &TGxBevel::BorderSpace, &TGxBevel::SetBorderSpace);
  b.IntNoDefault("BorderColor", &TGxBevel::BorderColor, &TGxBevel::SetBorderColor).Idents = &gui::ColorIdents();
  b.IntNoDefault("BorderSpaceColor", &TGxBevel::BorderSpaceColor, &TGxBevel::SetBorderSpaceColor).Idents =
      &gui::ColorIdents();
  b.IntNoDefault("InnerLightColor", &TGxBevel::InnerLightColor, &TGxBevel::SetInnerLightColor).Idents =
      &gui::ColorIdents();
  b.IntNoDefault("InnerShadowColor", &TGxBevel::InnerShadowColor, &TGxBevel::SetInnerShadowColor).Idents =
      &gui::ColorIdents();
  b.IntNoDefault("OuterLightColor", &TGxBevel::OuterLightColor, &TGxBevel::SetOuterLightColor).Idents =
      &gui::ColorIdents();
  b.IntNoDefault("OuterShadowColor", &TGxBevel::OuterShadowColor, &TGxBevel::SetOuterShadowColor).Idents =
      &gui::ColorIdents();
}

#define GX_BEVEL_SETTER(Name, Type, field) \
  void TGxBevel::Set##Name(Type v) {       \
    if (v == field) return;                \
    field = v;                             \
    Changed();                             \
  }
GX_BEVEL_SETTER(BevelInner, TBevelCut, bevelInner_)
GX_BEVEL_SETTER(BevelOuter, TBevelCut, bevelOuter_)
GX_BEVEL_SETTER(BevelInnerWidth, int, bevelInnerWidth_)
GX_BEVEL_SETTER(BevelOuterWidth, int, bevelOuterWidth_)
GX_BEVEL_SETTER(BorderStyle, TBevelBorderStyle, borderStyle_)
GX_BEVEL_SETTER(BorderWidth, int, borderWidth_)
GX_BEVEL_SETTER(BorderSpace, int, borderSpace_)
#undef GX_BEVEL_SETTER

TColor TGxBevel::GetColor(int index) const { return index >= 0 && index < 6 ? colors_[index] : gui::clNone; }

void TGxBevel::SetColor(int index, TColor v) {
  if (index < 0 || index >= 6) return Changed();
  if (v == colors_[index]) return;
  colors_[index] = v;
  Changed();
}

void TGxBevel::Assign(rtl::TPersistent* source) {
  auto* b = rtl::As<TGxBevel>(source);
  if (!b || b == this) return TGxObject::Assign(source);  // the framework's assign error
  BeginUpdate();
  try {
    SetBevelInner(b->BevelInner());
    SetBevelOuter(b->BevelOuter());
    SetBevelInnerWidth(b->BevelInnerWidth());
    SetBevelOuterWidth(b->BevelOuterWidth());
    SetBorderStyle(b->BorderStyle());
    SetBorderWidth(b->BorderWidth());
    SetBorderSpace(b->BorderSpace());
    SetBorderColor(b->BorderColor());
    SetBorderSpaceColor(b->BorderSpaceColor());
    SetOuterLightColor(b->OuterLightColor());
    SetOuterShadowColor(b->OuterShadowColor());
    SetInnerLightColor(b->InnerLightColor());
    SetInnerShadowColor(b->InnerShadowColor());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TGxBevel::PaintBevel(gui::TCanvas& canvas, const RECT& rect, RECT& innerRect, bool drawBorder) {
  RECT r = rect;
  if (borderStyle_ == gui::bsSingle) Frame3D(canvas, r, gui::clWindowFrame, gui::clWindowFrame, 1);
  if (bevelOuter_ == bvLowered) Frame3D(canvas, r, OuterShadowColor(), OuterLightColor(), bevelOuterWidth_);
  if (bevelOuter_ == bvRaised) Frame3D(canvas, r, OuterLightColor(), OuterShadowColor(), bevelOuterWidth_);
  if (drawBorder)
    Frame3D(canvas, r, BorderColor(), BorderColor(), borderWidth_);
  else
    InflateRect(&r, -borderWidth_, -borderWidth_);
  if (bevelInner_ == bvLowered) Frame3D(canvas, r, InnerShadowColor(), InnerLightColor(), bevelInnerWidth_);
  if (bevelInner_ == bvRaised) Frame3D(canvas, r, InnerLightColor(), InnerShadowColor(), bevelInnerWidth_);
  if (borderSpace_ != 0) Frame3D(canvas, r, BorderSpaceColor(), BorderSpaceColor(), borderSpace_);
  innerRect = r;
}

// -------------------------------------------------------------------------- TGxGraphicControl

TGxGraphicControl::TGxGraphicControl(rtl::TComponent* owner) : TGraphicControl(owner), bevel_(new TGxBevel) {
  bevel_->OnChange.Bind(this, &TGxGraphicControl::BevelChanged);
}

TGxGraphicControl::~TGxGraphicControl() {
  bevel_->OnChange.Clear();
  delete bevel_;
}

void TGxGraphicControl::DeclareProperties(rtl::TClassBuilder<TGxGraphicControl>& b) {
  b.Bool("Transparent", &TGxGraphicControl::Transparent, &TGxGraphicControl::SetTransparent, false);
}

void TGxGraphicControl::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  RepaintNow();
}

void TGxGraphicControl::RepaintNow() {
  if (IsDestroying() || (Parent() && Parent()->IsDestroying())) return;
  Repaint();
}

void TGxGraphicControl::Paint() {
  RECT inner;
  bevel_->PaintBevel(Canvas(), ClientRect(), inner, true);
  if (transparent_) return;
  Canvas().Brush().SetStyle(gui::bsSolid);
  Canvas().Brush().SetColor(Color());
  Canvas().FillRect(inner);
}

void LoadFamilyCursors() {
  HINSTANCE self = GetModuleHandleA(nullptr);
  for (int id = kFirstCursor; id <= kLastCursor; ++id) gui::Cursors().SetResource(id, self, MAKEINTRESOURCEA(id));
}

}  // namespace bitmapbtn

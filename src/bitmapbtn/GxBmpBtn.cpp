#include "GxBmpBtn.h"

#include <vector>

#include "Accel.h"
#include "Guards.h"
#include "Menus.h"

namespace bitmapbtn {

RTL_IMPLEMENT_CLASS(TGxCustomBitmapListControl);
RTL_IMPLEMENT_CLASS(TGxBitmapButton);

using gui::TCanvas;
using gui::TColor;

namespace {

const std::vector<std::string> kTransparentModeNames = {"tmAuto", "tmFixed"};
const std::vector<std::string> kButtonStyleNames = {"bsRegular", "bsIndent",   "bsLight",     "bsDark",
                                                    "bsMono",    "bsExplorer", "bsHighLight", "bsNone"};
const std::vector<std::string> kTextAlignNames = {"ttaTopLeft",    "ttaTop",        "ttaTopRight",
                                                  "ttaRight",      "ttaBottomRight", "ttaBottom",
                                                  "ttaBottomLeft", "ttaLeft",       "ttaCenter"};

// Brush where the source bit is set, destination kept elsewhere.
constexpr DWORD kRopBrushWhereSet = 0xE20746;

}  // namespace

void MakeGray(gui::TBitmap& bitmap, int redWeight, int greenWeight, int blueWeight) {
  int sum = redWeight + greenWeight + blueWeight;
  if (bitmap.Empty() || sum == 0) return;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      COLORREF p = static_cast<COLORREF>(bitmap.PixelAt(x, y));
      int v = (redWeight * GetRValue(p) + greenWeight * GetGValue(p) + blueWeight * GetBValue(p)) / sum;
      bitmap.SetPixelAt(x, y, static_cast<TColor>(RGB(v, v, v)));
    }
  }
  bitmap.Changed();
}

void MakeDisabled(gui::TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  int w = bitmap.Width(), h = bitmap.Height();
  // The picture in two colours: the ground (its top-left pixel, white counting as ground) and black.
  const TColor ground = bitmap.PixelAt(0, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      TColor p = bitmap.PixelAt(x, y);
      bitmap.SetPixelAt(x, y, p == gui::clWhite || p == ground ? ground : gui::clBlack);
    }
  }
  bitmap.Changed();

  gui::TBitmap result;
  result.SetSize(w, h);
  {
    gui::TMemoryDC src, mask, dst;
    gui::TBitmapHandle maskBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    gui::TBrushHandle face(CreateSolidBrush(gui::ColorToRGB(gui::clBtnFace)));
    gui::TBrushHandle light(CreateSolidBrush(gui::ColorToRGB(gui::clBtnHighlight)));
    gui::TBrushHandle shadow(CreateSolidBrush(gui::ColorToRGB(gui::clBtnShadow)));
    gui::TSelectObject inSrc(src, FreeHandle(bitmap)), inMask(mask, maskBitmap), inDst(dst, FreeHandle(result));
    if (inSrc.Selected() && inMask.Selected() && inDst.Selected() && face && light && shadow) {
      // Black pixels become the set bits of the mask.
      SetBkColor(src, RGB(0, 0, 0));
      BitBlt(mask, 0, 0, w, h, src, 0, 0, SRCCOPY);
      RECT all{0, 0, w, h};
      FillRect(dst, &all, face);
      // Set bits turn white (the brush shows), clear ones black (the ground stays).
      SetTextColor(dst, RGB(0, 0, 0));
      SetBkColor(dst, RGB(255, 255, 255));
      {
        gui::TSelectObject brush(dst, light);
        BitBlt(dst, 1, 1, w + 1, h + 1, mask, 0, 0, kRopBrushWhereSet);
      }
      gui::TSelectObject brush(dst, shadow);
      BitBlt(dst, 0, 0, w, h, mask, 0, 0, kRopBrushWhereSet);
    }
  }
  bitmap.Assign(&result);
}

// ------------------------------------------------------------------ TGxCustomBitmapListControl

TGxCustomBitmapListControl::TGxCustomBitmapListControl(rtl::TComponent* owner)
    : TGxGraphicControl(owner), observer_(std::make_unique<TGxObserver>()) {
  observer_->OnUpdate.Bind(this, &TGxCustomBitmapListControl::ObserverUpdate);
}

TGxCustomBitmapListControl::~TGxCustomBitmapListControl() { SetBitmapList(nullptr); }

void TGxCustomBitmapListControl::DeclareProperties(rtl::TClassBuilder<TGxCustomBitmapListControl>& b) {
  using C = TGxCustomBitmapListControl;
  b.Ref<TGxBitmapList>("BitmapList", &C::BitmapList, &C::SetBitmapList);
  b.Int("BitmapIndex", &C::BitmapIndex, &C::SetBitmapIndex, -1);
  // The colour is stored only when it is fixed; the automatic one follows the image.
  auto& color = b.IntNoDefault("TransparentColor", &C::TransparentColor, &C::SetTransparentColor);
  color.Idents = &gui::ColorIdents();
  color.Stored = [](const rtl::TObject* o) { return static_cast<const C*>(o)->TransparentMode() == tmFixed; };
  b.Enum("TransparentMode", kTransparentModeNames, &C::TransparentMode, &C::SetTransparentMode, tmAuto);
}

void TGxCustomBitmapListControl::SetBitmapList(TGxBitmapList* v) {
  if (bitmapList_) StopObserving();
  bitmapList_.Set(v);
  if (v) v->AddObserver(observer_.get());
  BitmapChanged();
}

void TGxCustomBitmapListControl::StopObserving() {
  if (TGxObservable* o = observer_->Observable()) o->RemoveObserver(observer_.get());
}

void TGxCustomBitmapListControl::SetBitmapIndex(int v) {
  if (v == bitmapIndex_) return;
  bitmapIndex_ = Max(v, -1);
  BitmapChanged();
}

void TGxCustomBitmapListControl::SetTransparentColor(TColor v) {
  if (v == transparentColor_) return;
  transparentMode_ = v == clAutoTransparent ? tmAuto : tmFixed;
  transparentColor_ = v;
  Perform(CM_TRANSPARENTCOLORCHANGED, 0, 0);
}

void TGxCustomBitmapListControl::SetTransparentMode(TTransparentMode v) {
  if (v == transparentMode_) return;
  // Fixing takes the colour in effect now; without an image that is the automatic value itself.
  SetTransparentColor(v == tmFixed ? GetTransparentColor() : clAutoTransparent);
}

bool TGxCustomBitmapListControl::BitmapValid() const {
  return bitmapList_ && bitmapIndex_ >= 0 && bitmapIndex_ < bitmapList_->Count();
}

gui::TBitmap* TGxCustomBitmapListControl::CurrentBitmap() const {
  return BitmapValid() ? bitmapList_->GetBitmap(bitmapIndex_) : nullptr;
}

TColor TGxCustomBitmapListControl::AutoTransparentColor() {
  if (!BitmapValid()) return clAutoTransparent;
  // GetBitmapPixel's answer for the bottom-left pixel, read without a DC of its own.
  gui::TBitmap& b = *CurrentBitmap();
  if (b.Empty()) return gui::clNone;
  TColor c = b.PixelAt(0, b.Height() - 1);
  b.Dormant();  // a bitmap of another depth is read through its canvas: its DC goes again
  return c;
}

TColor TGxCustomBitmapListControl::GetTransparentColor() {
  if (transparentColor_ == clAutoTransparent) return AutoTransparentColor();
  return static_cast<TColor>(gui::ColorToRGB(transparentColor_));
}

void TGxCustomBitmapListControl::BitmapChanged() { RepaintNow(); }

void TGxCustomBitmapListControl::WndProc(gui::TMessage& m) {
  if (m.Msg == CM_TRANSPARENTCOLORCHANGED) {
    m.Answer(0);
    return Invalidate();
  }
  TGxGraphicControl::WndProc(m);
}

// ----------------------------------------------------------------------------- TGxBitmapButton

TGxBitmapButton::TGxBitmapButton(rtl::TComponent* owner)
    : TGxCustomBitmapListControl(owner), glyphStrip_(std::make_unique<gui::TBitmap>()) {
  SetParentColor(true);
  SetTransparent(true);
  backBuffer_ = std::make_unique<gui::TBitmap>();
  SetBounds(0, 0, 40, 40);
}

TGxBitmapButton::~TGxBitmapButton() {
  Destroying();
  backBuffer_.reset();  // a paint that still arrives draws nothing
  SetBitmapList(nullptr);
}

void TGxBitmapButton::DeclareProperties(rtl::TClassBuilder<TGxBitmapButton>& b) {
  using C = TGxBitmapButton;
  b.Bool("Transparent", &C::Transparent, &C::SetTransparent, true);
  b.Bool("ParentColor", &C::ParentColor, &C::SetParentColor, true);
  // A colour taken from the parent is not the button's own.
  auto& color = b.Int("Color", &C::Color, &C::SetColor, gui::clWindow);
  color.Idents = &gui::ColorIdents();
  color.Stored = [](const rtl::TObject* o) { return !static_cast<const C*>(o)->ParentColor(); };
  b.Bool("AutoSize", &C::AutoSize, &C::SetAutoSize, false);
  b.Bool("AutoGray", &C::AutoGray, &C::SetAutoGray, true);
  b.Bool("ShowDisabled", &C::ShowDisabled, &C::SetShowDisabled, true);
  b.Int("BorderWidth", &C::BorderWidth, &C::SetBorderWidth, 1);
  b.Int("Tag2", &C::Tag2, &C::SetTag2, 0);
  b.Bool("Down", &C::Down, &C::SetDown, false);
  b.Int("DownIndentHoriz", &C::DownIndentHoriz, &C::SetDownIndentHoriz, 1);
  b.Int("DownIndentVert", &C::DownIndentVert, &C::SetDownIndentVert, 1);
  b.Enum("ButtonStyle", kButtonStyleNames, &C::ButtonStyle, &C::SetButtonStyle, bsExplorer);
  b.Int("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1);
  b.Bool("ShowPressed", &C::ShowPressed, &C::SetShowPressed, true);
  b.Bool("Switch", &C::Switch, &C::SetSwitch, false);
  b.Int("Spacing", &C::Spacing, &C::SetSpacing, 2);
  b.Enum("TextAlign", kTextAlignNames, &C::TextAlign, &C::SetTextAlign, ttaCenter);
  b.Bool("WordWrap", &C::WordWrap, &C::SetWordWrap, false);
  b.Event("OnGetGlyphIndex", &C::OnGetGlyphIndex);
  b.Event("OnMouseEnter", &C::OnMouseEnter);
  b.Event("OnMouseExit", &C::OnMouseExit);
}

// ---- property setters

void TGxBitmapButton::SetAutoSize(bool v) {
  autoSize_ = v;
  BuildGlyphs();
}

void TGxBitmapButton::SetAutoGray(bool v) {
  if (v == autoGray_) return;
  autoGray_ = v;
  BuildGlyphs();
}

void TGxBitmapButton::SetButtonStyle(TGxButtonStyle v) {
  if (v == buttonStyle_) return;
  buttonStyle_ = v;
  BuildGlyphs();
}

void TGxBitmapButton::SetNumGlyphs(int v) {
  if (v == numGlyphs_) return;
  numGlyphs_ = Max(v, 1);
  BuildGlyphs();
}

void TGxBitmapButton::SetShowDisabled(bool v) {
  if (v == showDisabled_) return;
  showDisabled_ = v;
  Invalidate();
}

void TGxBitmapButton::SetBorderWidth(int v) {
  // The width is unsigned: a negative one draws no frame.
  unsigned u = static_cast<unsigned>(Max(v, 0));
  if (u == borderWidth_) return;
  borderWidth_ = u;
  Invalidate();
}

void TGxBitmapButton::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  Invalidate();
}

void TGxBitmapButton::SetSpacing(int v) {
  if (v == spacing_) return;
  spacing_ = v;
  Invalidate();
}

void TGxBitmapButton::SetTextAlign(TGxTextAlign v) {
  if (v == textAlign_) return;
  textAlign_ = v;
  Invalidate();
}

void TGxBitmapButton::SetDownIndentHoriz(int v) {
  v = Max(v, 0);
  if (v == downIndentHoriz_) return;
  downIndentHoriz_ = v;
  Invalidate();
}

void TGxBitmapButton::SetDownIndentVert(int v) {
  v = Max(v, 0);
  if (v == downIndentVert_) return;
  downIndentVert_ = v;
  Invalidate();
}

void TGxBitmapButton::SetDown(bool v) {
  if (v == down_) return;
  down_ = v;
  armed_ = v;
  pressed_ = v;
  RepaintNow();
}

void TGxBitmapButton::SetBounds(int left, int top, int width, int height) {
  if (backBuffer_ && (width != Width() || height != Height())) backBuffer_->SetSize(width, 2 * height);
  TGxCustomBitmapListControl::SetBounds(left, top, width, height);
}

// ---- glyphs

bool TGxBitmapButton::Building() const {
  return (ComponentState() & (rtl::csLoading | rtl::csReading | rtl::csDestroying)) != 0;
}

RECT TGxBitmapButton::GlyphRect(int i) const {
  gui::TBitmap* b = CurrentBitmap();
  if (!b) return RECT{0, 0, 0, 0};
  int cell = b->Width() / numGlyphs_;
  return RECT{i * cell, 0, cell * (i + 1), b->Height()};
}

void TGxBitmapButton::DetectNumGlyphs() {
  if (Building() || !BitmapValid()) return;
  gui::TBitmap* b = CurrentBitmap();
  if (b->Height() <= 0 || numGlyphs_ != 1) return;
  // An image of width 0 has no cells at all: the count stays at least 1.
  if (b->Width() % b->Height() == 0 && b->Width() / b->Height() >= 1) numGlyphs_ = Min(b->Width() / b->Height(), 4);
}

void TGxBitmapButton::BuildGlyphs() {
  if (Building()) return;
  gui::TBitmap* src = CurrentBitmap();
  if (!src || src->Empty()) return;
  int gw = src->Width() / numGlyphs_, h = src->Height();
  if (autoSize_ && gw > 0 && h > 0) SetBounds(Left(), Top(), gw, h);
  int n = numGlyphs_;
  if (numGlyphs_ == 1 || ((buttonStyle_ == bsExplorer || buttonStyle_ == bsHighLight) && autoGray_)) n = numGlyphs_ + 2;
  glyphStrip_->SetSize(gw * n, h);
  if (!glyphStrip_->Empty()) {
    glyphStrip_->Canvas().Draw(0, 0, *src);
    if (n > numGlyphs_) {
      // The grey cell and the embossed cell, both made from cell 0.
      gui::TBitmap scratch;
      scratch.SetSize(gw, h);
      const RECT all{0, 0, gw, h};
      scratch.Canvas().CopyRect(all, src->Canvas(), GlyphRect(0));
      MakeGray(scratch, 11, 59, 30);
      glyphStrip_->Canvas().CopyRect(RECT{gw * numGlyphs_, 0, gw * (numGlyphs_ + 1), h}, scratch.Canvas(), all);
      scratch.Canvas().CopyRect(all, src->Canvas(), GlyphRect(0));
      MakeDisabled(scratch);
      glyphStrip_->Canvas().CopyRect(RECT{gw * (numGlyphs_ + 1), 0, gw * (numGlyphs_ + 2), h}, scratch.Canvas(), all);
    }
  }
  glyphStrip_->Dormant();
  src->Dormant();
  glyphMasks_.Reset();
  Invalidate();
}

void TGxBitmapButton::BitmapChanged() {
  if (BitmapValid()) DetectNumGlyphs();
  BuildGlyphs();
  TGxCustomBitmapListControl::BitmapChanged();
}

void TGxBitmapButton::Loaded() {
  TGxCustomBitmapListControl::Loaded();
  BuildGlyphs();
}

// ---- painting

void TGxBitmapButton::Paint() {
  if (!backBuffer_) return;
  // Composed off screen like a state change, then one copy: drawn piece by piece on a window's
  // DC the face costs several times as much.
  HDC dc = Canvas().Handle();
  CaptureBackground(dc);
  ComposeFace();
  ShowFace(dc);
}

void TGxBitmapButton::CaptureBackground(HDC dc) {
  int w = Width(), h = Height();
  HDC buffer = backBuffer_->Canvas().Handle();
  // Outside the area being painted the DC still shows our own last face, not the parent: the
  // earlier snapshot is kept there. The area is the DC's clip region and, for a window DC, the
  // system's update region (in screen coordinates).
  gui::TRegionHandle area(CreateRectRgn(0, 0, 0, 0));
  gui::TRegionHandle system(CreateRectRgn(0, 0, 0, 0));
  gui::TClipRegion bufferClip(buffer);
  if (area && system) {
    bool limited = GetClipRgn(dc, area) == 1;
    if (GetRandomRgn(dc, system, SYSRGN) == 1) {
      POINT origin{};
      GetDCOrgEx(dc, &origin);
      OffsetRgn(system, -origin.x, -origin.y);
      CombineRgn(area, limited ? area.Get() : system.Get(), system, RGN_AND);
      limited = true;
    }
    if (limited) {
      POINT viewport{};
      GetViewportOrgEx(dc, &viewport);
      OffsetRgn(area, -viewport.x, h - viewport.y);
      bufferClip.Select(area, RGN_COPY);
    }
  }
  BitBlt(buffer, 0, h, w, h, dc, 0, 0, SRCCOPY);
}

void TGxBitmapButton::ComposeFace() {
  int w = Width(), h = Height();
  HDC buffer = backBuffer_->Canvas().Handle();
  BitBlt(buffer, 0, 0, w, h, buffer, 0, h, SRCCOPY);
  PaintFace(backBuffer_->Canvas());
}

void TGxBitmapButton::ShowFace(HDC dc) {
  BitBlt(dc, 0, 0, Width(), Height(), backBuffer_->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TGxBitmapButton::FastRedraw() {
  if (!backBuffer_) return;
  ComposeFace();
  if (!Showing() || !Parent()->HandleAllocated()) return;
  // One copy to the screen, clipped to the button.
  gui::TClientDC dc(Parent()->Handle());
  if (!dc) return;
  SetViewportOrgEx(dc, Left(), Top(), nullptr);
  IntersectClipRect(dc, 0, 0, Width(), Height());
  ShowFace(dc);
}

void TGxBitmapButton::PaintFace(TCanvas& c) {
  const int w = Width(), h = Height(), bw = BorderWidth();
  c.Brush().SetStyle(gui::bsSolid);
  c.Brush().SetColor(Color());
  c.Pen().SetColor(gui::clBlack);
  c.Pen().SetWidth(bw);
  const bool opaque = !Transparent();

  switch (buttonStyle_) {
    case bsRegular:
      if (opaque) {
        c.Rectangle(1, 1, w, h);
      } else {
        RECT r{1, 1, w, h};
        Frame3D(c, r, gui::clBlack, gui::clBlack, bw);
      }
      break;
    case bsIndent: {
      c.Pen().SetColor(gui::clBtnShadow);
      if (opaque) {
        c.Rectangle(0, 0, w - 1, h - 1);
      } else {
        RECT r{0, 0, w - 1, h - 1};
        Frame3D(c, r, gui::clBtnShadow, gui::clBtnShadow, bw);
      }
      RECT r{1, 1, w, h};
      Frame3D(c, r, gui::clBtnHighlight, gui::clBtnHighlight, bw);
      break;
    }
    default:
      if (opaque) c.FillRect(RECT{0, 0, w, h});
      break;
  }

  RECT r{1, 1, w - 1, h - 1};
  if (pressed_ && buttonStyle_ != bsNone) {
    InflateRect(&r, 1, 1);
    switch (buttonStyle_) {
      case bsRegular:
      case bsIndent:
        if (showPressed_) {
          Frame3D(c, r, gui::clBlack, gui::clBtnHighlight, bw);
          Frame3D(c, r, gui::clBtnShadow, gui::clBtnFace, bw);
        }
        break;
      case bsLight:
        if (showPressed_) Frame3D(c, r, gui::clBtnShadow, gui::clBtnHighlight, 1);
        break;
      case bsDark:
        if (showPressed_) Frame3D(c, r, gui::cl3DDkShadow, gui::clBtnFace, 1);
        break;
      case bsMono:
        if (showPressed_) Frame3D(c, r, gui::cl3DDkShadow, gui::clBtnHighlight, 1);
        break;
      case bsExplorer:
        if (mouseInside_ || down_) {
          if (showPressed_)
            Frame3D(c, r, gui::clBtnShadow, gui::clBtnHighlight, bw);
          else
            Frame3D(c, r, gui::clBtnHighlight, gui::clBtnShadow, bw);
        }
        break;
      default:
        break;
    }
  }
  if (!pressed_) {
    InflateRect(&r, 1, 1);
    switch (buttonStyle_) {
      case bsRegular:
        Frame3D(c, r, gui::clBtnHighlight, gui::clBlack, bw);
        Frame3D(c, r, gui::clBtnFace, gui::clBtnShadow, bw);
        break;
      case bsIndent: Frame3D(c, r, gui::clBtnShadow, gui::clBtnHighlight, bw); break;
      case bsLight: Frame3D(c, r, gui::clBtnHighlight, gui::clBtnShadow, 1); break;
      case bsDark: Frame3D(c, r, gui::clBtnFace, gui::cl3DDkShadow, 1); break;
      case bsMono: Frame3D(c, r, gui::clBtnHighlight, gui::cl3DDkShadow, 1); break;
      case bsExplorer:
        if (mouseInside_) Frame3D(c, r, gui::clBtnHighlight, gui::clBtnShadow, bw);
        break;
      default: break;
    }
  }

  // Content stays inside the button; the DC's own clipping is given back afterwards, so a
  // buffer's later copies into its lower half are not cut off.
  gui::TClipRegion clip(c.Handle());
  clip.Intersect(RECT{0, 0, w, h});
  PaintContent(c);
}

void TGxBitmapButton::PaintContent(TCanvas& c) {
  const int w = Width(), h = Height();
  int gw = 0, gh = 0;
  if (gui::TBitmap* b = CurrentBitmap()) {
    gw = b->Width() / numGlyphs_;
    if (gw <= 0) gw = b->Width();
    gh = b->Height();
  }
  int top, left;
  switch (textAlign_) {
    case ttaBottomRight:
    case ttaBottom:
    case ttaBottomLeft: top = spacing_; break;
    case ttaTopLeft:
    case ttaTop:
    case ttaTopRight: top = h - gh - spacing_; break;
    default: top = (h - gh) / 2; break;
  }
  switch (textAlign_) {
    case ttaLeft: left = w - gw - spacing_; break;
    case ttaRight: left = spacing_; break;
    default: left = (w - gw) / 2; break;
  }
  const RECT g{left, top, left + gw, top + gh};
  if (BitmapValid()) DrawGlyph(c, g);
  if (!Caption().empty()) DrawCaption(c, g);
}

void TGxBitmapButton::DrawGlyph(TCanvas& c, RECT g) {
  gui::TBitmap* src = CurrentBitmap();
  if (!src || src->Empty() || glyphStrip_->Empty()) return;
  int idx = -1;
  OnGetGlyphIndex(this, pressed_, idx);
  if (idx == -1) {
    const bool disabled = !Enabled();
    idx = 0;
    switch (numGlyphs_) {
      case 2:
        if (disabled) idx = 1;
        break;
      case 3:
        if (disabled)
          idx = 1;
        else if (pressed_)
          idx = 2;
        break;
      case 4:
        if (disabled)
          idx = 1;
        else if (down_)
          idx = 3;
        else if (pressed_)
          idx = 2;
        break;
    }
    // The hot-tracking styles show the idle glyph while the pointer is away.
    if ((buttonStyle_ == bsExplorer || buttonStyle_ == bsHighLight) && !disabled && !down_ && !mouseInside_ &&
        showDisabled_) {
      if (autoGray_)
        idx = numGlyphs_;
      else if (numGlyphs_ > 1)
        idx = 1;
    }
    if (disabled && numGlyphs_ == 1) idx = 2;
  }
  const RECT s = GlyphRect(idx);
  if (pressed_ && showPressed_) OffsetRect(&g, downIndentHoriz_, downIndentVert_);
  // Opaque, the key is the cell's own bottom-left pixel (GetBitmapPixel's clamping kept).
  TColor key = Transparent() ? GetTransparentColor()
                             : glyphStrip_->PixelAt(MinMax(src->Width() * idx / numGlyphs_, 0, glyphStrip_->Width() - 1),
                                                    glyphStrip_->Height() - 1);
  DrawGlyphCell(c.Handle(), g.left, g.top, s, key);
}

void TGxBitmapButton::DrawGlyphCell(HDC dc, int x, int y, const RECT& cell, TColor key) {
  glyphMasks_.Draw(dc, *glyphStrip_, x, y, cell, key);
}

void TGxBitmapButton::DrawCaption(TCanvas& c, RECT g) {
  const int w = Width(), h = Height(), sp = spacing_;
  c.Font().Assign(&Font());
  c.Brush().SetStyle(gui::bsClear);  // the text leaves the background as it is
  RECT t{0, 0, w, h};
  c.DrawText(Caption(), t, DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE));
  const int tw = t.right - t.left, th = t.bottom - t.top;
  int dx, dy;
  switch (textAlign_) {
    case ttaTopLeft: dx = sp, dy = g.top - th - sp; break;
    case ttaTop: dx = w / 2 - tw / 2, dy = g.top - th - sp; break;
    case ttaTopRight: dx = w - tw - sp, dy = g.top - th - sp; break;
    case ttaRight: dx = w - tw - sp, dy = h / 2 - th / 2; break;
    case ttaBottomRight: dx = w - tw - sp, dy = g.bottom + sp; break;
    case ttaBottom: dx = w / 2 - tw / 2, dy = g.bottom + sp; break;
    case ttaBottomLeft: dx = sp, dy = g.bottom + sp; break;
    case ttaLeft: dx = sp, dy = h / 2 - th / 2; break;
    default: dx = w / 2 - tw / 2, dy = h / 2 - th / 2; break;
  }
  OffsetRect(&t, dx, dy);
  const UINT flags = DT_CENTER | DT_NOCLIP | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  if (pressed_ && showPressed_) OffsetRect(&t, downIndentHoriz_, downIndentVert_);
  HDC dc = c.Handle();
  SetBkMode(dc, TRANSPARENT);
  if (Enabled()) {
    SetTextColor(dc, gui::ColorToRGB(Font().Color()));
    c.DrawText(Caption(), t, flags);
  } else {
    RECT light = t;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, gui::ColorToRGB(gui::clBtnHighlight));
    c.DrawText(Caption(), light, flags);
    SetTextColor(dc, gui::ColorToRGB(gui::clBtnShadow));
    c.DrawText(Caption(), t, flags);
  }
}

// ---- mouse and keyboard

void TGxBitmapButton::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (!Enabled() || tracking_) return;
  if (button != gui::mbLeft) return TGxCustomBitmapListControl::MouseDown(button, shift, x, y);
  tracking_ = true;
  if (Inside(x, y)) {
    armed_ = true;
    pressed_ = true;
    FastRedraw();
  }
  rtl::TAliveToken alive = AliveToken();
  TGxCustomBitmapListControl::MouseDown(button, shift, x, y);  // OnMouseDown may free the button
  if (!alive) return;
  if (gui::TPopupMenu* menu = PopupMenu()) {
    POINT p = ClientToScreen(POINT{0, Height() + 2});
    menu->Popup(p.x, p.y);
    if (!alive) return;  // a command of the menu freed the button
    // The clicks that closed the menu are not ours; the press ends here.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0x200, 0x20A, PM_REMOVE)) {
    }
    MouseUp(button, shift, x, y);
  }
}

void TGxBitmapButton::MouseMove(gui::TShiftState shift, int x, int y) {
  rtl::TAliveToken alive = AliveToken();
  TGxCustomBitmapListControl::MouseMove(shift, x, y);
  if (!alive || !armed_ || down_) return;
  bool inside = Inside(x, y);
  if (inside && !pressed_) {
    pressed_ = true;
    FastRedraw();
  } else if (!inside && pressed_) {
    pressed_ = false;
    FastRedraw();
  }
}

void TGxBitmapButton::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (!Enabled() || !tracking_) return;
  if (button != gui::mbLeft) return TGxCustomBitmapListControl::MouseUp(button, shift, x, y);
  tracking_ = false;
  armed_ = false;
  if (!down_) pressed_ = false;
  mouseInside_ = Inside(x, y);
  if (!switch_)
    FastRedraw();
  else if (mouseInside_)
    SetDown(!down_);
  rtl::TAliveToken alive = AliveToken();
  TGxCustomBitmapListControl::MouseUp(button, shift, x, y);  // OnMouseUp may free the button
  if (alive && mouseInside_) Click();
}

void TGxBitmapButton::MouseEntered(bool inside) {
  if (!Enabled() || down_) return;
  mouseInside_ = inside;
  if (buttonStyle_ == bsExplorer || buttonStyle_ == bsHighLight) FastRedraw();
  if (inside)
    OnMouseEnter(this);
  else
    OnMouseExit(this);
}

void TGxBitmapButton::EnabledChanged() {
  if (!Enabled()) pressed_ = armed_ = tracking_ = mouseInside_ = false;
  RepaintNow();
}

void TGxBitmapButton::WndProc(gui::TMessage& m) {
  switch (m.Msg) {
    // No double-click recognition: a double click is two ordinary presses, two clicks.
    case WM_LBUTTONDBLCLK: m.Msg = WM_LBUTTONDOWN; break;
    case WM_RBUTTONDBLCLK: m.Msg = WM_RBUTTONDOWN; break;
    case WM_MBUTTONDBLCLK: m.Msg = WM_MBUTTONDOWN; break;
    case gui::CM_MOUSEENTER:
    case gui::CM_MOUSELEAVE:
      m.Answer(0);
      return MouseEntered(m.Msg == gui::CM_MOUSEENTER);
    case gui::CM_DIALOGCHAR:
      if (Enabled() && gui::IsAccel(static_cast<char>(m.WParam), Caption())) {
        m.Answer(1);
        return Click();
      }
      break;
    case CM_TRANSPARENTCOLORCHANGED:
      m.Answer(0);
      BuildGlyphs();
      return Invalidate();
  }
  TGxCustomBitmapListControl::WndProc(m);
}

}  // namespace bitmapbtn

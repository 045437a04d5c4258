// The bitmap-button family's shared pieces: the change-counting base, integer limits, the 3-D
// frame, pixel reading and keyed bitmap drawing, the bevel and the graphic control base.
#pragma once

#include <windows.h>

#include "Bitmap.h"
#include "Canvas.h"
#include "Controls.h"
#include "Forms.h"
#include "rtl/Component.h"

namespace bitmapbtn {

// The family's components.
class TGxComponent : public rtl::TComponent {
  RTL_CLASS(TGxComponent, rtl::TComponent)
 public:
  using TComponent::TComponent;
};

class TGxNonVisualComponent : public TGxComponent {
  RTL_CLASS(TGxNonVisualComponent, TGxComponent)
 public:
  using TGxComponent::TGxComponent;
};

// A persistent object with nested update counting: changes inside BeginUpdate/EndUpdate are
// reported once, at the outermost EndUpdate.
class TGxObject : public rtl::TPersistent {
  RTL_CLASS(TGxObject, rtl::TPersistent)
 public:
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  rtl::TNotifyEvent OnChange;

 protected:
  virtual void SetUpdateState(bool updating);
  // Descendants call it after every property change.
  virtual void Changed();

 private:
  int updateCount_ = 0;
};

int Min(int a, int b);
int Max(int a, int b);
// Low when value is below it, else the smaller of value and high (so Low wins over High).
int MinMax(int value, int low, int high);

// Draws lineWidth nested one-pixel rings, top and left in topColor, bottom and right in
// bottomColor, and leaves r shrunk to the area inside them.
void Frame3D(gui::TCanvas& canvas, RECT& r, gui::TColor topColor, gui::TColor bottomColor, int lineWidth);

// The RGB colour of one pixel of a bitmap, the point clamped into the bitmap. The bitmap must
// not be selected into any other DC.
gui::TColor GetBitmapPixel(HBITMAP bitmap, POINT p);

// Draws the source part of bitmap at (x, y), leaving out every pixel of keyColor. Creates and
// frees its own DCs and bitmaps; the bitmap (which must not be selected into any other DC) and
// the destination DC's selections are left as they were.
void DrawTransparentBitmap(HDC destDc, HBITMAP bitmap, int x, int y, const RECT& source, gui::TColor keyColor);

// The handle of an image for the two routines above: released from the image's own canvas.
HBITMAP FreeHandle(gui::TBitmap& bitmap);

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
// Only bsNone and bsSingle are meaningful for a bevel's border line.
using TBevelBorderStyle = gui::TFormBorderStyle;

// A frame: an optional border line, an outer bevel, a coloured border band, an inner bevel and a
// spacing band.
class TGxBevel : public TGxObject {
  RTL_CLASS(TGxBevel, TGxObject)
 public:
  TGxBevel();

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  int BevelInnerWidth() const { return bevelInnerWidth_; }
  void SetBevelInnerWidth(int v);
  int BevelOuterWidth() const { return bevelOuterWidth_; }
  void SetBevelOuterWidth(int v);
  TBevelBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBevelBorderStyle v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  int BorderSpace() const { return borderSpace_; }
  void SetBorderSpace(int v);

  // The six colours share one setter: 0 BorderColor, 1 BorderSpaceColor, 2 InnerLightColor,
  // 3 InnerShadowColor, 4 OuterLightColor, 5 OuterShadowColor.
  gui::TColor GetColor(int index) const;
  void SetColor(int index, gui::TColor v);
  gui::TColor BorderColor() const { return colors_[0]; }
  void SetBorderColor(gui::TColor v) { SetColor(0, v); }
  gui::TColor BorderSpaceColor() const { return colors_[1]; }
  void SetBorderSpaceColor(gui::TColor v) { SetColor(1, v); }
  gui::TColor InnerLightColor() const { return colors_[2]; }
  void SetInnerLightColor(gui::TColor v) { SetColor(2, v); }
  gui::TColor InnerShadowColor() const { return colors_[3]; }
  void SetInnerShadowColor(gui::TColor v) { SetColor(3, v); }
  gui::TColor OuterLightColor() const { return colors_[4]; }
  void SetOuterLightColor(gui::TColor v) { SetColor(4, v); }
  gui::TColor OuterShadowColor() const { return colors_[5]; }
  void SetOuterShadowColor(gui::TColor v) { SetColor(5, v); }

  void Assign(rtl::TPersistent* source) override;
  // Draws the frame inside rect; innerRect receives the area left inside it.
  virtual void PaintBevel(gui::TCanvas& canvas, const RECT& rect, RECT& innerRect, bool drawBorder);

  static void DeclareProperties(rtl::TClassBuilder<TGxBevel>& b);

 private:
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvLowered;
  int bevelInnerWidth_ = 1;
  int bevelOuterWidth_ = 1;
  TBevelBorderStyle borderStyle_ = gui::bsNone;
  int borderWidth_ = 0;
  int borderSpace_ = 0;
  gui::TColor colors_[6];
};

// The family's private message: the transparent colour changed.
inline constexpr UINT CM_TRANSPARENTCOLORCHANGED = 0xB0FA;

// A windowless control with a bevel (which it owns) and an optional transparent background.
class TGxGraphicControl : public gui::TGraphicControl {
  RTL_CLASS(TGxGraphicControl, gui::TGraphicControl)
 public:
  explicit TGxGraphicControl(rtl::TComponent* owner);
  ~TGxGraphicControl() override;

  TGxBevel& Bevel() { return *bevel_; }
  bool Transparent() const { return transparent_; }
  // Repaints at once.
  void SetTransparent(bool v);
  // Opaque controls fill their whole rectangle; transparent ones show the parent through.
  bool Opaque() const { return !transparent_; }

  static void DeclareProperties(rtl::TClassBuilder<TGxGraphicControl>& b);

 protected:
  void Paint() override;
  // The control repaints now, unless it or its parent is going away.
  void RepaintNow();

 private:
  void BevelChanged(rtl::TObject*) { Invalidate(); }

  TGxBevel* bevel_;
  bool transparent_ = false;
};

// The family's start-up: the cursors 2001 to 2031 of the program's module go into the cursor
// table under their resource numbers, each loaded when first shown. The platform frees them with
// the module.
inline constexpr int kFirstCursor = 2001, kLastCursor = 2031;
void LoadFamilyCursors();

}  // namespace bitmapbtn

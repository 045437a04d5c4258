// Controls that show an image of a bitmap list, and the bitmap push button: a windowless button
// with a glyph and a caption, eight frame styles, hot tracking, a toggle mode and flicker-free
// state changes through an off-screen buffer.
#pragma once

#include <memory>

#include "GxBmpLst.h"
#include "GxGlyphMasks.h"
#include "GxObj.h"
#include "GxObsrv.h"

namespace bitmapbtn {

enum TTransparentMode { tmAuto, tmFixed };

// The transparent colour "automatic": the image's bottom-left pixel.
inline constexpr gui::TColor clAutoTransparent = gui::clDefault;

class TGxCustomBitmapListControl : public TGxGraphicControl {
  RTL_CLASS(TGxCustomBitmapListControl, TGxGraphicControl)
 public:
  explicit TGxCustomBitmapListControl(rtl::TComponent* owner);
  ~TGxCustomBitmapListControl() override;

  int BitmapIndex() const { return bitmapIndex_; }
  void SetBitmapIndex(int v);
  TGxBitmapList* BitmapList() const { return bitmapList_.Get(); }
  void SetBitmapList(TGxBitmapList* v);
  gui::TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(gui::TColor v);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode v);

  // A list is assigned and the index names one of its images.
  bool BitmapValid() const;
  gui::TBitmap* CurrentBitmap() const;
  virtual gui::TColor AutoTransparentColor();
  // The colour keyed out now, as RGB (or the automatic value when there is no image).
  virtual gui::TColor GetTransparentColor();

  void WndProc(gui::TMessage& m) override;
  static void DeclareProperties(rtl::TClassBuilder<TGxCustomBitmapListControl>& b);

 protected:
  // The list, the index or an image changed.
  virtual void BitmapChanged();
  TGxObserver& Observer() { return *observer_; }

 private:
  void ObserverUpdate(rtl::TObject* sender, rtl::TObject* data) { BitmapChanged(); }
  // Through the observer's own link: the list may be half gone when it tells us it goes.
  void StopObserving();

  int bitmapIndex_ = -1;
  std::unique_ptr<TGxObserver> observer_;
  rtl::TComponentRef<TGxBitmapList> bitmapList_{*this, [this] {
    StopObserving();
    BitmapChanged();
  }};
  gui::TColor transparentColor_ = clAutoTransparent;
  TTransparentMode transparentMode_ = tmAuto;
};

enum TGxButtonStyle { bsRegular, bsIndent, bsLight, bsDark, bsMono, bsExplorer, bsHighLight, bsNone };
enum TGxTextAlign { ttaTopLeft, ttaTop, ttaTopRight, ttaRight, ttaBottomRight, ttaBottom, ttaBottomLeft, ttaLeft, ttaCenter };

// OnGetGlyphIndex(Sender, IsDown, Index): a handler may set Index to the glyph cell to draw.
using TGxGetGlyphIndex = rtl::TEvent<rtl::TObject*, bool, int&>;

class TGxBitmapButton : public TGxCustomBitmapListControl {
  RTL_CLASS(TGxBitmapButton, TGxCustomBitmapListControl)
 public:
  explicit TGxBitmapButton(rtl::TComponent* owner);
  ~TGxBitmapButton() override;

  int Tag2() const { return tag2_; }
  void SetTag2(int v) { tag2_ = v; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool AutoGray() const { return autoGray_; }
  void SetAutoGray(bool v);
  bool ShowDisabled() const { return showDisabled_; }
  void SetShowDisabled(bool v);
  bool ShowPressed() const { return showPressed_; }
  void SetShowPressed(bool v) { showPressed_ = v; }
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  int BorderWidth() const { return static_cast<int>(borderWidth_); }
  void SetBorderWidth(int v);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int v);
  TGxButtonStyle ButtonStyle() const { return buttonStyle_; }
  void SetButtonStyle(TGxButtonStyle v);
  TGxTextAlign TextAlign() const { return textAlign_; }
  void SetTextAlign(TGxTextAlign v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool Down() const { return down_; }
  // Latches the button down (or releases it) and repaints at once.
  void SetDown(bool v);
  int DownIndentHoriz() const { return downIndentHoriz_; }
  void SetDownIndentHoriz(int v);
  int DownIndentVert() const { return downIndentVert_; }
  void SetDownIndentVert(int v);
  bool Switch() const { return switch_; }
  void SetSwitch(bool v) { switch_ = v; }

  // State of the pointer and the left button.
  bool Tracking() const { return tracking_; }
  bool Armed() const { return armed_; }
  bool Pressed() const { return pressed_; }
  bool MouseInside() const { return mouseInside_; }

  // The glyph cells drawn (the image's cells, then the generated grey and embossed ones), and
  // the off-screen buffer: upper half the work area, lower half the background under the button.
  gui::TBitmap& GlyphStrip() { return *glyphStrip_; }
  gui::TBitmap* BackBuffer() { return backBuffer_.get(); }

  // Fills GlyphStrip from the current image.
  void BuildGlyphs();
  // Cell i of the current image.
  RECT GlyphRect(int i) const;
  // Redraws a state change through BackBuffer in one copy to the screen.
  void FastRedraw();
  // Frame, then glyph and caption, on canvas (the control's or BackBuffer's).
  void PaintFace(gui::TCanvas& canvas);

  TGxGetGlyphIndex OnGetGlyphIndex;
  rtl::TNotifyEvent OnMouseEnter, OnMouseExit;

  void SetBounds(int left, int top, int width, int height) override;
  void Loaded() override;
  void WndProc(gui::TMessage& m) override;
  static void DeclareProperties(rtl::TClassBuilder<TGxBitmapButton>& b);

 protected:
  void Paint() override;
  void BitmapChanged() override;
  void EnabledChanged() override;
  void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void MouseMove(gui::TShiftState shift, int x, int y) override;
  void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  // Puts cell of GlyphStrip at (x, y) on dc with the key colour left out: the pixels of
  // DrawTransparentBitmap, through masks made once per glyph change.
  virtual void DrawGlyphCell(HDC dc, int x, int y, const RECT& cell, gui::TColor key);

 private:
  void DetectNumGlyphs();
  void PaintContent(gui::TCanvas& canvas);
  void DrawGlyph(gui::TCanvas& canvas, RECT g);
  void DrawCaption(gui::TCanvas& canvas, RECT g);
  void CaptureBackground(HDC dc);
  // The face in the buffer's upper half over the background kept in its lower half.
  void ComposeFace();
  // The buffer's upper half copied to dc at the button's origin.
  void ShowFace(HDC dc);
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
  bool Building() const;
  void MouseEntered(bool inside);

  int tag2_ = 0;
  bool autoSize_ = false;
  bool tracking_ = false;
  TGxTextAlign textAlign_ = ttaCenter;
  bool autoGray_ = true;
  bool showDisabled_ = true;
  bool armed_ = false;
  bool showPressed_ = true;
  int spacing_ = 2;
  std::unique_ptr<gui::TBitmap> glyphStrip_;
  TGxGlyphMasks glyphMasks_;
  std::unique_ptr<gui::TBitmap> backBuffer_;
  bool pressed_ = false;
  unsigned borderWidth_ = 1;
  int numGlyphs_ = 1;
  TGxButtonStyle buttonStyle_ = bsExplorer;
  bool mouseInside_ = false;
  bool wordWrap_ = false;
  bool down_ = false;
  int downIndentHoriz_ = 1;
  int downIndentVert_ = 1;
  bool switch_ = false;
};

// Grey levels (r*R + g*G + b*B) / (r + g + b) for every pixel.
void MakeGray(gui::TBitmap& bitmap, int redWeight, int greenWeight, int blueWeight);
// The picture's outline embossed on the button face: highlight one pixel down-right, shadow on top.
void MakeDisabled(gui::TBitmap& bitmap);

}  // namespace bitmapbtn

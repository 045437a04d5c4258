// A drawing surface over a device context, with its own font, pen and brush. The canvas selects
// its objects into the DC when a drawing call needs them and restores the DC's own objects
// when it lets the DC go, so no GDI object stays selected or leaks.
#pragma once

#include <windows.h>

#include <string>

#include "GraphicsObjects.h"

namespace gui {

class TBitmap;

class TCanvas : public rtl::TPersistent {
  RTL_CLASS(TCanvas, rtl::TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The DC; a canvas that can make its own (a control's, a bitmap's) makes it on first use.
  HDC Handle();
  // Attaches a DC the caller owns (nullptr detaches, restoring the DC's original objects).
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont& Font() { return font_; }
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  // The raster operation of CopyRect and Draw (SRCCOPY by default).
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD rop) { copyMode_ = rop; }
  POINT PenPos();

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const POINT* points, int count);
  void Polygon(const POINT* points, int count);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  void FillRect(const RECT& r);
  void FrameRect(const RECT& r);
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const RECT& clip, int x, int y, const std::string& text);
  // DrawText with the platform's DT_ flags; returns the text height. DT_CALCRECT updates r.
  int DrawText(const std::string& text, RECT& r, UINT flags);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  void Draw(int x, int y, TBitmap& bitmap);
  void StretchDraw(const RECT& r, TBitmap& bitmap);
  // Copies a rectangle of another canvas with CopyMode, stretching when the sizes differ.
  void CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect);
  TColor Pixels(int x, int y);
  void SetPixel(int x, int y, TColor c);

  // Told after every drawing operation (a bitmap's canvas tells its bitmap).
  rtl::TNotifyEvent OnChange;

 protected:
  virtual void CreateHandle() {}
  // Restores the DC's own objects (before the DC is released or changes).
  void DeselectHandles();
  void Changed() { OnChange(this); }

 private:
  enum : unsigned { kFont = 1, kPen = 2, kBrush = 4 };
  void Require(unsigned what);
  void ObjectChanged(rtl::TObject* sender);

  HDC dc_ = nullptr;
  unsigned selected_ = 0;
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  DWORD copyMode_ = SRCCOPY;
};

// A DC attached to a canvas for one scope, detached (its original objects restored) on the way out.
class TCanvasDC {
 public:
  TCanvasDC(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
  ~TCanvasDC() { canvas_.SetHandle(nullptr); }
  TCanvasDC(const TCanvasDC&) = delete;
  TCanvasDC& operator=(const TCanvasDC&) = delete;

 private:
  TCanvas& canvas_;
};

// Bits per pixel of what a DC draws into: a memory DC's selected bitmap, else the device's.
int ColourDepth(HDC dc);

}  // namespace gui

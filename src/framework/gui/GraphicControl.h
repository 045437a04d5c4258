// Windowless (graphic) controls: their parent paints them and feeds them mouse messages.
#pragma once

#include "Control.h"

namespace gui {

class TGraphicControl : public TControl {
  RTL_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(rtl::TComponent* owner);
  TCanvas& Canvas() { return canvas_; }
  void WndProc(TMessage& m) override;

 protected:
  virtual void Paint() {}
  // WM_PAINT from the parent, wParam its DC (origin and clip already at this control): Paint
  // on the canvas, which holds the DC for just that long.
  virtual void WMPaint(TMessage& m);

 private:
  TCanvas canvas_;
};

// A windowed control that paints itself on its own canvas.

}  // namespace gui

// A windowed control that paints itself on a canvas of its own.
#pragma once

#include <memory>

#include "WinControl.h"

namespace gui {

// A canvas on a windowed control's own DC.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TWinControl& control) : control_(control) {}
  ~TControlCanvas() override { FreeHandle(); }
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TWinControl& control_;
  HDC dc_ = nullptr;
};

// A windowed control that paints itself (Paint) on its canvas.
class TCustomControl : public TWinControl {
  RTL_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(rtl::TComponent* owner);
  ~TCustomControl() override;
  TCanvas& Canvas() { return *canvas_; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

}  // namespace gui

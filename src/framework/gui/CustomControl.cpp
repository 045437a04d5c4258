#include "CustomControl.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TCustomControl);

void TControlCanvas::CreateHandle() {
  dc_ = GetDC(control_.Handle());
  SetHandle(dc_);
}

void TControlCanvas::FreeHandle() {
  if (!dc_) return;
  HDC dc = dc_;
  SetHandle(nullptr);
  ReleaseDC(control_.WindowHandle(), dc);
  dc_ = nullptr;
}

TCustomControl::TCustomControl(rtl::TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(*this)) {}

TCustomControl::~TCustomControl() { canvas_->FreeHandle(); }

void TCustomControl::PaintWindow(HDC dc) {
  canvas_->FreeHandle();  // a DC taken outside painting goes back first
  TCanvasDC scope(*canvas_, dc);
  Paint();
}

}  // namespace gui

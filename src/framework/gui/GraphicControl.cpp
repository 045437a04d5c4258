#include "GraphicControl.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TGraphicControl);

TGraphicControl::TGraphicControl(rtl::TComponent* owner) : TControl(owner) {}

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) return WMPaint(m);
  TControl::WndProc(m);
}

void TGraphicControl::WMPaint(TMessage& m) {
  TCanvasDC scope(canvas_, reinterpret_cast<HDC>(m.WParam));
  Paint();
  m.Answer(0);
}

}  // namespace gui

#include "StatusBar.h"

#include <commctrl.h>

namespace gui {

RTL_IMPLEMENT_CLASS(TStatusBar);

TStatusBar::TStatusBar(rtl::TComponent* owner) : TWinControl(owner) {
  SetAlign(alBottom);
  SetBounds(0, 0, 0, 19);
  SetColor(clBtnFace);
}

void TStatusBar::DeclareProperties(rtl::TClassBuilder<TStatusBar>& b) {
  b.Enum("Align", AlignNames(), &TStatusBar::Align, &TStatusBar::SetAlign, alBottom);
  b.Int("Color", &TStatusBar::Color, &TStatusBar::SetColor, clBtnFace).Idents = &ColorIdents();
  b.Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel, false);
  b.Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  b.Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip, true);
}

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SubClass = STATUSCLASSNAMEA;
  // We place the bar ourselves (alignment), so the control must not move or size itself.
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | (sizeGrip_ ? SBARS_SIZEGRIP : 0);
}

void TStatusBar::CreateHandleDone() {
  SendMessageA(Handle(), SB_SIMPLE, simplePanel_, 0);
  SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::SetSimplePanel(bool v) {
  if (v == simplePanel_) return;
  simplePanel_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), SB_SIMPLE, v, 0);
}

void TStatusBar::SetSimpleText(const std::string& v) {
  if (v == simpleText_) return;
  simpleText_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::SetSizeGrip(bool v) {
  if (v == sizeGrip_) return;
  sizeGrip_ = v;
  if (HandleAllocated()) {
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE, v ? (style | SBARS_SIZEGRIP) : (style & ~static_cast<LONG_PTR>(SBARS_SIZEGRIP)));
    Invalidate();
  }
}

}  // namespace gui

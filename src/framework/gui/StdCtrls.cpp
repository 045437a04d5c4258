#include "StdCtrls.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TButton);
RTL_IMPLEMENT_CLASS(TComboBox);

// --------------------------------------------------------------------------------- TButton

TButton::TButton(rtl::TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TButton::DeclareProperties(rtl::TClassBuilder<TButton>& b) {
  b.Bool("TabStop", &TButton::TabStop, &TButton::SetTabStop, true);
  b.Int("Color", &TButton::Color, &TButton::SetColor, clBtnFace).Idents = &ColorIdents();
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SubClass = "BUTTON";
  p.Style |= BS_PUSHBUTTON;
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    Click();
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace gui

#include "FxBase.h"

#include "Forms.h"

namespace fx {

// Registered by the family's start-up, which leaves a class of the same name alone.
RTL_IMPLEMENT_CLASS_UNREGISTERED(TFxAttachedLabel);

TFxAttachedLabel::TFxAttachedLabel(rtl::TComponent* owner) : TFxCustomLabel(owner) {
  SetAutoSize(true);
  SetColorScheme(csText);
  SetAppearance(apNone);  // after the scheme: ColorScheme reads csCustom from here on
  SetParentFont(true);
  SetTransparent(false);
}

TFxAttachedLabel* TFxAttachedLabel::CreateAttached(rtl::TComponent* owner, gui::TWinControl* control) {
  auto* label = new TFxAttachedLabel(owner);
  label->SetFxControl(control);
  return label;
}

void TFxAttachedLabel::DeclareProperties(rtl::TClassBuilder<TFxAttachedLabel>& b) {
  using L = TFxAttachedLabel;
  b.Bool("Transparent", &L::Transparent, &L::SetTransparent, false);
  b.Bool("WordWrap", &L::WordWrap, &L::SetWordWrap, true);
  b.Enum("Appearance", AppearanceNames(), &L::Appearance, &L::SetAppearance, apNone);
  b.Enum("ColorScheme", ColorSchemeNames(), &L::ColorScheme, &L::SetColorScheme, csText);
  b.Ref<gui::TWinControl>("FxControl", &L::FxControl, &L::SetFxControl);
}

void TFxAttachedLabel::SetFxControl(gui::TWinControl* c) { fxControl_.Set(c); }

void TFxAttachedLabel::Loaded() {
  TFxCustomLabel::Loaded();
  NotifyControl();
}

void TFxAttachedLabel::SetBounds(int left, int top, int width, int height) {
  TFxCustomLabel::SetBounds(left, top, width, height);
  NotifyControl();
}

void TFxAttachedLabel::NotifyControl() {
  if (IsLoading() || IsDestroying() || !fxControl_) return;
  gui::TForm* form = gui::GetParentForm(this);
  if (!form) return;
  // Only a control of the label's own form hears of it.
  for (int i = 0; i < form->ComponentCount(); ++i) {
    if (form->Components(i) != fxControl_) continue;
    HWND control = fxControl_->Handle();
    SendMessageA(control, AttachLabelMessage, 0, reinterpret_cast<LPARAM>(this));
    PostMessageA(control, LabelMovedMessage, 0, 0);
    return;
  }
}

void InitializeLabelFamily() {
  static int startupCounter = 0;
  if (startupCounter-- != 0) return;
  rtl::RegisterClassOnce(TFxAttachedLabel::StaticClass());
}

}  // namespace fx

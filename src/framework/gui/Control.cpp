#include "Control.h"

#include <windowsx.h>

#include "Menus.h"
#include "rtl/FlagScope.h"
#include "WinControl.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TControl);

const std::vector<std::string>& AlignNames() {
  static const std::vector<std::string> names = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
  return names;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}


TControl::TControl(rtl::TComponent* owner)
    : TComponent(owner), WindowProc([this](TMessage& m) { WndProc(m); }), font_(std::make_unique<TFont>()) {
  font_->OnChange.Bind(this, &TControl::FontObjectChanged);
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

void TControl::DeclareProperties(rtl::TClassBuilder<TControl>& b) {
  b.IntNoDefault("Left", &TControl::Left, &TControl::SetLeft);
  b.IntNoDefault("Top", &TControl::Top, &TControl::SetTop);
  b.IntNoDefault("Width", &TControl::Width, &TControl::SetWidth);
  b.IntNoDefault("Height", &TControl::Height, &TControl::SetHeight);
  b.Enum("Align", AlignNames(), &TControl::Align, &TControl::SetAlign, alNone);
  b.Str("Caption", &TControl::Caption, &TControl::SetCaption);
  b.Int("Color", &TControl::Color, &TControl::SetColor, clWindow).Idents = &ColorIdents();
  b.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false);
  b.Int("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault).Idents = &CursorIdents();
  b.Object("Font", &TControl::FontObject).Stored = [](const rtl::TObject* o) {
    return !static_cast<const TControl*>(o)->ParentFont();
  };
  b.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true);
  b.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true);
  b.Bool("Visible", &TControl::Visible, &TControl::SetVisible, true);
  b.Ref<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  b.Event("OnClick", &TControl::OnClick);
  b.Event("OnDblClick", &TControl::OnDblClick);
  b.Event("OnMouseDown", &TControl::OnMouseDown);
  b.Event("OnMouseMove", &TControl::OnMouseMove);
  b.Event("OnMouseUp", &TControl::OnMouseUp);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw rtl::EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

rtl::TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(rtl::TComponent* parent) {
  if (auto* w = rtl::As<TWinControl>(parent)) SetParent(w);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

TPopupMenu* TControl::PopupMenu() const { return popupMenu_.Get(); }

void TControl::SetPopupMenu(TPopupMenu* m) { popupMenu_.Set(m); }

void TControl::UpdateBoundsFields(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool shown = parent_ && visible_;
  if (shown) Invalidate();
  UpdateBoundsFields(left, top, width, height);
  if (shown) Invalidate();
  BoundsChanged();
  if (parent_ && align_ != alNone && !IsLoading()) parent_->AlignControls();
}

POINT TControl::ClientToScreen(POINT p) const {
  if (!parent_) return p;
  return parent_->ClientToScreen(POINT{p.x + left_, p.y + top_});
}

POINT TControl::ScreenToClient(POINT p) const {
  POINT origin = ClientToScreen(POINT{0, 0});
  return POINT{p.x - origin.x, p.y - origin.y};
}

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  align_ = v;
  if (parent_ && !IsLoading()) parent_->AlignControls();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  if (!v) Invalidate();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v, 0);
}

void TControl::VisibleChanged() {
  Invalidate();
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetText(const std::string& v) {
  if (v == text_) return;
  text_ = v;
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::FontObjectChanged(rtl::TObject*) {
  if (!applyingParentFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v && parent_) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  rtl::TFlagScope applying(applyingParentFont_);
  font_->Assign(&parent_->Font());
}

void TControl::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v && parent_) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || !parent_ || parent_->Color() == color_) return;
  SetColor(parent_->Color());
  parentColor_ = true;
}

void TControl::Invalidate() {
  if (!parent_ || !parent_->HandleAllocated()) return;
  RECT r = BoundsRect();
  InvalidateRect(parent_->Handle(), &r, TRUE);
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) { OnMouseDown(this, button, shift, x, y); }
void TControl::MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) { OnMouseUp(this, button, shift, x, y); }

void TControl::WMMouse(TMessage& m) {
  int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  TShiftState shift = KeysToShiftState(m.WParam);
  rtl::TAliveToken alive = AliveToken();  // every handler below may free this control
  switch (m.Msg) {
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
    case WM_LBUTTONDOWN: MouseDown(mbLeft, shift, x, y); break;
    case WM_RBUTTONDOWN: MouseDown(mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN: MouseDown(mbMiddle, shift, x, y); break;
    case WM_LBUTTONDBLCLK:
      DblClick();
      if (alive) MouseDown(mbLeft, shift | ssDouble, x, y);
      break;
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, shift | ssDouble, x, y); break;
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, shift | ssDouble, x, y); break;
    case WM_LBUTTONUP: MouseUp(mbLeft, shift, x, y); break;
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); break;
  }
  if (alive) DefaultHandler(m);
}

bool TControl::MouseCaptured() const {
  return parent_ && parent_->captureControl_ == this && parent_->handle_ && GetCapture() == parent_->handle_;
}

void TControl::SetMouseCapture(bool on) {
  if (!parent_ || !parent_->handle_) return;
  if (on) {
    parent_->captureControl_ = this;
    SetCapture(parent_->handle_);
  } else if (GetCapture() == parent_->handle_) {
    ReleaseCapture();
  }
}

void TControl::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MBUTTONDBLCLK) return WMMouse(m);
  switch (m.Msg) {
    case CM_ENABLEDCHANGED: m.Answer(0); return EnabledChanged();
    case CM_VISIBLECHANGED: m.Answer(0); return VisibleChanged();
    case CM_TEXTCHANGED: m.Answer(0); return TextChanged();
    case CM_FONTCHANGED: m.Answer(0); return FontChanged();
    case CM_COLORCHANGED: m.Answer(0); return ColorChanged();
    case CM_PARENTFONTCHANGED: m.Answer(0); return ParentFontChanged();
    case CM_PARENTCOLORCHANGED: m.Answer(0); return ParentColorChanged();
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_DIALOGCHAR: m.Answer(0); return;
  }
  DefaultHandler(m);
}

}  // namespace gui

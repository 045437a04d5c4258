#include "Controls.h"

#include <algorithm>
#include <utility>

#include <windowsx.h>

#include "ExceptionHook.h"
#include "Guards.h"
#include "Menus.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TControl);
RTL_IMPLEMENT_CLASS(TWinControl);
RTL_IMPLEMENT_CLASS(TGraphicControl);
RTL_IMPLEMENT_CLASS(TCustomControl);

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

// ------------------------------------------------------------------------------- TControl

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

void TControl::Notification(rtl::TComponent* c, rtl::TOperation op) {
  TComponent::Notification(c, op);
  if (op == rtl::TOperation::opRemove && c == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetPopupMenu(TPopupMenu* m) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = m;
  if (m) m->FreeNotification(this);
}

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
  applyingParentFont_ = true;
  try {
    font_->Assign(&parent_->Font());
  } catch (...) {
    applyingParentFont_ = false;
    throw;
  }
  applyingParentFont_ = false;
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
  switch (m.Msg) {
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
    case WM_LBUTTONDOWN: MouseDown(mbLeft, shift, x, y); break;
    case WM_RBUTTONDOWN: MouseDown(mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN: MouseDown(mbMiddle, shift, x, y); break;
    case WM_LBUTTONDBLCLK:
      DblClick();
      MouseDown(mbLeft, shift | ssDouble, x, y);
      break;
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, shift | ssDouble, x, y); break;
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, shift | ssDouble, x, y); break;
    case WM_LBUTTONUP: MouseUp(mbLeft, shift, x, y); break;
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); break;
  }
  DefaultHandler(m);
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
    case CM_ENABLEDCHANGED: EnabledChanged(); return;
    case CM_VISIBLECHANGED: VisibleChanged(); return;
    case CM_TEXTCHANGED: TextChanged(); return;
    case CM_FONTCHANGED: FontChanged(); return;
    case CM_COLORCHANGED: ColorChanged(); return;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); return;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_DIALOGCHAR: m.Result = 0; return;
  }
  DefaultHandler(m);
}

// ---------------------------------------------------------------------------- TWinControl

namespace {

thread_local TWinControl* g_creating = nullptr;
constexpr const char* kControlProp = "TessalineControl";
int g_nextChildId = 100;

// The reflection table: the control messages a parent hands to the child they concern, and how
// to find that child. No child (a menu's or an accelerator's message, a window's own scroll
// bars) means the parent handles the message itself.
using TChildOf = HWND (*)(HWND parent, const TMessage& m);

HWND ChildInLParam(HWND, const TMessage& m) { return reinterpret_cast<HWND>(m.LParam); }
HWND NotifySender(HWND, const TMessage& m) { return reinterpret_cast<const NMHDR*>(m.LParam)->hwndFrom; }
HWND DrawItemChild(HWND, const TMessage& m) {
  auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
  return d->CtlType == ODT_MENU ? nullptr : d->hwndItem;
}
HWND MeasureItemChild(HWND parent, const TMessage& m) {
  // The control may still be inside its own creation: it is found by its id.
  auto* mi = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.LParam);
  return mi->CtlType == ODT_MENU ? nullptr : GetDlgItem(parent, static_cast<int>(mi->CtlID));
}
HWND DeleteItemChild(HWND, const TMessage& m) { return reinterpret_cast<const DELETEITEMSTRUCT*>(m.LParam)->hwndItem; }
HWND CompareItemChild(HWND, const TMessage& m) { return reinterpret_cast<const COMPAREITEMSTRUCT*>(m.LParam)->hwndItem; }

struct TReflection {
  UINT msg;
  TChildOf child;
};

constexpr TReflection kReflected[] = {
    {WM_COMMAND, ChildInLParam},          {WM_NOTIFY, NotifySender},
    {WM_DRAWITEM, DrawItemChild},         {WM_MEASUREITEM, MeasureItemChild},
    {WM_DELETEITEM, DeleteItemChild},     {WM_COMPAREITEM, CompareItemChild},
    {WM_VKEYTOITEM, ChildInLParam},       {WM_CHARTOITEM, ChildInLParam},
    {WM_HSCROLL, ChildInLParam},          {WM_VSCROLL, ChildInLParam},
    {WM_CTLCOLOREDIT, ChildInLParam},     {WM_CTLCOLORLISTBOX, ChildInLParam},
    {WM_CTLCOLORBTN, ChildInLParam},      {WM_CTLCOLORSCROLLBAR, ChildInLParam},
    {WM_CTLCOLORSTATIC, ChildInLParam},
};

const TReflection* FindReflection(UINT msg) {
  for (const auto& r : kReflected)
    if (r.msg == msg) return &r;
  return nullptr;
}

bool IsReflection(UINT msg) { return msg >= CN_BASE && FindReflection(msg - CN_BASE) != nullptr; }

}  // namespace

TWinControl::TWinControl(rtl::TComponent* owner)
    : TControl(owner), subclass_([this](TMessage& m) { WindowProc(m); }) {}

TWinControl::~TWinControl() {
  // Owned components go first, while this window still exists for them.
  Destroying();
  DestroyComponents();
  // Children this control does not own stay alive without a parent; their windows go with ours.
  for (TControl* c : std::vector<TControl*>(controls_)) c->SetParent(nullptr);
  DestroyHandle();
}

void TWinControl::DeclareProperties(rtl::TClassBuilder<TWinControl>& b) {
  b.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1);
  b.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
  b.Event("OnEnter", &TWinControl::OnEnter);
  b.Event("OnExit", &TWinControl::OnExit);
  b.Event("OnKeyDown", &TWinControl::OnKeyDown);
  b.Event("OnKeyPress", &TWinControl::OnKeyPress);
  b.Event("OnKeyUp", &TWinControl::OnKeyUp);
}

TWinControl* TWinControl::FindControl(HWND wnd) {
  return wnd ? static_cast<TWinControl*>(GetPropA(wnd, kControlProp)) : nullptr;
}

HWND TWinControl::Handle() {
  if (!handle_) {
    if (parent_) parent_->HandleNeeded();  // creating the parent creates its children
    if (!handle_) CreateWnd();
  }
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = text_;
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (parent_) p.Style |= WS_CHILD;
  if (Visible()) p.Style |= WS_VISIBLE;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  p.WndParent = parent_ ? parent_->Handle() : nullptr;
  if (parent_) p.Menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(g_nextChildId++));
  p.WinClassName = ClassName();
  p.Cursor = LoadCursor(nullptr, IDC_ARROW);
}

// Attaches the control being created to its window before the window's first message, so the
// control hears its whole creation (and a parent can reflect what the new child sends during it,
// such as the WM_MEASUREITEM of an owner-drawn list), whether the class is ours or the platform's.
LRESULT CALLBACK TWinControl::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_creating) {
    auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
    if (cbt->lpcs->lpCreateParams == g_creating) {
      TWinControl* c = std::exchange(g_creating, nullptr);
      c->Attach(reinterpret_cast<HWND>(wParam));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  std::string className = p.SubClass.empty() ? p.WinClassName : p.SubClass;
  ownClass_ = p.SubClass.empty();
  if (ownClass_) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, className.c_str(), &wc)) {
      wc.style = p.ClassStyle;
      wc.lpfnWndProc = DefWindowProcA;  // below the control's subclass, as a platform class is
      wc.hInstance = instance;
      wc.hCursor = p.Cursor;
      wc.hbrBackground = p.Background;
      wc.hIcon = p.Icon;
      wc.lpszClassName = className.c_str();
      if (!RegisterClassA(&wc)) throw rtl::EOutOfResources("Cannot register window class " + className);
    }
  }
  HHOOK hook = SetWindowsHookExA(WH_CBT, &TWinControl::CreationHook, nullptr, GetCurrentThreadId());
  TWinControl* outer = std::exchange(g_creating, this);
  HWND wnd = CreateWindowExA(p.ExStyle, className.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                             p.WndParent, p.Menu, instance, this);
  g_creating = outer;
  if (hook) UnhookWindowsHookEx(hook);
  if (wnd && !handle_) Attach(wnd);  // no hook could be set: attached after the fact
  if (!wnd) {
    handle_ = nullptr;
    subclass_.Uninstall();
    throw rtl::EOutOfResources("Error creating window of " + ClassName());
  }
  ApplyFont();
  CreateHandleDone();
  for (TControl* c : std::vector<TControl*>(controls_))
    if (auto* w = rtl::As<TWinControl>(c)) w->HandleNeeded();
}

void TWinControl::Attach(HWND wnd) {
  handle_ = wnd;
  SetPropA(wnd, kControlProp, this);
  subclass_.Install(wnd);
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  HWND wnd = handle_;
  DestroyWindow(wnd);  // WM_NCDESTROY detaches
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (IsReflection(m.Msg)) {
    // No handler here took it: the parent's own default processing answers, as if the
    // message had never been reflected.
    m.Result = 0;
    if (parent_ && parent_->handle_) {
      TMessage original{m.Msg - CN_BASE, m.WParam, m.LParam, 0};
      parent_->DefaultHandler(original);
      m.Result = original.Result;
    }
    return;
  }
  if (!handle_) return TControl::DefaultHandler(m);
  subclass_.CallPrevious(m);
}

bool TWinControl::Showing() const { return handle_ && IsWindowVisible(handle_); }

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  UpdateBoundsFields(left, top, width, height);
  if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  BoundsChanged();
  if (Parent() && Align() != alNone && !IsLoading()) Parent()->AlignControls();
}

RECT TWinControl::ClientRect() const {
  RECT r{0, 0, width_, height_};
  if (handle_) GetClientRect(handle_, &r);
  return r;
}

POINT TWinControl::ClientToScreen(POINT p) const {
  if (!handle_) return TControl::ClientToScreen(p);
  ::ClientToScreen(handle_, &p);
  return p;
}

bool TWinControl::MouseCaptured() const { return handle_ && GetCapture() == handle_; }

void TWinControl::SetMouseCapture(bool on) {
  if (!handle_) return;
  if (on)
    SetCapture(handle_);
  else if (GetCapture() == handle_)
    ReleaseCapture();
}

std::string TWinControl::GetText() const {
  if (!handle_) return text_;
  int n = GetWindowTextLengthA(handle_);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(handle_, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(0, n)));
  return s;
}

void TWinControl::SetText(const std::string& v) {
  if (v == GetText()) return;
  text_ = v;
  if (handle_) SetWindowTextA(handle_, v.c_str());
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::SetFocus() {
  if (CanFocus()) ::SetFocus(Handle());
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetTabOrder(int v) { tabOrder_ = v; }

void TWinControl::SetTabStop(bool v) {
  if (v == tabStop_) return;
  tabStop_ = v;
  if (handle_) {
    LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
    SetWindowLongPtrA(handle_, GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
}

std::vector<TWinControl*> TWinControl::TabList() const {
  std::vector<TWinControl*> list;
  for (TControl* c : controls_)
    if (auto* w = rtl::As<TWinControl>(c)) list.push_back(w);
  std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) {
    auto key = [](TWinControl* w) { return w->tabOrder_ < 0 ? 1 << 30 : w->tabOrder_; };
    return key(a) < key(b);
  });
  return list;
}

void TWinControl::InsertControl(TControl* c) {
  controls_.push_back(c);
  c->parent_ = this;
  c->Perform(CM_PARENTFONTCHANGED, 0, 0);
  c->Perform(CM_PARENTCOLORCHANGED, 0, 0);
  if (auto* w = rtl::As<TWinControl>(c)) {
    if (w->handle_) {
      ::SetParent(w->handle_, Handle());
    } else if (handle_ && !c->IsLoading()) {
      w->HandleNeeded();
    }
  } else {
    c->Invalidate();
  }
  if (c->Align() != alNone && !c->IsLoading()) AlignControls();
}

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  if (!rtl::As<TWinControl>(c)) c->Invalidate();
  controls_.erase(it);
  if (captureControl_ == c) {
    captureControl_ = nullptr;
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
  }
  if (mouseControl_ == c) mouseControl_ = nullptr;
  c->parent_ = nullptr;
  if (auto* w = rtl::As<TWinControl>(c); w && w->handle_ && !IsDestroying()) w->DestroyHandle();
}

void TWinControl::NotifyControls(UINT msg) {
  for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(msg, 0, 0);
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (rtl::As<TWinControl>(c) || !c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    RECT r = c->BoundsRect();
    if (PtInRect(&r, p)) return c;
  }
  return nullptr;
}

void TWinControl::AlignControls() {
  if (IsLoading()) return;
  RECT r = ClientRect();
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != a || !c->Visible()) continue;
      int w = c->Width(), h = c->Height();
      switch (a) {
        case alTop: c->SetBounds(r.left, r.top, r.right - r.left, h); r.top += h; break;
        case alBottom: c->SetBounds(r.left, r.bottom - h, r.right - r.left, h); r.bottom -= h; break;
        case alLeft: c->SetBounds(r.left, r.top, w, r.bottom - r.top); r.left += w; break;
        case alRight: c->SetBounds(r.right - w, r.top, w, r.bottom - r.top); r.right -= w; break;
        default: c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); break;
      }
    }
  }
}

void TWinControl::ApplyFont() {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
}

void TWinControl::FontChanged() {
  ApplyFont();
  Invalidate();
}

void TWinControl::ColorChanged() { Invalidate(); }

void TWinControl::EnabledChanged() {
  if (handle_) EnableWindow(handle_, Enabled());
  Invalidate();
}

void TWinControl::VisibleChanged() {
  if (handle_) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
  if (Parent() && Align() != alNone) Parent()->AlignControls();
}

HBRUSH TWinControl::ColorBrush() {
  if (!brush_ || brushColor_ != Color()) {
    brush_.Reset(CreateSolidBrush(ColorToRGB(Color())));
    brushColor_ = Color();
  }
  return brush_;
}

void TWinControl::PaintHandler(HDC dc) {
  PaintWindow(dc);
  PaintControls(dc, nullptr);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  bool started = first == nullptr;
  for (TControl* c : controls_) {
    if (!started) {
      started = c == first;
      if (!started) continue;
    }
    if (rtl::As<TWinControl>(c) || !c->Visible()) continue;
    RECT r = c->BoundsRect();
    if (!RectVisible(dc, &r)) continue;
    // The control paints at its own origin, clipped to itself; the DC is put back even when
    // its Paint throws.
    TSaveDC saved(dc);
    OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
    IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void TWinControl::SetMouseControl(TControl* c) {
  if (c == mouseControl_) return;
  TControl* old = mouseControl_;
  mouseControl_ = c;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (c) c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
}

bool TWinControl::ReflectToChild(TMessage& m) {
  const TReflection* r = FindReflection(m.Msg);
  if (!r || !handle_) return false;
  TWinControl* c = FindControl(r->child(handle_, m));
  if (!c || c == this) return false;
  m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

bool TWinControl::KeyPreviewed(TMessage& m) {
  for (TWinControl* p = parent_; p; p = p->parent_)
    if (p->PreviewKey(m)) return true;
  return false;
}

void TWinControl::WndProc(TMessage& m) {
  if (ReflectToChild(m)) return;
  switch (m.Msg) {
    case WM_PAINT: return WMPaint(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_MOUSELEAVE: return WMMouseLeave(m);
    case WM_CAPTURECHANGED: return WMCaptureChanged(m);
    case WM_SETCURSOR: return WMSetCursor(m);
    case WM_SETFOCUS: return WMSetFocus(m);
    case WM_KILLFOCUS: return WMKillFocus(m);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return WMKeyDown(m);
    case WM_KEYUP:
    case WM_SYSKEYUP: return WMKeyUp(m);
    case WM_CHAR: return WMChar(m);
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
    case WM_NCDESTROY: return WMNCDestroy(m);
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: return CNCtlColor(m);
  }
  TControl::WndProc(m);
}

void TWinControl::WMPaint(TMessage& m) {
  if (!ownClass_) return DefaultHandler(m);  // a platform class paints itself
  if (m.WParam) {
    PaintHandler(reinterpret_cast<HDC>(m.WParam));
  } else {
    TPaintDC dc(handle_);
    PaintHandler(dc);
  }
  m.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  if (!ownClass_) return DefaultHandler(m);
  RECT r;
  GetClientRect(handle_, &r);
  ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, ColorBrush());
  m.Result = 1;
}

void TWinControl::WMMouse(TMessage& m) {
  POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (m.Msg == WM_MOUSEMOVE) {
    TControl* under = ControlAtPos(p);
    SetMouseControl(under ? under : this);
    if (!trackingLeave_) {
      TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, handle_, 0};
      trackingLeave_ = TrackMouseEvent(&t) != FALSE;
    }
  }
  TControl* target = captureControl_ ? captureControl_ : ControlAtPos(p);
  if (!target) return TControl::WMMouse(m);
  bool down = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN ||
              m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
  if (down && !captureControl_) {
    captureControl_ = target;
    SetCapture(handle_);
  }
  target->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
  bool up = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
  if (up && !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && captureControl_ == target) {
    captureControl_ = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
  }
  m.Result = 0;
}

void TWinControl::WMMouseLeave(TMessage& m) {
  trackingLeave_ = false;
  SetMouseControl(nullptr);
  DefaultHandler(m);
}

void TWinControl::WMCaptureChanged(TMessage& m) {
  if (reinterpret_cast<HWND>(m.LParam) != handle_) captureControl_ = nullptr;
  DefaultHandler(m);
}

void TWinControl::WMSetCursor(TMessage& m) {
  // Only over this window's own client area; for a child's, default processing asks us first
  // and a child's cursor must not be overruled.
  if (reinterpret_cast<HWND>(m.WParam) == handle_ && static_cast<short>(LOWORD(m.LParam)) == HTCLIENT) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(handle_, &p);
    TCursor cursor = crDefault;
    if (TControl* c = ControlAtPos(p)) cursor = c->Cursor();
    if (cursor == crDefault) cursor = Cursor();
    if (cursor != crDefault) {
      ::SetCursor(Cursors().Get(cursor));
      m.Result = TRUE;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMSetFocus(TMessage& m) {
  DefaultHandler(m);
  DoEnter();
}

void TWinControl::WMKillFocus(TMessage& m) {
  DefaultHandler(m);
  DoExit();
}

bool TWinControl::DoKeyMessage(TMessage& m) {
  if (m.Msg == WM_CHAR) {
    char ch = static_cast<char>(m.WParam);
    KeyPress(ch);
    m.WParam = static_cast<unsigned char>(ch);
    return ch == 0;
  }
  WORD key = static_cast<WORD>(m.WParam);
  if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN)
    KeyDown(key, KeyboardShiftState());
  else
    KeyUp(key, KeyboardShiftState());
  m.WParam = key;
  return key == 0;
}

void TWinControl::WMKeyDown(TMessage& m) {
  if (KeyPreviewed(m) || DoKeyMessage(m)) return;
  DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  if (KeyPreviewed(m) || DoKeyMessage(m)) return;
  DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  if (KeyPreviewed(m) || DoKeyMessage(m)) return;
  DefaultHandler(m);
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);
  auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (!(wp->flags & SWP_NOSIZE) || !(wp->flags & SWP_NOMOVE)) {
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND p = GetParent(handle_); p && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD))
      MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
    UpdateBoundsFields(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (!(wp->flags & SWP_NOSIZE)) AlignControls();
  }
}

void TWinControl::WMNCDestroy(TMessage& m) {
  DefaultHandler(m);
  RemovePropA(handle_, kControlProp);
  handle_ = nullptr;
  captureControl_ = mouseControl_ = nullptr;
  trackingLeave_ = false;
}

void TWinControl::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(Font().Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  m.Result = reinterpret_cast<LRESULT>(ColorBrush());
}

void TWinControl::GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const {
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
}

// --------------------------------------------------------------------------- canvases etc.

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

TGraphicControl::TGraphicControl(rtl::TComponent* owner) : TControl(owner) {}

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) return WMPaint(m);
  TControl::WndProc(m);
}

void TGraphicControl::WMPaint(TMessage& m) {
  TCanvasDC scope(canvas_, reinterpret_cast<HDC>(m.WParam));
  Paint();
  m.Result = 0;
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

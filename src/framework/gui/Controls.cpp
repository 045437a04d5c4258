#include "Controls.h"

#include <algorithm>
#include <windowsx.h>

#include "ExceptionHook.h"
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

TControl::TControl(rtl::TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
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
  if (auto* w = rtl::As<TWinControl>(const_cast<TControl*>(this)); w && w->HandleAllocated()) {
    ::ClientToScreen(w->Handle(), &p);
    return p;
  }
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
  VisibleChanged();
}

void TControl::VisibleChanged() {
  Invalidate();
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  EnabledChanged();
}

void TControl::SetText(const std::string& v) {
  if (v == text_) return;
  text_ = v;
  TextChanged();
}

void TControl::FontObjectChanged(rtl::TObject*) {
  if (!applyingParentFont_) parentFont_ = false;
  FontChanged();
  if (auto* w = rtl::As<TWinControl>(this))
    for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->ParentFontChanged();
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v) ParentFontChanged();
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
  ColorChanged();
  if (auto* w = rtl::As<TWinControl>(this))
    for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->ParentColorChanged();
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v) ParentColorChanged();
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
  WndProc(m);
  return m.Result;
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) { OnMouseDown(this, button, shift, x, y); }
void TControl::MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) { OnMouseUp(this, button, shift, x, y); }

void TControl::MouseMessage(TMessage& m) {
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
}

bool TControl::MouseCaptured() const {
  if (!parent_) return false;
  auto* self = const_cast<TControl*>(this);
  if (auto* w = rtl::As<TWinControl>(self)) return w->HandleAllocated() && GetCapture() == w->handle_;
  return parent_->captureControl_ == this && GetCapture() == parent_->handle_;
}

void TControl::SetMouseCapture(bool on) {
  auto* w = rtl::As<TWinControl>(this);
  TWinControl* owner = w ? w : parent_;
  if (!owner || !owner->HandleAllocated()) return;
  if (on) {
    if (!w) parent_->captureControl_ = this;
    SetCapture(owner->handle_);
  } else if (GetCapture() == owner->handle_) {
    ReleaseCapture();
  }
}

void TControl::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MBUTTONDBLCLK) {
    MouseMessage(m);
    if (rtl::As<TWinControl>(this)) DefaultHandler(m);
    return;
  }
  switch (m.Msg) {
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
}  // namespace

TWinControl::TWinControl(rtl::TComponent* owner) : TControl(owner), subclass_([this](TMessage& m) { WndProc(m); }) {}

TWinControl::~TWinControl() {
  // Owned components go first, while this window still exists for them.
  Destroying();
  DestroyComponents();
  // Children this control does not own stay alive without a parent; their windows go with ours.
  for (TControl* c : std::vector<TControl*>(controls_)) c->SetParent(nullptr);
  DestroyHandle();
  if (brush_) DeleteObject(brush_);
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

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND wnd;
  if (p.SubClass.empty()) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, p.WinClassName.c_str(), &wc)) {
      wc.style = p.ClassStyle;
      wc.lpfnWndProc = &TWinControl::InitWndProc;
      wc.hInstance = instance;
      wc.hCursor = p.Cursor;
      wc.hbrBackground = p.Background;
      wc.hIcon = p.Icon;
      wc.lpszClassName = p.WinClassName.c_str();
      if (!RegisterClassA(&wc)) throw rtl::EOutOfResources("Cannot register window class " + p.WinClassName);
    }
    g_creating = this;
    wnd = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                          p.Height, p.WndParent, p.Menu, instance, nullptr);
    g_creating = nullptr;
  } else {
    wnd = CreateWindowExA(p.ExStyle, p.SubClass.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                          p.WndParent, p.Menu, instance, nullptr);
    if (wnd) Attach(wnd);
  }
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

LRESULT CALLBACK TWinControl::InitWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* c = g_creating;
  if (!c) return DefWindowProcA(wnd, msg, wParam, lParam);
  g_creating = nullptr;
  c->Attach(wnd);
  c->subclass_.SetPrevious(DefWindowProcA);  // our own class: the platform's default is the base
  return CallWindowProcA(c->subclass_.Proc(), wnd, msg, wParam, lParam);
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
  TextChanged();
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
  c->ParentFontChanged();
  c->ParentColorChanged();
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
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(ColorToRGB(Color()));
    brushColor_ = Color();
  }
  return brush_;
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
    int saved = SaveDC(dc);
    POINT org;
    OffsetViewportOrgEx(dc, r.left, r.top, &org);
    IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
}

void TWinControl::SetMouseControl(TControl* c) {
  if (c == mouseControl_) return;
  TControl* old = mouseControl_;
  mouseControl_ = c;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (c) c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
}

void TWinControl::RouteMouse(TMessage& m) {
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
  if (!target) return TControl::WndProc(m);
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

bool TWinControl::ReflectToChild(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(m.LParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom; break;
    case WM_DRAWITEM: child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem; break;
    case WM_MEASUREITEM: child = handle_ ? GetDlgItem(handle_, static_cast<int>(m.WParam)) : nullptr; break;
    default: child = reinterpret_cast<HWND>(m.LParam); break;  // WM_CTLCOLOR*
  }
  TWinControl* c = FindControl(child);
  if (!c || c == this) return false;
  m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

void TWinControl::WndProc(TMessage& m) {
  bool ownClass = subclass_.Previous() == DefWindowProcA;
  switch (m.Msg) {
    case WM_PAINT:
      if (ownClass) {
        PAINTSTRUCT ps;
        HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(handle_, &ps);
        PaintWindow(dc);
        PaintControls(dc, nullptr);
        if (!m.WParam) EndPaint(handle_, &ps);
        m.Result = 0;
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (ownClass) {
        RECT r;
        GetClientRect(handle_, &r);
        ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, ColorBrush());
        m.Result = 1;
        return;
      }
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return RouteMouse(m);
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetMouseControl(nullptr);
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != handle_) captureControl_ = nullptr;
      break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      if ((m.Msg != WM_COMMAND || m.LParam) && ReflectToChild(m)) return;
      break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Font().Color()));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = reinterpret_cast<LRESULT>(ColorBrush());
      return;
    }
    case WM_SETFOCUS:
      DefaultHandler(m);
      OnEnter(this);
      return;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      OnExit(this);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(m.WParam);
      KeyDown(key, KeyboardShiftState());
      if (key == 0) return;
      m.WParam = key;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(m.WParam);
      KeyUp(key, KeyboardShiftState());
      if (key == 0) return;
      m.WParam = key;
      break;
    }
    case WM_CHAR: {
      char ch = static_cast<char>(m.WParam);
      KeyPress(ch);
      if (ch == 0) return;
      m.WParam = static_cast<unsigned char>(ch);
      break;
    }
    case WM_WINDOWPOSCHANGED: {
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
      return;
    }
    case WM_NCDESTROY: {
      DefaultHandler(m);
      RemovePropA(handle_, kControlProp);
      handle_ = nullptr;
      captureControl_ = mouseControl_ = nullptr;
      trackingLeave_ = false;
      return;
    }
  }
  TControl::WndProc(m);
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
  ReleaseDC(control_.HandleAllocated() ? control_.Handle() : nullptr, dc);
  dc_ = nullptr;
}

TGraphicControl::TGraphicControl(rtl::TComponent* owner) : TControl(owner) {}

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    canvas_.SetHandle(reinterpret_cast<HDC>(m.WParam));
    try {
      Paint();
    } catch (...) {
      canvas_.SetHandle(nullptr);
      throw;
    }
    canvas_.SetHandle(nullptr);
    m.Result = 0;
    return;
  }
  TControl::WndProc(m);
}

TCustomControl::TCustomControl(rtl::TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(*this)) {}

TCustomControl::~TCustomControl() { canvas_->FreeHandle(); }

void TCustomControl::PaintWindow(HDC dc) {
  canvas_->FreeHandle();  // a DC taken outside painting goes back first
  canvas_->SetHandle(dc);
  try {
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    throw;
  }
  canvas_->SetHandle(nullptr);
}

}  // namespace gui

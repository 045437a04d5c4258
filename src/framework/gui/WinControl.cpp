#include "WinControl.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include <windowsx.h>

#include "ExceptionHook.h"
#include "Guards.h"
#include "MessageTrust.h"
#include "Reflection.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TWinControl);

namespace {

thread_local TWinControl* g_creating = nullptr;
int g_nextChildId = 100;

// The control of each window of ours. Kept here rather than in a window property, which any
// program on the desktop could set.
std::unordered_map<HWND, TWinControl*>& ControlsByWindow() {
  static std::unordered_map<HWND, TWinControl*> controls;
  return controls;
}

}  // namespace

TWinControl::TWinControl(rtl::TComponent* owner)
    // The control's chain ends in its DefaultHandler, the window's previous procedure: what comes
    // back from WindowProc is the window's answer.
    : TControl(owner), subclass_([this](TMessage& m) {
        WindowProc(m);
        m.Handled = true;
      }) {}

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
  if (!wnd) return nullptr;
  auto it = ControlsByWindow().find(wnd);
  return it == ControlsByWindow().end() ? nullptr : it->second;
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
  ControlsByWindow()[wnd] = this;
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
  // The framework's own numbers (a reflected message no handler took, a notification) mean
  // nothing to the window's procedure: they stay unhandled, and a parent that reflected one
  // does its own default processing.
  if (!handle_ || IsFrameworkMessage(m.Msg)) return TControl::DefaultHandler(m);
  subclass_.CallPrevious(m);
}

bool TWinControl::Showing() const { return handle_ && IsWindowVisible(handle_); }

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  UpdateBoundsFields(left, top, width, height);
  if (handle_) SetWindowPos(handle_, nullptr, left, top, width, WindowHeight(height), SWP_NOZORDER | SWP_NOACTIVATE);
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
  // The leaving control's handler may free this control or the one entered.
  rtl::TAliveToken alive = AliveToken(), entered = c ? c->AliveToken() : rtl::TAliveToken();
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (c && alive && entered && mouseControl_ == c) c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
}

bool TWinControl::ReflectToChild(TMessage& m) {
  if (!handle_ || !IsReflectedMessage(m.Msg)) return false;
  TWinControl* c = FindControl(ReflectionTarget(handle_, m));
  if (!c || c == this) return false;
  TMessage reflected{CN_BASE + m.Msg, m.WParam, m.LParam};
  c->WindowProc(reflected);
  // Left unhandled, the message is this window's again: its own default processing answers.
  if (!reflected.Handled) return false;
  m.Answer(reflected.Result);
  return true;
}

bool TWinControl::KeyPreviewed(TMessage& m) {
  rtl::TAliveToken alive = AliveToken();
  for (TWinControl* p = parent_; p; p = p->parent_) {
    rtl::TAliveToken previewer = p->AliveToken();
    if (p->PreviewKey(m) || !alive) return true;  // swallowed, or this control is gone
    if (!previewer) return false;
  }
  return false;
}

bool TWinControl::KeyHandled(TMessage& m) {
  rtl::TAliveToken alive = AliveToken();
  bool swallowed = KeyPreviewed(m) || (alive && DoKeyMessage(m));
  if (!alive) return true;  // a handler freed this control: nothing of it is touched again
  if (swallowed) m.Answer(0);
  return swallowed;
}

void TWinControl::WndProc(TMessage& m) {
  rtl::TAliveToken alive = AliveToken();
  if (ReflectToChild(m) || !alive) return;
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
  m.Answer(0);
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  if (!ownClass_) return DefaultHandler(m);
  RECT r;
  GetClientRect(handle_, &r);
  ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, ColorBrush());
  m.Answer(1);
}

void TWinControl::WMMouse(TMessage& m) {
  rtl::TAliveToken alive = AliveToken();
  POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (m.Msg == WM_MOUSEMOVE) {
    TControl* under = ControlAtPos(p);
    SetMouseControl(under ? under : this);
    if (!alive) return;
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
  m.Answer(0);
  target->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
  if (!alive) return;  // the handler freed this control (its form, say)
  // A freed target has already left captureControl_ (RemoveControl).
  bool up = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
  if (up && !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && captureControl_ == target) {
    captureControl_ = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
  }
}

void TWinControl::WMMouseLeave(TMessage& m) {
  trackingLeave_ = false;
  rtl::TAliveToken alive = AliveToken();
  SetMouseControl(nullptr);
  if (alive) DefaultHandler(m);
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
      m.Answer(TRUE);
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
  if (!KeyHandled(m)) DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  if (!KeyHandled(m)) DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  if (!KeyHandled(m)) DefaultHandler(m);
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  rtl::TAliveToken alive = AliveToken();
  DefaultHandler(m);  // WM_SIZE and WM_MOVE from here reach handlers that may free this control
  if (!alive) return;
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
  ControlsByWindow().erase(handle_);
  handle_ = nullptr;
  captureControl_ = mouseControl_ = nullptr;
  trackingLeave_ = false;
}

void TWinControl::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(Font().Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  m.Answer(reinterpret_cast<LRESULT>(ColorBrush()));
}

void TWinControl::GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const {
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
}

}  // namespace gui

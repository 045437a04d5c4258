#include "Forms.h"

#include <algorithm>

#include "Guards.h"
#include "MessageTrust.h"
#include "rtl/Filer.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TForm);

static const std::vector<std::string> kBorderStyleNames = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
static const std::vector<std::string> kBorderIconNames = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
static const std::vector<std::string> kPositionNames = {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                                        "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
static const std::vector<std::string> kWindowStateNames = {"wsNormal", "wsMinimized", "wsMaximized"};

namespace {

// How ShowWindow puts a window into a state: shown from hidden, or a shown window changing it.
struct TStateCommands {
  int fromHidden;
  int whileShown;
};
constexpr TStateCommands kShowCommands[] = {
    {SW_SHOWNORMAL, SW_RESTORE}, {SW_SHOWMINIMIZED, SW_MINIMIZE}, {SW_SHOWMAXIMIZED, SW_MAXIMIZE}};

int ShowCommand(TWindowState state, bool shown = false) {
  const TStateCommands& c = kShowCommands[state];
  return shown ? c.whileShown : c.fromHidden;
}

// Shown, or minimised and hidden with its owner (Windows hides an owned window while its owner,
// the application window, is minimised).
bool Shown(HWND wnd) { return IsWindowVisible(wnd) || IsIconic(wnd); }

}  // namespace


TForm::TForm(rtl::TComponent* owner) : TCustomControl(owner), icon_(std::make_unique<TIcon>()) {
  SetVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  icon_->OnChange.Bind(this, &TForm::ApplyIcon);
  UpdateBoundsFields(0, 0, 320, 240);
  if (Application) Application->FormConstructing(this);
}

TForm::~TForm() {
  Destroying();
  DestroyComponents();
  DestroyHandle();
}

void TForm::DeclareProperties(rtl::TClassBuilder<TForm>& b) {
  // A form stores its client size, not its outer size.
  auto never = [](const rtl::TObject*) { return false; };
  b.IntNoDefault("Width", &TForm::Width, &TForm::SetWidth).Stored = never;
  b.IntNoDefault("Height", &TForm::Height, &TForm::SetHeight).Stored = never;
  b.Int("Color", &TForm::Color, &TForm::SetColor, clBtnFace).Idents = &ColorIdents();
  b.Bool("Visible", &TForm::Visible, &TForm::SetVisible, false);
  b.Bool("ParentFont", &TForm::ParentFont, &TForm::SetParentFont, false);
  b.Set("BorderIcons", kBorderIconNames, &TForm::BorderIcons, &TForm::SetBorderIcons, 7);
  b.Enum("BorderStyle", kBorderStyleNames, &TForm::BorderStyle, &TForm::SetBorderStyle, bsSizeable);
  b.IntNoDefault("ClientHeight", &TForm::StoredClientHeight, &TForm::SetClientHeight);
  b.IntNoDefault("ClientWidth", &TForm::StoredClientWidth, &TForm::SetClientWidth);
  b.Object("Icon", &TForm::IconObject);
  b.Bool("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview, false);
  b.Ref<TMainMenu>("Menu", &TForm::Menu, &TForm::SetMenu);
  b.Enum("Position", kPositionNames, &TForm::Position, &TForm::SetPosition, poDesigned);
  b.Enum("WindowState", kWindowStateNames, &TForm::WindowState, &TForm::SetWindowState, wsNormal);
  b.Int("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch, 96);
  b.Int("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight, 13);
  b.Event("OnActivate", &TForm::OnActivate);
  b.Event("OnClose", &TForm::OnClose);
  b.Event("OnCloseQuery", &TForm::OnCloseQuery);
  b.Event("OnCreate", &TForm::OnCreate);
  b.Event("OnDeactivate", &TForm::OnDeactivate);
  b.Event("OnDestroy", &TForm::OnDestroy);
  b.Event("OnHide", &TForm::OnHide);
  b.Event("OnPaint", &TForm::OnPaint);
  b.Event("OnResize", &TForm::OnResize);
  b.Event("OnShow", &TForm::OnShow);
}

void TForm::InitFromResource() {
  std::string name = rtl::UpperCase(ClassName());
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL data = res ? LoadResource(instance, res) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) throw rtl::EResNotFound("Resource " + name + " not found");
  rtl::TReadOnlyMemoryStream stream(bytes, SizeofResource(instance, res));
  rtl::ReadComponentFromStream(stream, this);
  // Positions, sizes and fonts were designed at PixelsPerInch; follow the screen's resolution.
  int dpi = GetDeviceCaps(TScreenDC(), LOGPIXELSY);
  if (dpi != pixelsPerInch_) ScaleBy(dpi, pixelsPerInch_);
  HandleNeeded();
  OnCreate(this);
}

DWORD TForm::WindowStyle() const {
  DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  bool sys = borderIcons_ & (1u << biSystemMenu);
  switch (borderStyle_) {
    case bsNone: style |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; break;
  }
  if (borderStyle_ != bsNone && sys) {
    style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
      if (borderIcons_ & (1u << biMinimize)) style |= WS_MINIMIZEBOX;
      if (borderIcons_ & (1u << biMaximize)) style |= WS_MAXIMIZEBOX;
    }
  }
  return style;
}

DWORD TForm::WindowExStyle() const {
  DWORD ex = WS_EX_CONTROLPARENT;
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) ex |= WS_EX_TOOLWINDOW;
  if (borderStyle_ == bsDialog) ex |= WS_EX_DLGMODALFRAME;
  return ex;
}

void TForm::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WindowStyle();  // created hidden; Show makes it visible
  p.ExStyle = WindowExStyle();
  // The main form's window is owned by the application window, which carries the taskbar button.
  p.WndParent = IsMainForm() ? Application->Handle() : nullptr;
  p.Menu = menu_ ? menu_->Handle() : nullptr;
  if (clientSizeSet_) {
    RECT r{0, 0, clientWidth_, clientHeight_};
    AdjustWindowRectEx(&r, p.Style, menu_ != nullptr, p.ExStyle);
    p.Width = r.right - r.left;
    p.Height = r.bottom - r.top;
    UpdateBoundsFields(left_, top_, p.Width, p.Height);
  }
}

void TForm::CreateHandleDone() {
  if (menu_) menu_->SetWindow(Handle());
  // The menu bar may wrap or the frame differ from the estimate: correct by what was measured.
  if (clientSizeSet_) SetClientSize(clientWidth_, clientHeight_);
  // The window answers WM_GETICON with the form's icon (the platform asks as it makes the window's
  // frame): set on the window, or given to its class, the platform would convert the image again.
}

bool TForm::IsMainForm() const { return Application && Application->MainForm() == this; }

HICON TForm::WindowIcon() const {
  HICON icon = icon_->Handle();
  return icon ? icon : ProgramIcon();
}

void TForm::ApplyIcon(rtl::TObject*) {
  if (!HandleAllocated()) return;
  HICON icon = WindowIcon();
  SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void TForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  // The extended styles of a tool window or a dialog frame only take at creation.
  RecreateWnd();
}

void TForm::RecreateWnd() {
  if (!HandleAllocated()) return;
  HWND old = Handle();
  text_ = GetText();
  bool shown = IsWindowVisible(old) != FALSE;
  windowState_ = WindowState();
  if (menu_) ::SetMenu(old, nullptr);  // DestroyWindow would destroy the menu with the window
  DestroyHandle();
  HandleNeeded();
  if (shown) ShowWindow(Handle(), ShowCommand(windowState_));
}

void TForm::SetBorderIcons(TBorderIcons v) {
  if (v == borderIcons_) return;
  borderIcons_ = v;
  if (HandleAllocated()) {
    SetWindowLongPtrA(Handle(), GWL_STYLE, WindowStyle() | (IsWindowVisible(Handle()) ? WS_VISIBLE : 0));
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
}

RECT TForm::ClientRect() const {
  if (!HandleAllocated() && clientSizeSet_) return RECT{0, 0, clientWidth_, clientHeight_};
  return TCustomControl::ClientRect();
}

void TForm::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  clientSizeSet_ = true;
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT c;
    GetClientRect(wnd, &c);
    int dw = width - c.right, dh = height - c.bottom;
    if (dw == 0 && dh == 0) break;
    RECT w;
    GetWindowRect(wnd, &w);
    SetWindowPos(wnd, nullptr, 0, 0, w.right - w.left + dw, w.bottom - w.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

TWindowState TForm::WindowState() const {
  if (HWND wnd = WindowHandle(); wnd && Shown(wnd)) {
    if (IsIconic(wnd)) return wsMinimized;
    if (IsZoomed(wnd)) return wsMaximized;
    return wsNormal;
  }
  return windowState_;
}

void TForm::SetWindowState(TWindowState v) {
  windowState_ = v;
  if (!HandleAllocated() || !Shown(Handle()) || IsLoading() || v == WindowState()) return;
  HWND wnd = Handle();
  if (!IsIconic(wnd) || v != wsNormal) {
    ShowWindow(wnd, ShowCommand(v, true));
    return;
  }
  // A window minimised from maximised would come back maximised: its placement says so, and
  // normal is asked for. Wine keeps that flag whatever the placement says, so a window that
  // still came back maximised is restored once more.
  WINDOWPLACEMENT placement{sizeof placement};
  GetWindowPlacement(wnd, &placement);
  placement.flags &= ~WPF_RESTORETOMAXIMIZED;
  placement.showCmd = ShowCommand(v, true);
  SetWindowPlacement(wnd, &placement);
  if (IsZoomed(wnd)) ShowWindow(wnd, ShowCommand(v, true));
}

void TForm::SetMenu(TMainMenu* m) {
  if (m == menu_) return;
  if (menu_) menu_->SetWindow(nullptr);
  menu_.Set(m);
  if (HandleAllocated()) {
    if (m)
      m->SetWindow(Handle());
    else
      ::SetMenu(Handle(), nullptr);
    if (clientSizeSet_) SetClientSize(clientWidth_, clientHeight_);
  }
}

void TForm::GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const {
  TCustomControl::GetChildren(proc, root);
  // The root form also holds its components that sit on no control (menus, non-visual ones).
  if (root == this)
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) proc(Components(i));
}

void TForm::Center() {
  RECT r;
  GetWindowRect(Handle(), &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  rtl::TAliveToken alive = AliveToken();
  SetVisible(true);  // an OnShow or OnActivate handler may free the form
  if (alive && HandleAllocated()) BringWindowToTop(Handle());
}

void TForm::VisibleChanged() {
  if (!HandleAllocated() || IsLoading()) return;
  rtl::TAliveToken alive = AliveToken();
  bool main = IsMainForm();
  if (Visible()) {
    if (!centred_ && (position_ == poScreenCenter || position_ == poDesktopCenter)) Center();
    centred_ = true;
    if (main) Application->MainFormShown(true);  // the taskbar button comes first
    ShowWindow(Handle(), ShowCommand(windowState_));
    if (!alive) return;
    if (!ActiveControl()) SelectNext(true);
    if (alive) OnShow(this);
  } else {
    ShowWindow(Handle(), SW_HIDE);
    if (main) Application->MainFormShown(false);
    if (alive) OnHide(this);
  }
}

static void ScaleChildren(TWinControl* parent, int m, int d) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    c->SetBounds(MulDiv(c->Left(), m, d), MulDiv(c->Top(), m, d), MulDiv(c->Width(), m, d), MulDiv(c->Height(), m, d));
    if (!c->ParentFont()) c->Font().SetHeight(MulDiv(c->Font().Height(), m, d));
    if (auto* w = rtl::As<TWinControl>(c)) ScaleChildren(w, m, d);
  }
}

void TForm::ScaleBy(int m, int d) {
  if (m == d || m <= 0 || d <= 0) return;
  Font().SetHeight(MulDiv(Font().Height(), m, d));  // controls that follow it follow here
  if (clientSizeSet_) SetClientSize(MulDiv(clientWidth_, m, d), MulDiv(clientHeight_, m, d));
  ScaleChildren(this, m, d);
  pixelsPerInch_ = MulDiv(pixelsPerInch_, m, d);
}

void TForm::BeforeDestruction() { OnDestroy(this); }

bool TForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  rtl::TAliveToken alive = AliveToken();  // the handlers may free the form
  if (!CloseQuery() || !alive) return;
  TCloseAction action = caHide;
  OnClose(this, action);
  if (!alive || action == caNone) return;
  if (IsMainForm()) {
    Application->Terminate();
    Hide();
    return;
  }
  if (action == caHide) Hide();
  if (action == caMinimize) SetWindowState(wsMinimized);
  if (action == caFree) Release();
}

void TForm::Release() { ReleaseLater(this); }

TWinControl* TForm::ActiveControl() const {
  HWND wnd = WindowHandle();
  if (!wnd) return nullptr;
  HWND focus = GetFocus();
  for (HWND w = focus; w && w != wnd; w = GetParent(w))
    if (TWinControl* c = FindControl(w)) return c;
  return nullptr;
}

void TForm::SetActiveControl(TWinControl* c) {
  if (c) c->SetFocus();
}

static void CollectTabOrder(TWinControl* parent, std::vector<TWinControl*>& out) {
  for (TWinControl* c : parent->TabList()) {
    if (!c->Visible() || !c->Enabled()) continue;
    if (c->TabStop()) out.push_back(c);
    CollectTabOrder(c, out);
  }
}

void TForm::SelectNext(bool forward) {
  std::vector<TWinControl*> order;
  CollectTabOrder(this, order);
  if (order.empty()) return;
  TWinControl* current = ActiveControl();
  auto it = std::find(order.begin(), order.end(), current);
  size_t i;
  if (it == order.end())
    i = forward ? 0 : order.size() - 1;
  else if (forward)
    i = (static_cast<size_t>(it - order.begin()) + 1) % order.size();
  else
    i = (static_cast<size_t>(it - order.begin()) + order.size() - 1) % order.size();
  order[i]->SetFocus();
}

bool TForm::IsShortCut(WORD key, TShiftState shift) {
  TShortCut s = key;
  if (shift & ssShift) s |= scShift;
  if (shift & ssCtrl) s |= scCtrl;
  if (shift & ssAlt) s |= scAlt;
  return menu_ && menu_->IsShortCut(s);
}

static bool BroadcastDialogChar(TWinControl* parent, char ch) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->Visible() || !c->Enabled()) continue;
    if (c->Perform(CM_DIALOGCHAR, static_cast<unsigned char>(ch), 0)) return true;
    if (auto* w = rtl::As<TWinControl>(c); w && BroadcastDialogChar(w, ch)) return true;
  }
  return false;
}

bool TForm::DialogChar(char ch) { return BroadcastDialogChar(this, ch); }

bool TForm::PreviewKey(TMessage& m) {
  if (!keyPreview_) return false;
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR: return DoKeyMessage(m);
  }
  return false;
}

void TForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      m.Answer(0);
      return Close();
    case WM_COMMAND:
      if (m.LParam == 0 && menu_ && menu_->DispatchCommand(LOWORD(m.WParam))) {
        m.Answer(0);  // the item's handler may have freed the form: nothing more of it here
        return;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(m.WParam) == WA_INACTIVE) {
        lastFocus_ = GetFocus();
        rtl::TAliveToken alive = AliveToken();
        OnDeactivate(this);
        if (!alive) return;
      } else {
        // Give the focus back to the control that had it, else to the first in tab order. The
        // controls' OnEnter handlers may free the form.
        rtl::TAliveToken alive = AliveToken();
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)) {
          ::SetFocus(lastFocus_);
        } else {
          DefaultHandler(m);
          if (alive && !ActiveControl()) SelectNext(true);
        }
        m.Answer(0);
        if (alive) OnActivate(this);
        return;
      }
      break;
    case WM_NCCREATE:
      bigIconSet_ = smallIconSet_ = false;  // a new window
      break;
    case WM_SETICON:
      (m.WParam == ICON_BIG ? bigIconSet_ : smallIconSet_) = true;
      break;
    case WM_GETICON:
      // An icon nobody set is the form's, as if it had been set when the window was made.
      if (m.WParam > ICON_SMALL2 || (m.WParam == ICON_BIG ? bigIconSet_ : smallIconSet_)) break;
      m.Answer(reinterpret_cast<LRESULT>(WindowIcon()));
      return;
    case WM_SIZE: {
      rtl::TAliveToken alive = AliveToken();
      TCustomControl::WndProc(m);
      if (!alive) return;
      if (IsMainForm() && m.WParam <= SIZE_MAXIMIZED)
        Application->MainFormMinimized(m.WParam == SIZE_MINIMIZED);
      if (m.WParam != SIZE_MINIMIZED) AlignControls();
      OnResize(this);
      return;
    }
  }
  TCustomControl::WndProc(m);
}

TForm* GetParentForm(TControl* control) {
  if (!control) return nullptr;
  while (control->Parent()) control = control->Parent();
  return rtl::As<TForm>(control);
}

}  // namespace gui

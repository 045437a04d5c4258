#include "Application.h"

#include <commctrl.h>

#include "ExceptionHook.h"
#include "Forms.h"
#include "Icon.h"
#include "MessageTrust.h"
#include "rtl/Exceptions.h"
#include "SystemLibrary.h"
#include "WindowClass.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TApplication);

TApplication* Application = nullptr;

static void AppExceptionHandler(std::exception_ptr e) {
  if (Application) Application->HandleException(e);
}

TApplication::TApplication(rtl::TComponent* owner) : TComponent(owner) {
  Application = this;
  SetExceptionHandler(&AppExceptionHandler);
  GuardThreadQueue();
}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
  // After the forms: the window would take the main form's window with it.
  if (handle_) DestroyWindow(handle_);
  SetExceptionHandler(nullptr);
  UnguardThreadQueue();
  if (Application == this) Application = nullptr;
}

// The common controls (the status bar's class) from the system folder, bound here rather than
// imported: an import is resolved by the loader before the program's entry, where a library of
// that name beside the program would be taken first. Loaded once and kept, as an import would be.
void TApplication::Initialize() {
  static const HMODULE controls = LoadSystemLibrary("comctl32.dll");
  using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = LibraryFunction<TInit>(controls, "InitCommonControlsEx");
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  if (init) init(&icc);
}

void TApplication::SetTitle(const std::string& v) {
  title_ = v;
  if (handle_) SetWindowTextA(handle_, title_.c_str());
}

void TApplication::Notification(rtl::TComponent* c, rtl::TOperation op) {
  TComponent::Notification(c, op);
  if (op != rtl::TOperation::opRemove || c != mainForm_) return;
  mainForm_ = nullptr;
  if (handle_) ShowWindow(handle_, SW_HIDE);  // no button for a form that is gone
}

void TApplication::FormConstructing(TForm* form) {
  if (!claimMainForm_ || form->Owner() != this) return;
  mainForm_ = form;
  claimMainForm_ = false;
}

static const char* kApplicationClass = "TApplication";

HWND TApplication::Handle() {
  if (handle_) return handle_;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  EnsureWindowClass(kApplicationClass, DefWindowProcA);
  // A caption for the taskbar's text and system menu; no size, and off every screen: it has
  // nothing to show (Wine would put a pixel of it on the screen).
  handle_ = CreateWindowExA(0, kApplicationClass, title_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, -32000, -32000, 0,
                            0, nullptr, nullptr, instance, nullptr);
  if (!handle_) throw rtl::EOutOfResources(rtl::msg::kOutOfResources);
  subclass_ = std::make_unique<TSubclass>([this](TMessage& m) { WndProc(m); });
  subclass_->Install(handle_);
  return handle_;
}

void TApplication::MainFormShown(bool shown) {
  if (handle_ && (IsWindowVisible(handle_) != FALSE) != shown) ShowWindow(handle_, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TApplication::MainFormMinimized(bool minimized) {
  if (!handle_ || !IsWindowVisible(handle_) || (IsIconic(handle_) != FALSE) == minimized) return;
  // The form is (or was) the active window and stays so: the taskbar only follows it. Wine
  // activates a window it restores all the same; the activation comes back to the form below.
  ShowWindow(handle_, minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
}

void TApplication::WndProc(TMessage& m) {
  HWND form = mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : nullptr;
  switch (m.Msg) {
    case WM_CLOSE:  // the taskbar's Close: the main form's, which ends the program
      m.Answer(0);
      if (mainForm_) mainForm_->Close();
      return;
    case WM_SYSCOMMAND: {
      // The taskbar's minimise and restore are the form's own; this window follows the form.
      UINT command = m.WParam & 0xFFF0;
      if (!form || (command != SC_MINIMIZE && command != SC_RESTORE)) break;
      if (command == SC_RESTORE) subclass_->CallPrevious(m);
      m.Answer(0);
      SendMessageA(form, WM_SYSCOMMAND, command, m.LParam);
      return;
    }
    case WM_GETICON:  // the taskbar button's icon: the program's, unless one was set
      subclass_->CallPrevious(m);
      if (!m.Result && m.WParam <= ICON_SMALL2) m.Answer(reinterpret_cast<LRESULT>(ProgramIcon()));
      return;
    case WM_SETFOCUS:
      // Activated (from the taskbar, or by a restore): the form takes the activation, or the
      // window it is waiting for (a message box, the About box).
      if (form && IsWindowVisible(form) && !IsIconic(form)) {
        m.Answer(0);
        SetActiveWindow(GetLastActivePopup(form));
        return;
      }
      break;
  }
}

void TApplication::Terminate() {
  if (!terminated_) PostQuitMessage(0);
  terminated_ = true;
}

bool TApplication::PreTranslate(MSG& msg) {
  if (OnMessage && OnMessage(msg)) return true;
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_SYSCHAR) return false;
  HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  auto* form = rtl::As<TForm>(TWinControl::FindControl(top));
  if (!form) return false;
  if (msg.message == WM_SYSCHAR) return form->DialogChar(static_cast<char>(msg.wParam));
  TShiftState shift = KeyboardShiftState();
  if (form->IsShortCut(static_cast<WORD>(msg.wParam), shift)) return true;
  if (msg.wParam == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    // A control that wants the Tab key itself says so.
    if (!(SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTTAB)) {
      form->SelectNext(!(shift & ssShift));
      return true;
    }
  }
  return false;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  try {
    if (!PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    HandleException(std::current_exception());
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) WaitMessage();
}

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = GetActiveWindow();
  if (!owner && mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->Handle();
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::HandleException(std::exception_ptr e) {
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& x) {
    if (OnException) return OnException(x);
    MessageBox(x.what(), title_, MB_OK | MB_ICONSTOP);
  } catch (...) {
    MessageBox("Unknown error", title_, MB_OK | MB_ICONSTOP);
  }
}

}  // namespace gui

#include "Application.h"

#include <commctrl.h>

#include "ExceptionHook.h"
#include "Forms.h"
#include "SystemLibrary.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TApplication);

TApplication* Application = nullptr;

static void AppExceptionHandler(std::exception_ptr e) {
  if (Application) Application->HandleException(e);
}

TApplication::TApplication(rtl::TComponent* owner) : TComponent(owner) {
  Application = this;
  SetExceptionHandler(&AppExceptionHandler);
}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
  SetExceptionHandler(nullptr);
  if (Application == this) Application = nullptr;
}

// The common controls (the status bar's class) from the system folder, bound here rather than
// imported: an import is resolved by the loader before the program's entry, where a library of
// that name beside the program would be taken first. Loaded once and kept, as an import would be.
void TApplication::Initialize() {
  static const HMODULE controls = LoadSystemLibrary("comctl32.dll");
  using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = controls ? reinterpret_cast<TInit>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")))
                       : nullptr;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  if (init) init(&icc);
}

void TApplication::SetTitle(const std::string& v) { title_ = v; }

void TApplication::Notification(rtl::TComponent* c, rtl::TOperation op) {
  TComponent::Notification(c, op);
  if (op == rtl::TOperation::opRemove && c == mainForm_) mainForm_ = nullptr;
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

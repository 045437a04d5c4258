#include "UtilWindow.h"

#include "ExceptionHook.h"
#include "rtl/Exceptions.h"

namespace gui {

static const char* kUtilClass = "TessalineUtilWindow";

TUtilWindow::TUtilWindow(Handler handler) : handler_(std::move(handler)), thunk_(this, &TUtilWindow::Proc) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, kUtilClass, &wc)) {
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = kUtilClass;
    RegisterClassA(&wc);
  }
  // A top-level popup, never shown: unlike message-only windows it also hears broadcasts.
  handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!handle_) throw rtl::EOutOfResources(rtl::msg::kOutOfResources);
  SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(thunk_.Proc()));
}

TUtilWindow::~TUtilWindow() {
  if (!handle_) return;
  // Back to the default procedure first: destruction messages must not reach a half-gone object.
  SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
  DestroyWindow(handle_);
}

LRESULT CALLBACK TUtilWindow::Proc(void* object, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<TUtilWindow*>(object);
  TMessage m{msg, wParam, lParam, 0};
  try {
    if (self->handler_ && self->handler_(m)) return m.Result;
  } catch (...) {
    HandleException(std::current_exception());
    return 0;
  }
  return DefWindowProcA(self->handle_, msg, wParam, lParam);
}

TTimer::TTimer()
    : window_([this](TMessage& m) {
        if (m.Msg != WM_TIMER) return false;
        if (OnTimer) OnTimer();
        return true;
      }) {}

TTimer::~TTimer() { KillTimer(window_.Handle(), 1); }

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Update();
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Update();
}

void TTimer::Update() {
  KillTimer(window_.Handle(), 1);
  if (enabled_ && interval_ > 0) SetTimer(window_.Handle(), 1, interval_, nullptr);
}

}  // namespace gui

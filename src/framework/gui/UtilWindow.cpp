#include "UtilWindow.h"

#include "ExceptionHook.h"
#include "rtl/Exceptions.h"

namespace gui {

static const char* kUtilClass = "TessalineUtilWindow";

TUtilWindow::TUtilWindow(Handler handler)
    : handler_(std::move(handler)), subclass_([this](TMessage& m) { Dispatch(m); }) {
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
  subclass_.Install(handle_);
}

TUtilWindow::~TUtilWindow() {
  if (!handle_) return;
  // Out of the chain first: destruction messages must not reach a half-gone object.
  subclass_.Uninstall();
  DestroyWindow(handle_);
}

void TUtilWindow::Dispatch(TMessage& m) {
  if (handler_ && handler_(m)) return;
  subclass_.CallPrevious(m);
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

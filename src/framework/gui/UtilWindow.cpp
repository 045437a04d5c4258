#include "UtilWindow.h"

#include "WindowClass.h"
#include "rtl/Exceptions.h"

namespace gui {

static const char* kUtilClass = "TessalineUtilWindow";

TUtilWindow::TUtilWindow(Handler handler, int)
    : handler_(std::move(handler)), subclass_([this](TMessage& m) { Dispatch(m); }) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  EnsureWindowClass(kUtilClass, DefWindowProcA);
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

void TUtilWindow::Release(std::unique_ptr<TUtilWindow> window) {
  if (!window) return;
  if (!window->InProcedure()) return;  // freed here, on the way out
  window->released_ = true;
  (void)window.release();  // the outermost Dispatch frees it
}

void TUtilWindow::Dispatch(TMessage& m) {
  // Counted, so that a Release from inside waits for the outermost message to be done.
  struct TDepth {
    TUtilWindow* w;
    explicit TDepth(TUtilWindow* w) : w(w) { ++w->depth_; }
    ~TDepth() {
      if (--w->depth_ == 0 && w->released_) delete w;  // nothing of it is touched after this
    }
  } depth(this);
  if (!released_ && handler_) handler_(m);
  // The default while this object still exists: a released one goes with the depth count.
  if (!m.Handled) subclass_.CallPrevious(m);
}

}  // namespace gui

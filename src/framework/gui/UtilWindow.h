// Hidden utility windows whose messages go to an object (timers, notifier windows, popups).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "Messages.h"
#include "Subclass.h"

namespace gui {

class TUtilWindow {
 public:
  // The handler answers a message (m.Answer) or leaves it to the platform's default procedure.
  using Handler = TSubclass::Handler;
  template <class F>
  explicit TUtilWindow(F handler) : TUtilWindow(Handler(std::move(handler)), 0) {
    static_assert(std::is_void_v<std::invoke_result_t<F&, TMessage&>>, "a handler answers through m.Answer");
  }
  // No handler: every message gets default processing.
  explicit TUtilWindow(std::nullptr_t) : TUtilWindow(Handler(), 0) {}
  // Never from inside the window's own procedure: use Release there.
  ~TUtilWindow();
  TUtilWindow(const TUtilWindow&) = delete;
  TUtilWindow& operator=(const TUtilWindow&) = delete;
  HWND Handle() const { return handle_; }

  // Frees a utility window safely from anywhere, its own procedure included (a handler that
  // ends the very thing the window serves): at once when none of its messages is being handled,
  // otherwise when the outermost one has returned. From this call on its handler hears nothing;
  // messages still arriving (or queued) get default processing, then go with the window.
  static void Release(std::unique_ptr<TUtilWindow> window);
  // A message of this window is being handled (possibly several, nested).
  bool InProcedure() const { return depth_ > 0; }

 private:
  TUtilWindow(Handler handler, int);
  void Dispatch(TMessage& m);
  Handler handler_;
  TSubclass subclass_;
  HWND handle_ = nullptr;
  int depth_ = 0;
  bool released_ = false;
};

}  // namespace gui

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
  // The handler returns true when it handled the message (m.Result is the answer); otherwise the
  // platform's default procedure answers.
  using Handler = std::function<bool(TMessage& m)>;
  explicit TUtilWindow(Handler handler);
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
  void Dispatch(TMessage& m);
  Handler handler_;
  TSubclass subclass_;
  HWND handle_ = nullptr;
  int depth_ = 0;
  bool released_ = false;
};

}  // namespace gui

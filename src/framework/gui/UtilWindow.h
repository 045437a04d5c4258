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
  ~TUtilWindow();
  TUtilWindow(const TUtilWindow&) = delete;
  TUtilWindow& operator=(const TUtilWindow&) = delete;
  HWND Handle() const { return handle_; }

 private:
  void Dispatch(TMessage& m);
  Handler handler_;
  TSubclass subclass_;
  HWND handle_ = nullptr;
};

// Calls OnTimer every Interval milliseconds while Enabled.
class TTimer {
 public:
  TTimer();
  ~TTimer();
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  std::function<void()> OnTimer;

 private:
  void Update();
  TUtilWindow window_;
  unsigned interval_ = 1000;
  bool enabled_ = false;
};

}  // namespace gui

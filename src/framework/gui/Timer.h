// The timer component: OnTimer every Interval milliseconds while Enabled, from the thread's
// message loop (WM_TIMER of a hidden window of its own). A control or form can own one.
#pragma once

#include <memory>

#include "UtilWindow.h"
#include "rtl/Component.h"

namespace gui {

class TTimer : public rtl::TComponent {
  RTL_CLASS(TTimer, rtl::TComponent)
 public:
  // Runs at once with the defaults (1000 ms, enabled), unless it is being loaded.
  explicit TTimer(rtl::TComponent* owner);
  ~TTimer() override;

  int Interval() const { return interval_; }
  // Milliseconds; 0 stops the timer (as does a negative value, stored as 0).
  void SetInterval(int ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  // Told on every tick; an unassigned event lets the ticks pass.
  rtl::TNotifyEvent OnTimer;

  void Loaded() override;
  static void DeclareProperties(rtl::TClassBuilder<TTimer>& b);

 protected:
  virtual void Timer() { OnTimer(this); }

 private:
  void UpdateTimer();
  std::unique_ptr<TUtilWindow> window_;
  int interval_ = 1000;
  bool enabled_ = true;
};

}  // namespace gui

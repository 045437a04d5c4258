// Any number of timed triggers on one hidden window and one window timer, whose period is
// chosen so that its ticks serve every trigger.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "UtilWindow.h"
#include "entry/EcComponent.h"
#include "rtl/Component.h"

namespace ec {

// (Sender: the pool, Handle, Interval, ElapsedTime).
using TTriggerEvent = rtl::TEvent<rtl::TObject*, int, uint32_t, int>;

struct TriggerRecord {
  int32_t Handle = 0;
  int32_t ElapsedTime = 0;  // sum of the elapsed times of all firings, saturating
  uint32_t Interval = 0;    // ms, never below kMinTriggerInterval
  uint32_t LastTime = 0;    // tick count of the last firing, or of creation
  TTriggerEvent OnTrigger;
  bool Recurring = false;
};

// The millisecond tick count the pool reads. Tests set their own to reach wrapped counters and
// overdue triggers; null restores the platform's GetTickCount.
using TTickCountSource = uint32_t (*)();
void SetTickCountSource(TTickCountSource source);
uint32_t CurrentTickCount();

// The shortest period of a trigger and of the window timer (one tick of the old PC clock).
inline constexpr uint32_t kMinTriggerInterval = 55;
// A trigger may fire this much before its full interval has passed.
inline constexpr uint32_t kEarlyAllowance = 27;

class TEcTimerPool : public rtl::TComponent {
  RTL_CLASS(TEcTimerPool, rtl::TComponent)
 public:
  explicit TEcTimerPool(rtl::TComponent* owner);
  ~TEcTimerPool() override;

  // A recurring trigger; returns its handle. ENoTimersAvailable when the window timer is
  // refused: the pool is then as it was, without the trigger.
  int AddTrigger(uint32_t interval, TTriggerEvent onTrigger);
  // A trigger removed when it first fires (before its handler runs); returns its handle.
  int AddOneTimeTrigger(uint32_t interval, TTriggerEvent onTrigger);
  // A handle that no trigger has is ignored. Never raises: should the window timer refuse the
  // new period, the running one keeps firing for the triggers that are left.
  void RemoveTrigger(int handle);
  // Fires the due triggers; runs for every timer message of the pool's window.
  virtual void DoTimer();

  // Called after a trigger's own handler for every firing.
  TTriggerEvent OnAllTriggers;

  uint32_t TimerInterval() const { return timerInterval_; }
  int TriggerCount() const { return triggerCount_; }
  // The trigger at a position of the list (ascending interval), or with a handle; null if none.
  const TriggerRecord* Trigger(int index) const;
  const TriggerRecord* FindTrigger(int handle) const;
  HWND WindowHandle() const { return window_ ? window_->Handle() : nullptr; }

  std::string About() const { return kEcAboutText; }
  void SetAbout(const std::string&) {}
  static void DeclareProperties(rtl::TClassBuilder<TEcTimerPool>& b);

 private:
  static constexpr UINT_PTR kTimerId = 1;
  void HandleMessage(gui::TMessage& m);
  int AddRecord(uint32_t interval, TTriggerEvent onTrigger, bool recurring);
  int IndexOfHandle(int handle) const;
  void CalcNewInterval();
  void SortTriggers();
  // Sets the window timer to TimerInterval (replacing the running one), or stops it when no
  // trigger needs it; false when the platform refused.
  bool ResetTimer();

  std::vector<std::unique_ptr<TriggerRecord>> triggers_;
  // Made with the first trigger. A handler that frees the pool (its controller, its form) does so
  // inside this window's own procedure: the window is released, not destroyed under itself.
  std::unique_ptr<gui::TUtilWindow> window_;
  uint32_t timerInterval_ = 0;
  int triggerCount_ = 0;
};

}  // namespace ec

#include "entry/EcTimer.h"

#include <algorithm>
#include <climits>

#include "ExceptionHook.h"
#include "entry/EcExcept.h"

namespace ec {

RTL_IMPLEMENT_CLASS(TEcTimerPool);

namespace {

TTickCountSource g_tickSource = nullptr;

}  // namespace

void SetTickCountSource(TTickCountSource source) { g_tickSource = source; }

uint32_t CurrentTickCount() { return g_tickSource ? g_tickSource() : GetTickCount(); }

void TEcTimerPool::DeclareProperties(rtl::TClassBuilder<TEcTimerPool>& b) {
  PublishAbout(b);
  b.Event("OnAllTriggers", &TEcTimerPool::OnAllTriggers);
}

TEcTimerPool::TEcTimerPool(rtl::TComponent* owner) : TComponent(owner) {}

TEcTimerPool::~TEcTimerPool() {
  timerInterval_ = 0;
  if (window_) KillTimer(window_->Handle(), kTimerId);
  triggers_.clear();
  triggerCount_ = 0;
  gui::TUtilWindow::Release(std::move(window_));
}

void TEcTimerPool::HandleMessage(gui::TMessage& m) {
  if (m.Msg != WM_TIMER || m.WParam != kTimerId) return;
  m.Answer(0);  // before the triggers, whose handlers may free the pool
  // A failing handler is reported by the application; it never unwinds through the platform.
  try {
    DoTimer();
  } catch (...) {
    gui::HandleException(std::current_exception());
  }
}

int TEcTimerPool::AddTrigger(uint32_t interval, TTriggerEvent onTrigger) {
  return AddRecord(interval, onTrigger, true);
}

int TEcTimerPool::AddOneTimeTrigger(uint32_t interval, TTriggerEvent onTrigger) {
  return AddRecord(interval, onTrigger, false);
}

int TEcTimerPool::AddRecord(uint32_t interval, TTriggerEvent onTrigger, bool recurring) {
  // Made with the first trigger: a pool that never gets one costs no window.
  if (!window_) window_ = std::make_unique<gui::TUtilWindow>([this](gui::TMessage& m) { HandleMessage(m); });
  auto record = std::make_unique<TriggerRecord>();
  record->Interval = std::max(interval, kMinTriggerInterval);
  int32_t top = -1;
  for (auto& t : triggers_) top = std::max(top, t->Handle);
  record->Handle = top + 1;
  record->LastTime = CurrentTickCount();
  record->OnTrigger = onTrigger;
  // Marked before the timer is asked for: a refused timer leaves a one-time trigger one-time.
  record->Recurring = recurring;
  int handle = record->Handle;
  triggers_.push_back(std::move(record));
  triggerCount_ = static_cast<int>(triggers_.size());
  CalcNewInterval();
  SortTriggers();
  if (ResetTimer()) return handle;
  // A trigger without a timer would be an orphan that fires, if ever, for a caller that never
  // got its handle: the pool goes back to what it was.
  RemoveTrigger(handle);
  throw ENoTimersAvailable();
}

void TEcTimerPool::RemoveTrigger(int handle) {
  int i = IndexOfHandle(handle);
  if (i < 0) return;
  triggers_.erase(triggers_.begin() + i);
  triggerCount_ = static_cast<int>(triggers_.size());
  CalcNewInterval();
  (void)ResetTimer();
}

int TEcTimerPool::IndexOfHandle(int handle) const {
  for (size_t i = 0; i < triggers_.size(); ++i)
    if (triggers_[i]->Handle == handle) return static_cast<int>(i);
  return -1;
}

const TriggerRecord* TEcTimerPool::Trigger(int index) const {
  return index >= 0 && index < triggerCount_ ? triggers_[static_cast<size_t>(index)].get() : nullptr;
}

const TriggerRecord* TEcTimerPool::FindTrigger(int handle) const { return Trigger(IndexOfHandle(handle)); }

void TEcTimerPool::CalcNewInterval() {
  uint32_t now = CurrentTickCount();
  if (triggers_.empty()) {
    timerInterval_ = 0;
    return;
  }
  // The shortest wait: a whole interval, or what is left of one (0 or less when overdue). A
  // wrapped counter counts as long overdue.
  long long m = LLONG_MAX;
  for (auto& t : triggers_) {
    long long elapsed = now < t->LastTime ? INT32_MAX : static_cast<long long>(now - t->LastTime);
    long long remaining = static_cast<long long>(t->Interval) - elapsed;
    m = std::min({m, static_cast<long long>(t->Interval), remaining});
  }
  if (m < kMinTriggerInterval) m = kMinTriggerInterval;
  // A period that divides every interval, so that each trigger's time falls on a tick.
  long long b = m;
  for (bool restart = true; restart;) {
    restart = false;
    for (auto& t : triggers_) {
      long long rest = static_cast<long long>(t->Interval) % b;
      if (rest == 0) continue;
      b -= rest;
      restart = b > kMinTriggerInterval;
      break;
    }
  }
  timerInterval_ = static_cast<uint32_t>(std::max<long long>(b, kMinTriggerInterval));
}

void TEcTimerPool::SortTriggers() {
  std::stable_sort(triggers_.begin(), triggers_.end(),
                   [](const auto& a, const auto& b) { return a->Interval < b->Interval; });
}

bool TEcTimerPool::ResetTimer() {
  if (!window_) return true;  // no trigger was ever added: no timer to stop
  HWND wnd = window_->Handle();
  if (timerInterval_ == 0 || triggerCount_ == 0) {
    KillTimer(wnd, kTimerId);
    return true;
  }
  return SetTimer(wnd, kTimerId, timerInterval_, nullptr) != 0;
}

void TEcTimerPool::DoTimer() {
  rtl::TAliveToken alive = AliveToken();
  uint32_t now = CurrentTickCount();
  // The count is read again on every step: handlers add and remove triggers.
  for (int i = 0; i < triggerCount_; ++i) {
    TriggerRecord& t = *triggers_[static_cast<size_t>(i)];
    // Unsigned difference: right across the counter's wrap after 49.7 days too.
    long long elapsed = static_cast<uint32_t>(now - t.LastTime);
    if (elapsed < static_cast<long long>(t.Interval) - kEarlyAllowance) continue;
    t.LastTime = now;
    t.ElapsedTime = static_cast<int32_t>(std::min<long long>(t.ElapsedTime + elapsed, INT32_MAX));
    const int handle = t.Handle;
    const uint32_t interval = t.Interval;
    const int elapsedTime = t.ElapsedTime;
    const TTriggerEvent onTrigger = t.OnTrigger;
    if (!t.Recurring) {
      RemoveTrigger(handle);
      --i;  // the next trigger moved into this place
    }
    onTrigger(this, handle, interval, elapsedTime);
    if (!alive) return;
    OnAllTriggers(this, handle, interval, elapsedTime);
    if (!alive) return;
  }
}

}  // namespace ec

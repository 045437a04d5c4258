#include "Timer.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TTimer);

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(rtl::TComponent* owner) : TComponent(owner) {
  window_ = std::make_unique<TUtilWindow>([this](TMessage& m) {
    if (m.Msg != WM_TIMER || m.WParam != kTimerId) return;
    m.Answer(0);  // before the handler, which may free this timer
    Timer();
  });
  UpdateTimer();
}

TTimer::~TTimer() {
  KillTimer(window_->Handle(), kTimerId);
  // A handler may free its own timer: the window then goes once the tick is handled.
  TUtilWindow::Release(std::move(window_));
}

void TTimer::DeclareProperties(rtl::TClassBuilder<TTimer>& b) {
  b.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true);
  b.Int("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000);
  b.Event("OnTimer", &TTimer::OnTimer);
}

void TTimer::SetInterval(int ms) {
  if (ms < 0) ms = 0;
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (IsLoading()) return;  // Loaded starts it with the values read
  KillTimer(window_->Handle(), kTimerId);
  if (enabled_ && interval_ > 0) SetTimer(window_->Handle(), kTimerId, static_cast<UINT>(interval_), nullptr);
}

}  // namespace gui

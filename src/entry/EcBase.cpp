#include "entry/EcBase.h"

namespace ec {

RTL_IMPLEMENT_CLASS(TEcComponent);
RTL_IMPLEMENT_CLASS(TEcController);

const std::vector<std::string>& EntryOptionNames() {
  static const std::vector<std::string> names = {"efoAutoAdvanceChar", "efoAutoAdvanceLeftRight",
                                                 "efoAutoAdvanceUpDown", "efoAutoSelect",
                                                 "efoBeepOnError", "efoInsertPushes"};
  return names;
}

void TEcController::DeclareProperties(rtl::TClassBuilder<TEcController>& b) {
  b.Object("EntryCommands", &TEcController::EntryCommandsObject);
  // No stream defaults: a form resource always holds the options and the epoch.
  b.Set("EntryOptions", EntryOptionNames(), &TEcController::EntryOptions, &TEcController::EntryOptions, 0)
      .HasDefault = false;
  b.IntNoDefault("Epoch", &TEcController::Epoch, &TEcController::SetEpoch);
  b.Event("OnError", &TEcController::OnError);
  b.Event("OnGetEpoch", &TEcController::OnGetEpoch);
  b.Event("OnDelayNotify", &TEcController::OnDelayNotify);
  b.Event("OnIsSpecialControl", &TEcController::OnIsSpecialControl);
  b.Event("OnPostEdit", &TEcController::OnPostEdit);
  b.Event("OnPreEdit", &TEcController::OnPreEdit);
  b.Event("OnTimerTrigger", &TEcController::OnTimerTrigger);
}

TEcController::TEcController(rtl::TComponent* owner)
    : TEcComponent(owner), entryCommands_(std::make_unique<TEcCommandProcessor>()), epoch_(DefaultEpoch()) {
  timerPool_ = std::make_unique<TEcTimerPool>(this);
  timerPool_->OnAllTriggers.Bind(this, &TEcController::DoTimerTrigger);
  // The owner heard of the insertion while this was only a component under construction; now
  // that it is a controller, controls without one can adopt it.
  if (Owner()) Owner()->Notification(this, rtl::TOperation::opInsert);
}

TEcController::~TEcController() {
  entryCommands_.reset();
  timerPool_.reset();  // stops the window timer and frees every trigger
}

int TEcController::DefaultEpoch() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear / 100 * 100;
}

int TEcController::Epoch() const {
  int e = epoch_;
  OnGetEpoch(const_cast<TEcController*>(this), e);
  return e;
}

void TEcController::SetEpoch(int v) {
  if (v != epoch_ && v >= kMinEpoch && v <= kMaxEpoch) epoch_ = v;
}

bool TEcController::IsSpecialControl(HWND wnd) {
  if (!OnIsSpecialControl) return false;
  bool special = false;
  OnIsSpecialControl(this, gui::TWinControl::FindControl(wnd), special);
  return special;
}

void TEcController::DoTimerTrigger(rtl::TObject* sender, int handle, uint32_t interval, int elapsedTime) {
  OnTimerTrigger(sender, handle, interval, elapsedTime);
}

TEcController* FindController(rtl::TComponent* form) {
  if (!form) return nullptr;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* c = rtl::As<TEcController>(form->Components(i))) return c;
  return nullptr;
}

}  // namespace ec

// The controller: one per form, shared by the entry controls on it. It owns the command tables
// and the timer pool the controls schedule their timed work on, and carries the entry options,
// the century base for two-digit years and the events an application watches the controls by.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "entry/EcCmd.h"
#include "entry/EcComponent.h"
#include "entry/EcTimer.h"

namespace ec {

enum TEcBaseEFOption {
  efoAutoAdvanceChar,
  efoAutoAdvanceLeftRight,
  efoAutoAdvanceUpDown,
  efoAutoSelect,
  efoBeepOnError,
  efoInsertPushes,
};
// Bit n stands for the n-th option.
using TEcBaseEFOptions = uint8_t;
inline constexpr TEcBaseEFOptions EfoBit(TEcBaseEFOption o) { return static_cast<TEcBaseEFOptions>(1u << o); }
inline constexpr TEcBaseEFOptions kDefaultEntryOptions =
    EfoBit(efoAutoSelect) | EfoBit(efoBeepOnError) | EfoBit(efoInsertPushes);
const std::vector<std::string>& EntryOptionNames();

inline constexpr int kMinEpoch = 1600, kMaxEpoch = 3999;

using TDataErrorEvent = rtl::TEvent<rtl::TObject*, uint16_t, const std::string&>;
using TGetEpochEvent = rtl::TEvent<rtl::TObject*, int&>;
using TDelayNotifyEvent = rtl::TEvent<rtl::TObject*, uint16_t>;
using TIsSpecialControlEvent = rtl::TEvent<rtl::TObject*, gui::TWinControl*, bool&>;
using TPostEditEvent = rtl::TEvent<rtl::TObject*, gui::TWinControl*>;
using TPreEditEvent = rtl::TEvent<rtl::TObject*, gui::TWinControl*>;

class TEcController : public TEcComponent {
  RTL_CLASS(TEcController, TEcComponent)
 public:
  explicit TEcController(rtl::TComponent* owner);
  ~TEcController() override;

  TEcBaseEFOptions EntryOptions = kDefaultEntryOptions;
  TEcCommandProcessor& EntryCommands() const { return *entryCommands_; }
  TEcTimerPool& TimerPool() const { return *timerPool_; }

  // The stored epoch as OnGetEpoch sees it; the stored value itself is left as it is.
  int Epoch() const;
  // Taken only when it differs and lies in kMinEpoch..kMaxEpoch; anything else is ignored.
  void SetEpoch(int v);
  int StoredEpoch() const { return epoch_; }
  // Today's year rounded down to a multiple of 100.
  static int DefaultEpoch();

  // OnIsSpecialControl's answer for the control that owns wnd (none when it is not one of
  // ours); false when the event is unassigned.
  virtual bool IsSpecialControl(HWND wnd);
  // The timer pool's OnAllTriggers: passes every firing on to OnTimerTrigger.
  void DoTimerTrigger(rtl::TObject* sender, int handle, uint32_t interval, int elapsedTime);

  TDataErrorEvent OnError;
  TGetEpochEvent OnGetEpoch;
  TDelayNotifyEvent OnDelayNotify;
  TIsSpecialControlEvent OnIsSpecialControl;
  TPostEditEvent OnPostEdit;
  TPreEditEvent OnPreEdit;
  TTriggerEvent OnTimerTrigger;

  static void DeclareProperties(rtl::TClassBuilder<TEcController>& b);

 private:
  rtl::TObject* EntryCommandsObject() const { return entryCommands_.get(); }

  std::unique_ptr<TEcCommandProcessor> entryCommands_;
  int epoch_ = 0;
  std::unique_ptr<TEcTimerPool> timerPool_;
};

// The first component the form owns, in its component order, that is a controller; null.
TEcController* FindController(rtl::TComponent* form);

}  // namespace ec

// The attached 3-D label: a 3-D label that captions an entry control. Once loaded, and whenever
// its bounds are set, it tells that control about itself through two private messages, so the
// control can keep track of its label.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "PrivateMessages.h"
#include "label3d/FxLabel.h"

namespace fx {

// Sent to the control's window, lParam the label.
inline constexpr UINT AttachLabelMessage = gui::kFxAttachLabelMessage;
// Posted to the control's window after AttachLabelMessage; no parameters.
inline constexpr UINT LabelMovedMessage = gui::kFxLabelMovedMessage;

class TFxAttachedLabel : public TFxCustomLabel {
  RTL_CLASS(TFxAttachedLabel, TFxCustomLabel)
 public:
  // Auto-sized, opaque, in its parent's font, flat text in the csText colours.
  explicit TFxAttachedLabel(rtl::TComponent* owner);
  // A label that belongs to control from its creation on.
  static TFxAttachedLabel* CreateAttached(rtl::TComponent* owner, gui::TWinControl* control);

  // The control the label belongs to (a reference, cleared when the control goes).
  gui::TWinControl* FxControl() const { return fxControl_.Get(); }
  void SetFxControl(gui::TWinControl* c);

  // Sends AttachLabelMessage, then posts LabelMovedMessage, to FxControl's window when the
  // label's form owns FxControl; nothing while loading or being destroyed, or without a form.
  void NotifyControl();

  void Loaded() override;
  void SetBounds(int left, int top, int width, int height) override;
  static void DeclareProperties(rtl::TClassBuilder<TFxAttachedLabel>& b);

 private:
  rtl::TComponentRef<gui::TWinControl> fxControl_{*this};
};

// The family's start-up: registers TFxAttachedLabel for form resources unless a class of that
// name is registered already. Runs once, however often it is called.
void InitializeLabelFamily();

}  // namespace fx

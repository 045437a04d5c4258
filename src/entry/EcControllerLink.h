// How an entry control finds, keeps and loses its controller. A control of the family holds
// one link and calls it at the moments below; the rule is the same for every control.
#pragma once

#include "Controls.h"
#include "entry/EcBase.h"

namespace gui {
class TForm;
}

namespace ec {

class TEcControllerLink {
 public:
  // onControllerGone: the bound controller went (with its timer pool and every trigger in it).
  explicit TEcControllerLink(gui::TControl& control, std::function<void()> onControllerGone = nullptr)
      : control_(control), controller_(control, std::move(onControllerGone)) {}
  TEcControllerLink(const TEcControllerLink&) = delete;
  TEcControllerLink& operator=(const TEcControllerLink&) = delete;

  TEcController* Controller() const { return controller_.Get(); }
  void SetController(TEcController* controller) { controller_.Set(controller); }

  // The control's form: the nearest form in its parent chain; null.
  gui::TForm* ControlForm() const;
  // At window creation and at the end of loading: a control with no controller that is not
  // being loaded takes its form's first controller, or raises ENoControllerAssigned.
  void Bind();
  // From the control's Notification: a controller inserted while the control has none is
  // adopted.
  void Notification(rtl::TComponent* c, rtl::TOperation op);

 private:
  gui::TControl& control_;
  rtl::TComponentRef<TEcController> controller_;
};

}  // namespace ec

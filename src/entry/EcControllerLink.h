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
  explicit TEcControllerLink(gui::TControl& control) : control_(control) {}
  ~TEcControllerLink();
  TEcControllerLink(const TEcControllerLink&) = delete;
  TEcControllerLink& operator=(const TEcControllerLink&) = delete;

  TEcController* Controller() const { return controller_; }
  // Stores the reference and asks for the controller's free notification.
  void SetController(TEcController* controller);

  // The control's form: the nearest form in its parent chain; null.
  gui::TForm* ControlForm() const;
  // At window creation and at the end of loading: a control with no controller that is not
  // being loaded takes its form's first controller, or raises ENoControllerAssigned.
  void Bind();
  // From the control's Notification: a controller inserted while the control has none is
  // adopted; the bound one's removal clears the reference.
  void Notification(rtl::TComponent* c, rtl::TOperation op);

 private:
  gui::TControl& control_;
  TEcController* controller_ = nullptr;
};

}  // namespace ec

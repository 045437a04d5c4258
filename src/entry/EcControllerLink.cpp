#include "entry/EcControllerLink.h"

#include "Forms.h"
#include "entry/EcExcept.h"

namespace ec {

TEcControllerLink::~TEcControllerLink() {
  if (controller_) control_.RemoveFreeNotification(controller_);
}

void TEcControllerLink::SetController(TEcController* controller) {
  if (controller == controller_) return;
  if (controller_) control_.RemoveFreeNotification(controller_);
  controller_ = controller;
  if (controller_) control_.FreeNotification(controller_);
}

gui::TForm* TEcControllerLink::ControlForm() const {
  for (gui::TWinControl* p = control_.Parent(); p; p = p->Parent())
    if (auto* form = rtl::As<gui::TForm>(p)) return form;
  return nullptr;
}

void TEcControllerLink::Bind() {
  if (controller_ || control_.IsLoading()) return;
  TEcController* found = FindController(ControlForm());
  if (!found) throw ENoControllerAssigned();
  SetController(found);
}

void TEcControllerLink::Notification(rtl::TComponent* c, rtl::TOperation op) {
  if (!c) return;
  if (op == rtl::TOperation::opRemove && c == controller_) {
    control_.RemoveFreeNotification(c);
    controller_ = nullptr;
  } else if (op == rtl::TOperation::opInsert && !controller_)
    if (auto* controller = rtl::As<TEcController>(c)) SetController(controller);
}

}  // namespace ec

#include "entry/EcControllerLink.h"

#include "Forms.h"
#include "entry/EcExcept.h"

namespace ec {

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
  if (op == rtl::TOperation::opInsert && c && !controller_)
    if (auto* controller = rtl::As<TEcController>(c)) SetController(controller);
}

}  // namespace ec

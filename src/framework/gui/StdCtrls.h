// The platform's standard controls: push button and combo box.
#pragma once

#include "ComboBox.h"
#include "Controls.h"

namespace gui {

class TButton : public TWinControl {
  RTL_CLASS(TButton, TWinControl)
 public:
  explicit TButton(rtl::TComponent* owner);
  void WndProc(TMessage& m) override;
  static void DeclareProperties(rtl::TClassBuilder<TButton>& b);

 protected:
  void CreateParams(TCreateParams& params) override;
};

// The combo box forms place.
class TComboBox : public TCustomComboBox {
  RTL_CLASS(TComboBox, TCustomComboBox)
 public:
  using TCustomComboBox::TCustomComboBox;
};

}  // namespace gui

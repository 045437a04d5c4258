// The status bar along the bottom edge; in simple mode it shows one text.
#pragma once

#include "Controls.h"

namespace gui {

class TStatusBar : public TWinControl {
  RTL_CLASS(TStatusBar, TWinControl)
 public:
  explicit TStatusBar(rtl::TComponent* owner);
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  const std::string& SimpleText() const { return simpleText_; }
  // Invalidates the bar; call Update (or Repaint) to have it painted at once.
  void SetSimpleText(const std::string& v);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v);
  static void DeclareProperties(rtl::TClassBuilder<TStatusBar>& b);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
};

}  // namespace gui

#include "SuAbout.h"

#include "Controls.h"
#include "Forms.h"
#include "Shell.h"

namespace sysinfo {

RTL_IMPLEMENT_CLASS(TSuCustomShellAbout);
RTL_IMPLEMENT_CLASS(TSuShellAbout);

TSuCustomShellAbout::TSuCustomShellAbout(rtl::TComponent* owner)
    : TSuShellComponent(owner), icon_(std::make_unique<gui::TIcon>()), shellAbout_(&gui::CallShellAbout) {}

TSuCustomShellAbout::~TSuCustomShellAbout() = default;

void TSuCustomShellAbout::SetIcon(gui::TIcon* v) {
  if (!icon_) icon_ = std::make_unique<gui::TIcon>();
  icon_->Assign(v);
}

HWND TSuCustomShellAbout::ParentWindow() const {
  if (auto* control = rtl::As<gui::TWinControl>(Owner())) return control->Handle();
  // The application object has no window of its own here; its main form stands for it.
  if (auto* app = rtl::As<gui::TApplication>(Owner()))
    return app->MainForm() && app->MainForm()->HandleAllocated() ? app->MainForm()->Handle() : nullptr;
  return nullptr;
}

int32_t TSuCustomShellAbout::Execute() {
  // The platform shows the part before "#" in the title bar and the part after it as the
  // dialog's first line.
  std::string text = titleText_.empty() ? caption_ : caption_ + "#" + titleText_;
  HICON icon = icon_ ? icon_->Handle() : nullptr;
  return shellAbout_(ParentWindow(), text.c_str(), additionalText_.c_str(), icon);
}

void TSuShellAbout::DeclareProperties(rtl::TClassBuilder<TSuShellAbout>& b) {
  b.Str("AdditionalText", &TSuShellAbout::AdditionalText, &TSuShellAbout::SetAdditionalText);
  b.Str("Caption", &TSuShellAbout::Caption, &TSuShellAbout::SetCaption);
  b.Object("Icon", &TSuShellAbout::Icon);
  b.Str("TitleText", &TSuShellAbout::TitleText, &TSuShellAbout::SetTitleText);
}

}  // namespace sysinfo

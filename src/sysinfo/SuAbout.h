// The shell About box: the platform's standard About dialog with the program's own texts and
// icon.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Icon.h"
#include "SuShBase.h"

namespace sysinfo {

// The platform's ShellAboutA: parent window, title text, additional text, icon.
using TShellAboutCall = std::function<int(HWND, const char*, const char*, HICON)>;

class TSuCustomShellAbout : public TSuShellComponent {
  RTL_CLASS(TSuCustomShellAbout, TSuShellComponent)
 public:
  explicit TSuCustomShellAbout(rtl::TComponent* owner);
  ~TSuCustomShellAbout() override;

  const std::string& AdditionalText() const { return additionalText_; }
  void SetAdditionalText(const std::string& v) { additionalText_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  const std::string& TitleText() const { return titleText_; }
  void SetTitleText(const std::string& v) { titleText_ = v; }
  gui::TIcon* Icon() const { return icon_.get(); }
  // Copies the image into the component's own icon.
  void SetIcon(gui::TIcon* v);

  // Shows the dialog modally; the platform call's result once the user has closed it.
  int32_t Execute();

  // The call Execute makes; the platform's ShellAboutA unless replaced (tests watch it).
  void SetShellAboutCall(TShellAboutCall call) { shellAbout_ = std::move(call); }

 private:
  HWND ParentWindow() const;

  std::string additionalText_, caption_, titleText_;
  std::unique_ptr<gui::TIcon> icon_;
  TShellAboutCall shellAbout_;
};

class TSuShellAbout : public TSuCustomShellAbout {
  RTL_CLASS(TSuShellAbout, TSuCustomShellAbout)
 public:
  explicit TSuShellAbout(rtl::TComponent* owner) : TSuCustomShellAbout(owner) {}
  static void DeclareProperties(rtl::TClassBuilder<TSuShellAbout>& b);
};

}  // namespace sysinfo

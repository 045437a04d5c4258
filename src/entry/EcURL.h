// A label that behaves like a web link: underlined blue text under a hand cursor, in
// HighlightColor while the mouse is over it, and a click asks the shell to open URL. While it is
// highlighted its own 100 ms timer checks whether the mouse has left.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "Label.h"
#include "Timer.h"
#include "entry/EcComponent.h"

namespace ec {

// The shell's ShellExecuteA as the link label calls it.
using TShellExecuteCall =
    std::function<HINSTANCE(HWND, const char* verb, const char* file, const char* params, const char* dir, int show)>;

// The longest address handed to the shell; a longer one is cut.
inline constexpr size_t kMaxURLLength = 1023;
// How often a highlighted label looks whether the mouse is still over it.
inline constexpr int kHoverCheckInterval = 100;

class TEcURL : public gui::TCustomLabel {
  RTL_CLASS(TEcURL, gui::TCustomLabel)
 public:
  explicit TEcURL(rtl::TComponent* owner);

  // The text shown; when empty, the label shows URL.
  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  // The font colour while the mouse is over the label; clNone stands for the resting colour.
  gui::TColor HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(gui::TColor v);
  const std::string& URL() const { return url_; }
  void SetURL(const std::string& v);
  // After a click the resting colour becomes VisitedColor (clNone: the resting colour).
  bool UseVisitedColor = false;
  gui::TColor VisitedColor() const { return visitedColor_; }
  void SetVisitedColor(gui::TColor v);

  // The timer that exists only while the label is highlighted.
  gui::TTimer* HoverTimer() const { return hoverTimer_; }
  // The font colour the label takes back when the mouse leaves; none until the first hover.
  std::optional<gui::TColor> SavedColor() const { return savedColor_; }
  // The hover timer's tick: the highlight ends once the mouse is outside.
  void CheckHover(rtl::TObject* sender);

  // Replaces the platform's ShellExecuteA (tests watch the call); empty: the platform's again.
  void SetShellExecuteCall(TShellExecuteCall call) { shellExecute_ = std::move(call); }

  std::string About() const { return kEcAboutText; }
  void SetAbout(const std::string&) {}
  static void DeclareProperties(rtl::TClassBuilder<TEcURL>& b);

 protected:
  void MouseMove(gui::TShiftState shift, int x, int y) override;
  // A left press and release over the label is a click.
  void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void Click() override;

 private:
  void ShowText();
  bool Inside(POINT p) const;
  // The colour the label shows at rest: the one saved while it is highlighted, else the font's.
  gui::TColor RestingColor() const;
  void ColorsChanged();

  std::string caption_;
  gui::TColor highlightColor_ = gui::clRed;
  std::string url_;
  gui::TColor visitedColor_ = gui::clBlack;
  gui::TTimer* hoverTimer_ = nullptr;
  std::optional<gui::TColor> savedColor_;
  TShellExecuteCall shellExecute_;
  bool pressed_ = false;
};

}  // namespace ec

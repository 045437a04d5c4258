// The form styler: takes over the drawing of its form's caption bar. It hooks the form window's
// procedure, answers the messages with which the platform would draw the caption (non-client
// paint, activation, icon and setting changes) by painting it itself: a horizontal gradient of
// bands, the small icon, the caption buttons and the three text segments, composed off screen
// and copied in one step. The form's window text is composed from the same segments. When the
// form's window is re-created the styler hooks the new one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "GxCaptionText.h"
#include "GxHook.h"
#include "Label.h"
#include "PrivateMessages.h"
#include "UtilWindow.h"

namespace styler {

// When the background is a gradient: always, never, only while active, or when the colour depth
// allows (at least 8 bits per pixel active, more than 8 inactive).
enum TGxGradientOptions : uint8_t { goAlways, goNever, goActive, goSmart };
// The number of gradient bands, 2 to 236.
using TGxGradientColors = uint8_t;
inline constexpr int kMinColors = 2, kMaxColors = 236;

enum TGxCaptionButton : unsigned { cbClose = 1, cbMinimize = 2, cbMaximize = 4, cbHelp = 8 };
using TGxCaptionButtons = unsigned;

// Posted to the styler's utility window (LParam: the styler) after the form's window was
// destroyed: by the time it arrives the new window exists and is hooked.
inline constexpr UINT RehookMessage = gui::kGxRehookMessage;

class TGxFormStyler : public TGxWndProcComponent {
  RTL_CLASS(TGxFormStyler, TGxWndProcComponent)
 public:
  // Raises "Owner must be a Form", or "Only one FormStyler is allowed per Form" when the form's
  // window (made here when there is none) already is, or lies inside, a styled form's window.
  explicit TGxFormStyler(rtl::TComponent* owner);
  // Leaves the form's text reduced to the caption segment, unless the form is going too.
  ~TGxFormStyler() override;

  TGxAppNameText* AppNameText() const { return appNameText_.get(); }
  TGxCaptionText* CaptionText() const { return captionText_.get(); }
  TGxCompanyText* CompanyText() const { return companyText_.get(); }

  // The four gradient colours share one setter: 0 left active, 1 left inactive, 2 right active,
  // 3 right inactive. New values show at the next caption paint.
  gui::TColor GradientColor(int index) const { return colors_[index]; }
  void SetGradientColor(int index, gui::TColor v) { colors_[index] = v; }
  gui::TColor ClrLeftActive() const { return colors_[0]; }
  void SetClrLeftActive(gui::TColor v) { SetGradientColor(0, v); }
  gui::TColor ClrLeftInActive() const { return colors_[1]; }
  void SetClrLeftInActive(gui::TColor v) { SetGradientColor(1, v); }
  gui::TColor ClrRightActive() const { return colors_[2]; }
  void SetClrRightActive(gui::TColor v) { SetGradientColor(2, v); }
  gui::TColor ClrRightInActive() const { return colors_[3]; }
  void SetClrRightInActive(gui::TColor v) { SetGradientColor(3, v); }
  gui::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(gui::TAlignment v) { alignment_ = v; }
  TGxGradientOptions Options() const { return options_; }
  void SetOptions(TGxGradientOptions v) { options_ = v; }
  int NumColors() const { return numColors_; }
  // Kept within 2 to 236.
  void SetNumColors(int v);

  // The platform's caption font, which the segments derive their fonts from.
  gui::TFont& CaptionFont() { return *captionFont_; }
  bool ActiveState() const { return activeState_; }
  bool ActiveKnown() const { return activeKnown_; }
  // The hidden window the rehook is posted to; made the first time the form's window is made again.
  HWND UtilityWindow() const { return utilityWindow_ ? utilityWindow_->Handle() : nullptr; }

  // Fills font from the platform's caption font (the stock system font when the platform does
  // not tell it).
  static void LoadCaptionFont(gui::TFont& font);
  // The attributes LoadCaptionFont takes from a caption font's description.
  static void AssignCaptionLogFont(gui::TFont& font, const LOGFONTA& lf);
  // Gives font the character height (cell height less internal leading) of CaptionFont, never
  // a larger one.
  void FitFontHeight(gui::TFont& font);
  // Sets the form's text from the visible segments: company, application name, caption, one
  // space between non-empty neighbours.
  void ComposeWindowText();
  // The platform recomputes and repaints the whole frame (while hooked).
  void RedrawFrame();
  // The activation state the last WM_NCACTIVATE reported; before the first, the platform's.
  bool IsCaptionActive() const;

  // Paints the caption into the window; the rectangle painted, in window coordinates (empty
  // when nothing was painted).
  RECT PaintCaption(bool active);
  // The same into any DC standing for the window's (origin at the window's top-left corner):
  // composed in a compatible off-screen bitmap and copied with one BitBlt.
  RECT PaintCaptionTo(HDC windowDc, bool active);
  // The caption bar in window coordinates, by the border style (empty for bsNone).
  RECT GetCaptionRect() const;
  TGxCaptionButtons GetCaptionButtons() const;
  // Shrinks a caption rectangle by the caption buttons' area.
  void ExcludeButtons(RECT& r) const;
  // The caption less the buttons: where the gradient, the icon and the texts go.
  RECT GetTextRect() const;
  // n bands from `from` at the left to `to` at the right, band edges and colours by MulDiv.
  static void GradientFill(HDC dc, COLORREF from, COLORREF to, const RECT& r, int n);
  static void FillSolid(HDC dc, COLORREF colour, const RECT& r);

  // The styler whose form's window is wnd or contains it, if any.
  static TGxFormStyler* FindStyler(HWND wnd);
  // Every styler, in the order they were made; none while there is none.
  static const std::vector<TGxFormStyler*>* StylerRegistry();

  void HookWndProc(gui::TMessage& m) override;
  void Loaded() override;

  static void DeclareProperties(rtl::TClassBuilder<TGxFormStyler>& b);

 private:
  void CheckOnlyStyler();
  void HookAndRegister();
  void WMNCPaint(gui::TMessage& m);
  void WMNCActivate(gui::TMessage& m);
  // True when the mouse is over a sizing border and the cursor was set.
  bool WMSetCursor(gui::TMessage& m);
  void SettingsChanged();
  void UtilityWindowMessage(gui::TMessage& m);
  void Rehook();

  gui::TFormBorderStyle BorderStyle() const;
  bool ToolWindow() const;
  int MeasureTextElement(HDC dc, TGxCompanyText& element, const RECT& t) const;
  void DrawTextElement(HDC dc, TGxCompanyText& element, bool active, RECT& t) const;
  void DrawCaptionIcon(HDC dc, RECT& t);
  // The small image of the icon the caption shows, made once per icon (making it reloads the
  // icon's resource, which costs more than all the rest of a paint).
  HICON SmallIcon(HICON icon);
  void DrawCaptionButtons(HDC dc, const RECT& c) const;
  // The off-screen bitmap a caption is composed in for windowDc, made again only when the size
  // or the depth changes, or after a display or setting change.
  HBITMAP CaptionBitmap(HDC windowDc, int width, int height);
  // Bits per pixel windowDc draws at: a memory DC's bitmap's, else the display's.
  int TargetDepth(HDC windowDc);

  std::unique_ptr<gui::TFont> captionFont_;
  std::unique_ptr<TGxCompanyText> companyText_;
  std::unique_ptr<TGxAppNameText> appNameText_;
  std::unique_ptr<TGxCaptionText> captionText_;
  std::unique_ptr<gui::TUtilWindow> utilityWindow_;
  gui::TIconHandle smallIcon_;
  HICON smallIconOf_ = nullptr;
  gui::TBitmapHandle captionBitmap_;
  int captionBitmapWidth_ = 0, captionBitmapHeight_ = 0, captionBitmapDepth_ = 0;
  int displayDepth_ = 0;  // 0: not asked yet
  gui::TColor colors_[4];
  gui::TAlignment alignment_ = gui::taLeftJustify;
  TGxGradientOptions options_ = goSmart;
  TGxGradientColors numColors_ = 64;
  bool activeState_ = true;
  bool activeKnown_ = false;
  bool rehookPending_ = false;  // a RehookMessage of its own is on its way
  bool hookOnLoaded_ = false;   // made while its form was read: checked and hooked in Loaded
};

}  // namespace styler

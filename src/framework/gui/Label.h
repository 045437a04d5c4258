// Labels: a graphic control that shows its caption as the platform draws static text (DrawText),
// with the accelerator letter underlined and that letter focusing another control.
#pragma once

#include <string>
#include <vector>

#include "Controls.h"

namespace gui {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

const std::vector<std::string>& AlignmentNames();
const std::vector<std::string>& TextLayoutNames();

// The base of every label family. Descendants change what is drawn (DoDrawText) and what text
// is shown (GetLabelText); measuring for AutoSize and the vertical layout run through the same
// DoDrawText, so a descendant's text is laid out by the same rules.
class TCustomLabel : public TGraphicControl {
  RTL_CLASS(TCustomLabel, TGraphicControl)
 public:
  explicit TCustomLabel(rtl::TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  // The label takes the size of its text; with WordWrap it keeps its width and takes the height.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  // "&" marks the accelerator letter (underlined), "&&" shows one "&"; off: shown as typed.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  // Off: the background is filled with Color; on: nothing behind the text is touched.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  // The control that the accelerator letter focuses (a reference, cleared when it goes).
  TWinControl* FocusControl() const { return focusControl_.Get(); }
  void SetFocusControl(TWinControl* c);

  void WndProc(TMessage& m) override;
  void Loaded() override;
  static void DeclareProperties(rtl::TClassBuilder<TCustomLabel>& b);

 protected:
  // The text shown: the caption.
  virtual std::string GetLabelText() const { return Caption(); }
  // Draws (or with DT_CALCRECT measures) the label's text into rect on canvas with the control's
  // font and a clear background; flags are DrawText's (DT_NOPREFIX is added when ShowAccelChar
  // is off). Disabled, the text is embossed as the platform shows disabled static text.
  virtual void DoDrawText(TCanvas& canvas, RECT& rect, UINT flags);
  // DrawText flags of the label's alignment and wrapping (DT_EXPANDTABS, DT_WORDBREAK,
  // DT_LEFT / DT_RIGHT / DT_CENTER).
  UINT DrawTextFlags() const;
  // Fits the bounds to the text when AutoSize is on (not while loading).
  virtual void AdjustBounds();
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  bool transparent_ = false;
  rtl::TComponentRef<TWinControl> focusControl_{*this};
};

// The label forms place.
class TLabel : public TCustomLabel {
  RTL_CLASS(TLabel, TCustomLabel)
 public:
  using TCustomLabel::TCustomLabel;
};

}  // namespace gui

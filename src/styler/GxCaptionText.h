// The caption's text segments: company name, application name and the caption proper, each with
// its own text, colours, font and visibility, streamed with the form as nested properties of the
// styler ("CompanyText.Caption", "AppNameText.FontKind" ...). The form's window text is composed
// from them; the caption segment is derived back from the window text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Colors.h"
#include "GraphicsObjects.h"
#include "rtl/Component.h"

namespace styler {

class TGxFormStyler;

// Where a segment's font comes from: its own (fkCustom), the caption font as it is or with
// italic, bold, or both added, or its own face at the caption font's character height.
enum TGxFontKind : uint8_t { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };

class TGxCompanyText : public rtl::TPersistent {
  RTL_CLASS(TGxCompanyText, rtl::TPersistent)
 public:
  // Starts visible, empty, in the caption-text colours, with a copy of the styler's caption font.
  explicit TGxCompanyText(TGxFormStyler* styler);
  ~TGxCompanyText() override;

  // The segment's text; what a form resource stores.
  virtual std::string Caption() const { return caption_; }
  // Recomposes the form's window text when the caption changes.
  virtual void SetCaption(const std::string& v);
  // The text as last stored: what the window text is composed from and the caption drawn with.
  const std::string& SegmentText() const { return caption_; }
  gui::TColor ColorActive() const { return colorActive_; }
  void SetColorActive(gui::TColor v) { colorActive_ = v; }
  gui::TColor ColorInactive() const { return colorInactive_; }
  void SetColorInactive(gui::TColor v) { colorInactive_ = v; }
  gui::TFont& Font() { return *font_; }
  const gui::TFont& Font() const { return *font_; }
  gui::TFont* FontObject() const { return font_.get(); }
  // Takes every attribute of f; the segment's font is then its own (fkCustom), unless it is
  // fkAutoHeight, which fits the new face to the caption font's character height.
  void SetFont(gui::TFont& f);
  TGxFontKind FontKind() const { return fontKind_; }
  void SetFontKind(TGxFontKind v) { ApplyFontKind(v); }
  // Sets the kind and derives the font from it (see TGxFontKind).
  void ApplyFontKind(TGxFontKind k);
  bool Visible() const { return visible_; }
  // Recomposes the form's window text when the visibility changes.
  void SetVisible(bool v);
  TGxFormStyler* Styler() const { return styler_; }

  static void DeclareProperties(rtl::TClassBuilder<TGxCompanyText>& b);

 protected:
  std::string caption_;

 private:
  gui::TColor colorActive_;
  gui::TColor colorInactive_;
  std::unique_ptr<gui::TFont> font_;
  TGxFontKind fontKind_ = fkSystem;
  TGxFormStyler* styler_;
  bool visible_ = true;
};

class TGxAppNameText : public TGxCompanyText {
  RTL_CLASS(TGxAppNameText, TGxCompanyText)
 public:
  using TGxCompanyText::TGxCompanyText;
};

class TGxCaptionText : public TGxCompanyText {
  RTL_CLASS(TGxCaptionText, TGxCompanyText)
 public:
  using TGxCompanyText::TGxCompanyText;
  // The caption segment as the form's text holds it now: the text after the company name and
  // after the application name (each when visible), one leading space dropped after each. Text
  // set on the form by other code comes back whole. Empty when anything fails.
  std::string GetCaption() const;
  // While shown, the segment as the window text holds it now (GetCaption): other code may have
  // set the form's text since it was stored, a hidden form painting nothing that would take it
  // in. While hidden the window text holds none of it, so the text stored.
  std::string Caption() const override { return Visible() ? GetCaption() : caption_; }
  // Recomposes the window text when it does not already show v as its caption segment.
  void SetCaption(const std::string& v) override;
  // Stores the segment as the window text holds it now (while shown, and not while the form is
  // read, when the text is still the resource's): before a paint, and before another segment
  // changes what the caption segment is found after.
  void TakeFromWindowText();
};

}  // namespace styler

#include "GxCaptionText.h"

#include "GxForm.h"

namespace styler {

RTL_IMPLEMENT_CLASS(TGxCompanyText);
RTL_IMPLEMENT_CLASS(TGxAppNameText);
RTL_IMPLEMENT_CLASS(TGxCaptionText);

namespace {
const std::vector<std::string> kFontKindNames = {"fkCustom", "fkSystem", "fkSystemI", "fkSystemB", "fkSystemBI", "fkAutoHeight"};
}

TGxCompanyText::TGxCompanyText(TGxFormStyler* styler)
    : colorActive_(gui::clCaptionText),
      colorInactive_(gui::clInactiveCaptionText),
      font_(std::make_unique<gui::TFont>()),
      styler_(styler) {
  font_->Assign(&styler_->CaptionFont());
}

TGxCompanyText::~TGxCompanyText() = default;

void TGxCompanyText::DeclareProperties(rtl::TClassBuilder<TGxCompanyText>& b) {
  b.Str("Caption", &TGxCompanyText::Caption, &TGxCompanyText::SetCaption);
  b.Int("ColorActive", &TGxCompanyText::ColorActive, &TGxCompanyText::SetColorActive, gui::clCaptionText).Idents =
      &gui::ColorIdents();
  b.Int("ColorInactive", &TGxCompanyText::ColorInactive, &TGxCompanyText::SetColorInactive,
        gui::clInactiveCaptionText)
      .Idents = &gui::ColorIdents();
  // A font derived from the caption font is made again from it when the form is read.
  b.Object("Font", &TGxCompanyText::FontObject).Stored = [](const rtl::TObject* o) {
    TGxFontKind k = static_cast<const TGxCompanyText*>(o)->FontKind();
    return k == fkCustom || k == fkAutoHeight;
  };
  b.Enum("FontKind", kFontKindNames, &TGxCompanyText::FontKind, &TGxCompanyText::SetFontKind, fkSystem)
      .HasDefault = false;
  b.Bool("Visible", &TGxCompanyText::Visible, &TGxCompanyText::SetVisible, true).HasDefault = false;
}

void TGxCompanyText::SetCaption(const std::string& v) {
  if (v == caption_) return;
  // The caption segment as it stands now, before this segment moves what it is found after.
  if (TGxCaptionText* caption = styler_->CaptionText()) caption->TakeFromWindowText();
  caption_ = v;
  styler_->ComposeWindowText();
}

void TGxCompanyText::SetVisible(bool v) {
  if (v == visible_) return;
  if (TGxCaptionText* caption = styler_->CaptionText()) caption->TakeFromWindowText();
  visible_ = v;
  styler_->ComposeWindowText();
}

void TGxCompanyText::SetFont(gui::TFont& f) {
  font_->Assign(&f);
  if (fontKind_ == fkAutoHeight)
    styler_->FitFontHeight(*font_);
  else
    fontKind_ = fkCustom;
}

void TGxCompanyText::ApplyFontKind(TGxFontKind k) {
  fontKind_ = k;
  switch (k) {
    case fkSystem:
    case fkSystemI:
    case fkSystemB:
    case fkSystemBI: {
      font_->Assign(&styler_->CaptionFont());
      gui::TFontStyles added = k == fkSystemI   ? gui::FontStyle(gui::fsItalic)
                               : k == fkSystemB ? gui::FontStyle(gui::fsBold)
                               : k == fkSystemBI ? gui::FontStyle(gui::fsBold) | gui::FontStyle(gui::fsItalic)
                                                 : 0;
      font_->SetStyle(font_->Style() | added);
      break;
    }
    case fkAutoHeight: styler_->FitFontHeight(*font_); break;
    case fkCustom: break;
  }
}

void TGxCaptionText::SetCaption(const std::string& v) {
  bool shown = v == Caption();
  caption_ = v;
  if (!shown) Styler()->ComposeWindowText();
}

void TGxCaptionText::TakeFromWindowText() {
  if (Visible() && !Styler()->IsLoading()) caption_ = GetCaption();
}

std::string TGxCaptionText::GetCaption() const {
  gui::TForm* form = Styler() ? Styler()->OwnerForm() : nullptr;
  if (!form) return {};
  try {
    std::string s = form->Caption();
    auto dropThrough = [&s](const TGxCompanyText& segment) {
      if (!segment.Visible()) return;
      const std::string& c = segment.SegmentText();
      if (!c.empty())
        if (size_t p = s.find(c); p != std::string::npos) s.erase(0, p + c.size());
      if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    };
    dropThrough(*Styler()->CompanyText());
    dropThrough(*Styler()->AppNameText());
    return s;
  } catch (...) {
    return {};
  }
}

}  // namespace styler

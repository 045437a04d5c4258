#include "FxSettings.h"

namespace fx {

RTL_IMPLEMENT_CLASS(TFxCustomSettings);

TFxOffset DirectionOffsets(TFxShadeDirection d) {
  static const TFxOffset offsets[] = {{0, 0},  {0, -1}, {1, -1}, {1, 0},  {1, 1},
                                      {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};
  return d <= sdUpLeft ? offsets[d] : TFxOffset{0, 0};
}

const std::vector<std::string>& ShadeDirectionNames() {
  static const std::vector<std::string> names = {"sdNone", "sdUp",     "sdUpRight", "sdRight", "sdDownRight",
                                                 "sdDown", "sdDownLeft", "sdLeft",  "sdUpLeft"};
  return names;
}

const std::vector<std::string>& ShadeStyleNames() {
  static const std::vector<std::string> names = {"ssPlain", "ssExtrude", "ssGraduated"};
  return names;
}

const std::vector<std::string>& GraduateStyleNames() {
  static const std::vector<std::string> names = {"gsNone", "gsHorizontal", "gsVertical"};
  return names;
}

void TFxCustomSettings::DeclareProperties(rtl::TClassBuilder<TFxCustomSettings>& b) {
  using S = TFxCustomSettings;
  b.Int("GraduateFromColor", &S::GraduateFromColor, &S::SetGraduateFromColor, gui::clGray).Idents =
      &gui::ColorIdents();
  b.Enum("GraduateStyle", GraduateStyleNames(), &S::GraduateStyle, &S::SetGraduateStyle, gsNone);
  b.Int("HighlightColor", &S::HighlightColor, &S::SetHighlightColor, gui::clWhite).Idents = &gui::ColorIdents();
  b.Int("HighlightDepth", &S::HighlightDepth, &S::SetHighlightDepth, 1);
  b.Enum("HighlightDirection", ShadeDirectionNames(), &S::HighlightDirection, &S::SetHighlightDirection, sdUpLeft);
  b.Enum("HighlightStyle", ShadeStyleNames(), &S::HighlightStyle, &S::SetHighlightStyle, ssPlain);
  b.Int("ShadowColor", &S::ShadowColor, &S::SetShadowColor, gui::clBlack).Idents = &gui::ColorIdents();
  b.Int("ShadowDepth", &S::ShadowDepth, &S::SetShadowDepth, 1);
  b.Enum("ShadowDirection", ShadeDirectionNames(), &S::ShadowDirection, &S::SetShadowDirection, sdDownRight);
  b.Enum("ShadowStyle", ShadeStyleNames(), &S::ShadowStyle, &S::SetShadowStyle, ssPlain);
}

void TFxCustomSettings::Notify(const rtl::TNotifyEvent& notification) {
  if (!updateLock_) notification(this);
}

void TFxCustomSettings::EndUpdate() {
  updateLock_ = false;
  OnColorChange(this);
  OnStyleChange(this);
}

void TFxCustomSettings::Assign(rtl::TPersistent* source) {
  auto* s = rtl::As<TFxCustomSettings>(source);
  if (!s) return inherited::Assign(source);
  graduateFromColor_ = s->graduateFromColor_;
  graduateStyle_ = s->graduateStyle_;
  highlightColor_ = s->highlightColor_;
  highlightDepth_ = s->highlightDepth_;
  highlightDirection_ = s->highlightDirection_;
  highlightStyle_ = s->highlightStyle_;
  shadowColor_ = s->shadowColor_;
  shadowDepth_ = s->shadowDepth_;
  shadowDirection_ = s->shadowDirection_;
  shadowStyle_ = s->shadowStyle_;
}

}  // namespace fx

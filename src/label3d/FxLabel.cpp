#include "FxLabel.h"

#include <algorithm>
#include <cstdint>

#include "Bitmap.h"
#include "Guards.h"
#include "label3d/FxEffect.h"
#include "rtl/FlagScope.h"

namespace fx {

RTL_IMPLEMENT_CLASS(TFxCustomLabel);
RTL_IMPLEMENT_CLASS(TFxLabel);

const std::vector<std::string>& AppearanceNames() {
  static const std::vector<std::string> names = {"apNone", "apCustom", "apFlying", "apRaised", "apSunken", "apShadow"};
  return names;
}

const std::vector<std::string>& ColorSchemeNames() {
  static const std::vector<std::string> names = {"csCustom", "csText", "csWindows", "csEmbossed", "csGold", "csSteel"};
  return names;
}

namespace {

// Highlight, shadow and text colour of each scheme, csCustom first.
constexpr TFxSchemeColors kSchemes[] = {
    {gui::clWhite, gui::clBlack, gui::clGray},   {gui::clWhite, gui::clGray, gui::clBlack},
    {gui::clWhite, gui::clBlack, gui::clGray},   {gui::clWhite, gui::clBlack, gui::clSilver},
    {gui::clYellow, gui::clBlack, gui::clOlive}, {gui::clAqua, gui::clNavy, gui::clTeal},
};

// A 32-bit top-down picture off screen whose pixels are read and written in place
// (0x00RRGGBB each).
class TOffscreen {
 public:
  TOffscreen(HDC compatible, int width, int height)
      : width_(width), dc_(compatible), bitmap_(gui::CreateTopDownSection(width, height, &bits_)), selected_(dc_, bitmap_) {}
  explicit operator bool() const { return selected_.Selected(); }
  HDC Dc() const { return dc_; }
  uint32_t* Row(int y) const { return static_cast<uint32_t*>(bits_) + static_cast<size_t>(y) * width_; }

 private:
  int width_;
  gui::TMemoryDC dc_;
  void* bits_ = nullptr;
  gui::TBitmapHandle bitmap_;
  gui::TSelectObject selected_;
};

// The same font drawn without smoothing.
HFONT UnsmoothedCopy(HFONT font) {
  LOGFONTA lf{};
  GetObjectA(font, sizeof lf, &lf);
  lf.lfQuality = NONANTIALIASED_QUALITY;
  return CreateFontIndirectA(&lf);
}

uint32_t PixelOf(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The band's rectangle from the mask into the work picture, the mask's key colour turned into the
// band's colour.
void CopyBand(const TOffscreen& mask, const TOffscreen& work, const TFxBand& band, int width, int height) {
  const uint32_t key = PixelOf(static_cast<COLORREF>(MaskKeyColor)), colour = PixelOf(band.color);
  int left = std::max<int>(band.rect.left, 0), right = std::min<int>(band.rect.right, width);
  int top = std::max<int>(band.rect.top, 0), bottom = std::min<int>(band.rect.bottom, height);
  for (int y = top; y < bottom; ++y) {
    const uint32_t* from = mask.Row(y);
    uint32_t* to = work.Row(y);
    for (int x = left; x < right; ++x) to[x] = (from[x] & 0xFFFFFF) == key ? colour : from[x];
  }
}

}  // namespace

TFxCustomLabel::TFxCustomLabel(rtl::TComponent* owner)
    : TCustomLabel(owner), settings_(std::make_unique<TFxCustomSettings>()) {
  std::copy(std::begin(kSchemes), std::end(kSchemes), schemeColors_);
  const TFxSchemeColors& windows = schemeColors_[csWindows];
  TFxCustomSettings& s = *settings_;
  s.SetGraduateFromColor(gui::clGray);
  s.SetGraduateStyle(gsNone);
  s.SetHighlightColor(windows.Highlight);
  s.SetHighlightDepth(1);
  s.SetHighlightDirection(sdUpLeft);
  s.SetHighlightStyle(ssPlain);
  s.SetShadowColor(windows.Shadow);
  s.SetShadowDepth(1);
  s.SetShadowDirection(sdDownRight);
  s.SetShadowStyle(ssPlain);
  s.OnColorChange.Bind(this, &TFxCustomLabel::SettingsColorChanged);
  s.OnStyleChange.Bind(this, &TFxCustomLabel::SettingsStyleChanged);
  SetAutoSize(false);
  SetHeight(35);
  SetWidth(150);
  SetTransparent(true);
  Font().SetName("Times New Roman");
  Font().SetSize(20);
  Font().SetColor(windows.Text);
  SetWordWrap(true);
}

TFxCustomLabel::~TFxCustomLabel() = default;

void TFxCustomLabel::DeclareProperties(rtl::TClassBuilder<TFxCustomLabel>& b) {
  b.Enum("Appearance", AppearanceNames(), &TFxCustomLabel::Appearance, &TFxCustomLabel::SetAppearance, apRaised);
  b.Enum("ColorScheme", ColorSchemeNames(), &TFxCustomLabel::ColorScheme, &TFxCustomLabel::SetColorScheme,
         csWindows);
  b.Object("CustomSettings", &TFxCustomLabel::CustomSettingsObject);
}

void TFxLabel::DeclareProperties(rtl::TClassBuilder<TFxLabel>& b) {
  // The label's own construction sets these, so that is what a resource need not repeat.
  b.Bool("AutoSize", &TFxLabel::AutoSize, &TFxLabel::SetAutoSize, false);
  b.Bool("ParentFont", &TFxLabel::ParentFont, &TFxLabel::SetParentFont, false);
  b.Bool("Transparent", &TFxLabel::Transparent, &TFxLabel::SetTransparent, true);
  b.Bool("WordWrap", &TFxLabel::WordWrap, &TFxLabel::SetWordWrap, true);
  b.Str("Version", &TFxLabel::Version, &TFxLabel::SetVersion).Stored = [](const rtl::TObject*) { return false; };
}

void TFxCustomLabel::SetAppearance(TFxAppearance v) {
  if (v == appearance_) return;
  {
    rtl::TFlagScope changing(appearanceChanging_);
    appearance_ = v;
    TFxCustomSettings& s = *settings_;
    s.BeginUpdate();
    const TFxSchemeColors& scheme = schemeColors_[colorScheme_];
    s.SetHighlightColor(scheme.Highlight);
    auto preset = [&s](TFxShadeDirection highlight, TFxShadeDirection shadow, TFxDepth highlightDepth,
                       TFxDepth shadowDepth) {
      s.SetHighlightDirection(highlight);
      s.SetShadowDirection(shadow);
      s.SetHighlightDepth(highlightDepth);
      s.SetShadowDepth(shadowDepth);
    };
    switch (v) {
      case apNone: preset(sdNone, sdNone, 0, 0); break;
      case apCustom: break;
      case apFlying:
        preset(sdDownRight, sdDownRight, 1, 5);
        s.SetHighlightColor(scheme.Shadow);
        break;
      case apRaised: preset(sdUpLeft, sdDownRight, 1, 1); break;
      case apSunken: preset(sdDownRight, sdUpLeft, 1, 1); break;
      case apShadow: preset(sdNone, sdDownRight, 0, 2); break;
    }
    s.EndUpdate();
  }
  Perform(gui::CM_TEXTCHANGED, 0, 0);
}

void TFxCustomLabel::SetColorScheme(TFxColorScheme v) {
  if (v == colorScheme_) return;
  {
    rtl::TFlagScope changing(schemeChanging_);
    colorScheme_ = v;
    TFxCustomSettings& s = *settings_;
    s.BeginUpdate();
    const TFxSchemeColors row = schemeColors_[v];
    s.SetHighlightColor(row.Highlight);
    // A resource stores the font before the scheme: the font it read is the one to draw.
    if (!IsLoading()) Font().SetColor(row.Text);
    s.SetShadowColor(row.Shadow);
    if (v != csCustom) schemeColors_[csCustom] = row;
    s.EndUpdate();
  }
  Perform(gui::CM_TEXTCHANGED, 0, 0);
}

void TFxCustomLabel::SettingsColorChanged(rtl::TObject*) {
  if (IsLoading()) return;
  Invalidate();
  if (schemeChanging_) return;
  colorScheme_ = csCustom;
  Perform(gui::CM_COLORCHANGED, 0, 0);
}

void TFxCustomLabel::SettingsStyleChanged(rtl::TObject*) {
  if (IsLoading()) return;
  Invalidate();
  if (appearanceChanging_) return;
  appearance_ = apCustom;
  Perform(gui::CM_TEXTCHANGED, 0, 0);
}

void TFxCustomLabel::Paint() {
  UINT flags = DrawTextFlags();
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;
  DrawEffectText(ClientRect(), flags);
}

void TFxCustomLabel::DrawEffectText(const RECT& r, UINT flags) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  HDC target = Canvas().Handle();
  const TFxCustomSettings& s = *settings_;
  const TFxExtent extent = EffectExtent(s, flags);
  const gui::TColor fontColor = Font().Color();
  const std::string text = GetLabelText();

  TOffscreen work(target, width, height), mask(target, width, height);
  if (!work || !mask) return;
  // The face on the mask is drawn unsmoothed: a smoothed edge would mix the key colour with what
  // lies under it, and such a pixel is no key to turn into the band's colour. Without that font
  // the face is drawn plain, as without a gradient: the mask's own font is the wrong letters.
  gui::TFontHandle crisp(s.GraduateStyle() == gsNone ? nullptr : UnsmoothedCopy(Font().Handle()));
  const bool gradient = crisp.Get() != nullptr;
  gui::TSelectObject workFont(work.Dc(), Font().Handle()), maskFont(mask.Dc(), crisp);
  BitBlt(work.Dc(), 0, 0, width, height, target, r.left, r.top, SRCCOPY);
  if (!Transparent()) {
    gui::TBrushHandle fill(CreateSolidBrush(gui::ColorToRGB(Color())));
    RECT all{0, 0, width, height};
    FillRect(work.Dc(), &all, fill);
  }
  auto draw = [&](HDC dc, int x, int y, COLORREF colour) {
    RECT at{x, y, x + width, y + height};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &at, flags);
  };

  for (const TFxTextCopy& copy : LayerCopies(s, fontColor, extent)) draw(work.Dc(), copy.x, copy.y, copy.color);
  const TFxRgb face = SplitColor(fontColor);
  if (!gradient) {
    draw(work.Dc(), extent.X(0), extent.Y(0), JoinColor(face.r, face.g, face.b));
  } else {
    BitBlt(mask.Dc(), 0, 0, width, height, work.Dc(), 0, 0, SRCCOPY);
    draw(mask.Dc(), extent.X(0), extent.Y(0), static_cast<COLORREF>(MaskKeyColor));
    RECT line{0, 0, 0, 0};
    DrawTextA(work.Dc(), text.c_str(), static_cast<int>(text.size()), &line,
              (flags & ~DT_WORDBREAK) | DT_SINGLELINE | DT_CALCRECT);
    GdiFlush();  // the text is in the pixels before they are read
    for (const TFxBand& band : GradientBands(s, fontColor, extent, flags, width, height, line.right - line.left))
      CopyBand(mask, work, band, width, height);
  }
  BitBlt(target, r.left, r.top, width, height, work.Dc(), 0, 0, SRCCOPY);
}

}  // namespace fx

#include "GraphicsObjects.h"

#include <cstring>

namespace gui {

RTL_IMPLEMENT_CLASS(TGraphicsObject);
RTL_IMPLEMENT_CLASS(TFont);
RTL_IMPLEMENT_CLASS(TPen);
RTL_IMPLEMENT_CLASS(TBrush);

TGraphicsObject::~TGraphicsObject() = default;

HGDIOBJ TGraphicsObject::Object() {
  if (!handle_) {
    handle_ = CreateObject();
    if (OwnsObject()) owned_.Reset(handle_);  // stock objects (the hollow brush) are never deleted
  }
  return handle_;
}

void TGraphicsObject::Changed() {
  // The old object goes after the listeners had it deselected, even if one of them throws.
  TGdiObject<HGDIOBJ> old(std::move(owned_));
  handle_ = nullptr;
  OnChange(this);
}

// ------------------------------------------------------------------------------------ font

static const std::vector<std::string> kFontStyleNames = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
static const std::vector<std::string> kFontPitchNames = {"fpDefault", "fpVariable", "fpFixed"};
static const rtl::TIdentMap kCharsetIdents = {{
    {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"}, {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"}, {GREEK_CHARSET, "GREEK_CHARSET"}, {TURKISH_CHARSET, "TURKISH_CHARSET"},
}};

void TFont::DeclareProperties(rtl::TClassBuilder<TFont>& b) {
  // Every value of a stored font is written: whether the font is stored is the owner's rule.
  b.IntNoDefault("Charset", &TFont::Charset, &TFont::SetCharset).Idents = &kCharsetIdents;
  b.IntNoDefault("Color", &TFont::Color, &TFont::SetColor).Idents = &ColorIdents();
  b.IntNoDefault("Height", &TFont::Height, &TFont::SetHeight);
  b.Str("Name", &TFont::Name, &TFont::SetName);
  b.Enum("Pitch", kFontPitchNames, &TFont::Pitch, &TFont::SetPitch, fpDefault);
  b.Set("Style", kFontStyleNames, &TFont::Style, &TFont::SetStyle, -1);
}

void TFont::SetName(const std::string& v) {
  if (v == name_ || v.empty()) return;
  name_ = v;
  Changed();
}

void TFont::SetHeight(int v) {
  if (v == height_) return;
  height_ = v;
  Changed();
}

static int ScreenDpi() { return GetDeviceCaps(TScreenDC(), LOGPIXELSY); }

int TFont::Size() const { return -MulDiv(height_, 72, ScreenDpi()); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenDpi(), 72)); }

void TFont::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  // The colour is applied by the canvas; the GDI font stays valid, but listeners must hear of it.
  OnChange(this);
}

void TFont::SetCharset(int v) {
  if (v == charset_) return;
  charset_ = v;
  Changed();
}

void TFont::SetStyle(TFontStyles v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}

void TFont::SetPitch(TFontPitch v) {
  if (v == pitch_) return;
  pitch_ = v;
  Changed();
}

bool TFont::Equals(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && charset_ == o.charset_ &&
         style_ == o.style_ && pitch_ == o.pitch_;
}

void TFont::Assign(rtl::TPersistent* source) {
  auto* f = rtl::As<TFont>(source);
  if (!f) return TGraphicsObject::Assign(source);
  if (Equals(*f)) return;
  name_ = f->name_;
  height_ = f->height_;
  color_ = f->color_;
  charset_ = f->charset_;
  style_ = f->style_;
  pitch_ = f->pitch_;
  Changed();
}

HGDIOBJ TFont::CreateObject() const {
  LOGFONTA lf{};
  lf.lfHeight = height_;
  lf.lfWeight = (style_ & FontStyle(fsBold)) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style_ & FontStyle(fsItalic)) ? 1 : 0;
  lf.lfUnderline = (style_ & FontStyle(fsUnderline)) ? 1 : 0;
  lf.lfStrikeOut = (style_ & FontStyle(fsStrikeOut)) ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(charset_);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  HFONT f = CreateFontIndirectA(&lf);
  if (!f) throw rtl::EOutOfResources(rtl::msg::kOutOfResources);
  return f;
}

// ------------------------------------------------------------------------------------- pen

void TPen::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}

void TPen::SetWidth(int v) {
  if (v == width_) return;
  width_ = v;
  Changed();
}

void TPen::SetStyle(TPenStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}

void TPen::SetMode(TPenMode v) {
  if (v == mode_) return;
  mode_ = v;
  OnChange(this);
}

void TPen::Assign(rtl::TPersistent* source) {
  auto* p = rtl::As<TPen>(source);
  if (!p) return TGraphicsObject::Assign(source);
  color_ = p->color_;
  width_ = p->width_;
  style_ = p->style_;
  mode_ = p->mode_;
  Changed();
}

HGDIOBJ TPen::CreateObject() const {
  static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  HPEN p = CreatePen(styles[style_], width_, ColorToRGB(color_));
  if (!p) throw rtl::EOutOfResources(rtl::msg::kOutOfResources);
  return p;
}

// ----------------------------------------------------------------------------------- brush

void TBrush::SetColor(TColor v) {
  if (v == color_ && style_ != bsClear) return;
  color_ = v;
  if (style_ == bsClear) style_ = bsSolid;  // a colour makes a hollow brush solid again
  Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}

void TBrush::Assign(rtl::TPersistent* source) {
  auto* b = rtl::As<TBrush>(source);
  if (!b) return TGraphicsObject::Assign(source);
  color_ = b->color_;
  style_ = b->style_;
  Changed();
}

HGDIOBJ TBrush::CreateObject() const {
  if (style_ == bsClear) return GetStockObject(NULL_BRUSH);
  HBRUSH b;
  if (style_ == bsSolid) {
    b = CreateSolidBrush(ColorToRGB(color_));
  } else {
    static const int hatch[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    b = CreateHatchBrush(hatch[style_], ColorToRGB(color_));
  }
  if (!b) throw rtl::EOutOfResources(rtl::msg::kOutOfResources);
  return b;
}

}  // namespace gui

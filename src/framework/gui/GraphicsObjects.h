// Fonts, pens and brushes: persistent descriptions that create their GDI object on first use and
// release it when they change or go.
#pragma once

#include <windows.h>

#include <string>

#include "Colors.h"
#include "Guards.h"
#include "rtl/Component.h"

namespace gui {

class TGraphicsObject : public rtl::TPersistent {
  RTL_CLASS(TGraphicsObject, rtl::TPersistent)
 public:
  TGraphicsObject() = default;
  ~TGraphicsObject() override;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;

  // Told after every change; a canvas that had the old object selected selects the new one then,
  // before the old one is deleted.
  rtl::TNotifyEvent OnChange;
  bool HandleAllocated() const { return handle_ != nullptr; }

 protected:
  HGDIOBJ Object();
  virtual HGDIOBJ CreateObject() const = 0;
  virtual bool OwnsObject() const { return true; }
  void Changed();

 private:
  HGDIOBJ handle_ = nullptr;
  TGdiObject<HGDIOBJ> owned_;  // handle_ unless it is a stock object
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = unsigned;  // bit set of TFontStyle
constexpr TFontStyles FontStyle(TFontStyle s) { return 1u << s; }
enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
  RTL_CLASS(TFont, TGraphicsObject)
 public:
  HFONT Handle() { return static_cast<HFONT>(Object()); }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v);
  int Height() const { return height_; }
  void SetHeight(int v);
  // Points at the screen's resolution (derived from Height).
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Charset() const { return charset_; }
  void SetCharset(int v);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles v);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch v);
  void Assign(rtl::TPersistent* source) override;
  bool Equals(const TFont& o) const;

  static void DeclareProperties(rtl::TClassBuilder<TFont>& b);

 protected:
  HGDIOBJ CreateObject() const override;

 private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET;
  TFontStyles style_ = 0;
  TFontPitch pitch_ = fpDefault;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
                pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };

class TPen : public TGraphicsObject {
  RTL_CLASS(TPen, TGraphicsObject)
 public:
  HPEN Handle() { return static_cast<HPEN>(Object()); }
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle v);
  // The raster operation lines are drawn with (applied by the canvas, not part of the pen).
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode v);
  void Assign(rtl::TPersistent* source) override;

 protected:
  HGDIOBJ CreateObject() const override;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
  RTL_CLASS(TBrush, TGraphicsObject)
 public:
  HBRUSH Handle() { return static_cast<HBRUSH>(Object()); }
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle v);
  void Assign(rtl::TPersistent* source) override;

 protected:
  HGDIOBJ CreateObject() const override;
  bool OwnsObject() const override { return style_ != bsClear; }

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

}  // namespace gui

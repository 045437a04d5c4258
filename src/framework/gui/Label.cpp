#include "Label.h"

#include "Accel.h"
#include "Guards.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TCustomLabel);
RTL_IMPLEMENT_CLASS(TLabel);

const std::vector<std::string>& AlignmentNames() {
  static const std::vector<std::string> names = {"taLeftJustify", "taRightJustify", "taCenter"};
  return names;
}

const std::vector<std::string>& TextLayoutNames() {
  static const std::vector<std::string> names = {"tlTop", "tlCenter", "tlBottom"};
  return names;
}

TCustomLabel::TCustomLabel(rtl::TComponent* owner) : TGraphicControl(owner) {
  UpdateBoundsFields(0, 0, 65, 17);
  // Static text shows on its parent's background.
  SetParentColor(true);
}

void TCustomLabel::DeclareProperties(rtl::TClassBuilder<TCustomLabel>& b) {
  // The parent's colour is followed, not stored.
  auto& color = b.Int("Color", &TCustomLabel::Color, &TCustomLabel::SetColor, clWindow);
  color.Idents = &ColorIdents();
  color.Stored = [](const rtl::TObject* o) { return !static_cast<const TCustomLabel*>(o)->ParentColor(); };
  b.Bool("ParentColor", &TCustomLabel::ParentColor, &TCustomLabel::SetParentColor, true);
  b.Enum("Alignment", AlignmentNames(), &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, taLeftJustify);
  b.Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true);
  b.Ref<TWinControl>("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
  b.Enum("Layout", TextLayoutNames(), &TCustomLabel::Layout, &TCustomLabel::SetLayout, tlTop);
  b.Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true);
  b.Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false);
  b.Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false);
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (v == layout_) return;
  layout_ = v;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* c) { focusControl_.Set(c); }

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR && focusControl_ && Enabled() && showAccelChar_ &&
      IsAccel(static_cast<char>(m.WParam), GetLabelText()) && focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    m.Answer(1);
    return;
  }
  TGraphicControl::WndProc(m);
}

UINT TCustomLabel::DrawTextFlags() const {
  static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  return DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | alignments[alignment_];
}

void TCustomLabel::DoDrawText(TCanvas& canvas, RECT& rect, UINT flags) {
  std::string text = GetLabelText();
  // An empty label (or a lone accelerator mark) still measures one line high.
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  canvas.Font().Assign(&Font());
  canvas.Brush().SetStyle(bsClear);
  if (Enabled() || (flags & DT_CALCRECT)) {
    canvas.DrawText(text, rect, flags);
    return;
  }
  // Disabled static text: a highlight copy one pixel down and right, the shadow over it.
  OffsetRect(&rect, 1, 1);
  canvas.Font().SetColor(clBtnHighlight);
  canvas.DrawText(text, rect, flags);
  OffsetRect(&rect, -1, -1);
  canvas.Font().SetColor(clBtnShadow);
  canvas.DrawText(text, rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading()) return;
  RECT r = ClientRect();
  {
    TCanvas measure;
    TScreenDC screen;
    TCanvasDC attached(measure, screen);
    DoDrawText(measure, r, DrawTextFlags() | DT_CALCRECT);
  }
  int width = wordWrap_ ? Width() : r.right - r.left;
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - width;  // the right edge stays
  SetBounds(left, Top(), width, r.bottom - r.top);
}

void TCustomLabel::Paint() {
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  if (!transparent_) {
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
  }
  UINT flags = DrawTextFlags();
  if (layout_ != tlTop) {
    RECT text = r;
    DoDrawText(canvas, text, flags | DT_CALCRECT);
    int spare = Height() - (text.bottom - text.top);
    OffsetRect(&r, 0, layout_ == tlBottom ? spare : spare / 2);
  }
  DoDrawText(canvas, r, flags);
}

}  // namespace gui

#include "entry/EcURL.h"

#include <shellapi.h>

#include "entry/EcBeep.h"
#include "Shell.h"

namespace ec {

RTL_IMPLEMENT_CLASS(TEcURL);

void TEcURL::DeclareProperties(rtl::TClassBuilder<TEcURL>& b) {
  PublishAbout(b);
  b.Str("Caption", &TEcURL::Caption, &TEcURL::SetCaption);
  b.IntNoDefault("HighlightColor", &TEcURL::HighlightColor, &TEcURL::SetHighlightColor).Idents = &gui::ColorIdents();
  b.Str("URL", &TEcURL::URL, &TEcURL::SetURL);
  b.Bool("UseVisitedColor", &TEcURL::UseVisitedColor, &TEcURL::UseVisitedColor, false).HasDefault = false;
  b.IntNoDefault("VisitedColor", &TEcURL::VisitedColor, &TEcURL::SetVisitedColor).Idents = &gui::ColorIdents();
  b.Int("Cursor", &TEcURL::Cursor, &TEcURL::SetCursor, gui::crHandPoint).Idents = &gui::CursorIdents();
}

TEcURL::TEcURL(rtl::TComponent* owner) : TCustomLabel(owner) {
  SetCursor(gui::crHandPoint);
  Font().SetStyle(Font().Style() | gui::FontStyle(gui::fsUnderline));
  Font().SetColor(gui::clBlue);
}

void TEcURL::ShowText() { TCustomLabel::SetCaption(caption_.empty() ? url_ : caption_); }

void TEcURL::SetCaption(const std::string& v) {
  caption_ = v;
  ShowText();
}

void TEcURL::SetURL(const std::string& v) {
  url_ = v;
  if (caption_.empty()) ShowText();
}

gui::TColor TEcURL::RestingColor() const { return hoverTimer_ && savedColor_ ? *savedColor_ : Font().Color(); }

void TEcURL::ColorsChanged() {
  // The resting colour is taken again at the next hover; while highlighted the font shows the
  // highlight, and the colour saved is the one to go back to.
  if (!hoverTimer_) savedColor_.reset();
}

void TEcURL::SetHighlightColor(gui::TColor v) {
  highlightColor_ = v == gui::clNone ? RestingColor() : v;
  ColorsChanged();
}

void TEcURL::SetVisitedColor(gui::TColor v) {
  visitedColor_ = v == gui::clNone ? RestingColor() : v;
  ColorsChanged();
}

bool TEcURL::Inside(POINT p) const {
  RECT r = ClientRect();
  return PtInRect(&r, p) != FALSE;
}

void TEcURL::MouseMove(gui::TShiftState shift, int x, int y) {
  rtl::TAliveToken alive = AliveToken();  // OnMouseMove may free the label
  TCustomLabel::MouseMove(shift, x, y);
  if (!alive || !Inside(POINT{x, y}) || hoverTimer_) return;
  if (!savedColor_) savedColor_ = Font().Color();
  Font().SetColor(highlightColor_);
  hoverTimer_ = new gui::TTimer(this);
  hoverTimer_->SetInterval(kHoverCheckInterval);
  hoverTimer_->OnTimer.Bind(this, &TEcURL::CheckHover);
  hoverTimer_->SetEnabled(true);
}

void TEcURL::CheckHover(rtl::TObject*) {
  POINT p{};
  GetCursorPos(&p);
  if (Inside(ScreenToClient(p))) return;
  gui::TTimer* timer = hoverTimer_;
  hoverTimer_ = nullptr;
  timer->Free();  // from inside its own tick, which the timer allows
  if (savedColor_) Font().SetColor(*savedColor_);
  Invalidate();
}

void TEcURL::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  rtl::TAliveToken alive = AliveToken();
  TCustomLabel::MouseDown(button, shift, x, y);
  if (alive && button == gui::mbLeft) pressed_ = true;
}

void TEcURL::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  rtl::TAliveToken alive = AliveToken();
  TCustomLabel::MouseUp(button, shift, x, y);
  if (!alive || button != gui::mbLeft || !pressed_) return;
  pressed_ = false;
  if (Inside(POINT{x, y})) Click();
}

void TEcURL::Click() {
  // The shell may run messages while it starts the browser; OnClick may free the label.
  rtl::TAliveToken alive = AliveToken();
  if (!url_.empty()) {
    std::string file = url_.substr(0, kMaxURLLength);
    HINSTANCE result = shellExecute_ ? shellExecute_(nullptr, "open", file.c_str(), "", "", SW_SHOWNORMAL)
                                     : gui::CallShellExecute(nullptr, "open", file.c_str(), "", "", SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) EcMessageBeep(0);
    if (!alive) return;
  }
  TCustomLabel::Click();
  if (alive && UseVisitedColor) savedColor_ = visitedColor_;
}

}  // namespace ec

#include "StylerTest.h"

#include <gtest/gtest.h>

namespace stytest {

namespace {

void ShowAs(gui::TForm* form, gui::TFormBorderStyle bs, int width) {
  form->SetBorderStyle(bs);
  form->SetBounds(40, 40, width, 100);
  form->HandleNeeded();
  form->SetClientHeight(40);  // the outer width stays
  form->Show();
  SetForegroundWindow(form->Handle());
  Pump();
}

}  // namespace

gui::TForm* ShownForm(gui::TApplication& app, gui::TFormBorderStyle bs, int width) {
  auto* form = new gui::TForm(&app);
  ShowAs(form, bs, width);
  return form;
}

StyledForm::StyledForm(gui::TFormBorderStyle bs, int width, tsupport::TMessageRecorder* watch) {
  app.Initialize();
  ShowAs(form, bs, width);
  if (watch) watch->Watch(*form, "form");
  styler = new styler::TGxFormStyler(form);
  styler->CompanyText()->SetCaption("Brindlex UK");
  styler->CompanyText()->ApplyFontKind(styler::fkSystemBI);
  styler->AppNameText()->SetCaption("Tessaline - ");
  styler->AppNameText()->ApplyFontKind(styler::fkSystemB);
  styler->CaptionText()->SetCaption("v1.01");
  styler->RedrawFrame();
  Pump();
}

void CaptureWindow(HWND wnd, Surface& s) {
  GdiFlush();
  gui::TWindowDC dc(wnd);
  BitBlt(s.Dc(), 0, 0, s.Width(), s.Height(), dc, 0, 0, SRCCOPY);
}

RECT CaptionRect(HWND wnd, gui::TFormBorderStyle bs) {
  RECT w;
  GetWindowRect(wnd, &w);
  bool sizing = bs == gui::bsSizeable || bs == gui::bsSizeToolWin;
  bool tool = bs == gui::bsToolWindow || bs == gui::bsSizeToolWin;
  int fx = GetSystemMetrics(sizing ? SM_CXFRAME : SM_CXDLGFRAME), fy = GetSystemMetrics(sizing ? SM_CYFRAME : SM_CYDLGFRAME);
  int h = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
  return RECT{fx, fy, (w.right - w.left) - fx, fy + h};
}

RECT TextRect(HWND wnd, gui::TFormBorderStyle bs) {
  RECT r = CaptionRect(wnd, bs);
  if (bs == gui::bsToolWindow || bs == gui::bsSizeToolWin)
    r.right -= GetSystemMetrics(SM_CXSMSIZE) + 2;
  else
    r.right -= 3 * GetSystemMetrics(SM_CXSIZE) + 2;
  return r;
}

int BandEdge(const RECT& r, int i, int n) { return r.left + MulDiv(i, r.right - r.left, n); }

COLORREF BandColour(COLORREF from, COLORREF to, int i, int n) {
  if (n == 1) return from;
  auto part = [&](int a, int b) { return (a + MulDiv(i, b - a, n - 1)) & 0xFF; };
  return RGB(part(GetRValue(from), GetRValue(to)), part(GetGValue(from), GetGValue(to)),
             part(GetBValue(from), GetBValue(to)));
}

HFONT CaptionFont(bool bold, bool italic) {
  NONCLIENTMETRICSA m{};
  m.cbSize = 340;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &m, 0);
  LOGFONTA system{};
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system);
  LOGFONTA lf{};
  lf.lfHeight = m.lfCaptionFont.lfHeight;
  lf.lfWeight = bold || m.lfCaptionFont.lfWeight > FW_MEDIUM ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic || m.lfCaptionFont.lfItalic;
  lf.lfCharSet = system.lfCharSet;
  lstrcpynA(lf.lfFaceName, m.lfCaptionFont.lfFaceName, LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

int TextWidth(HFONT font, const std::string& text) {
  gui::TScreenDC screen;
  gui::TSelectObject selected(screen, font);
  RECT r{0, 0, 1000, 100};
  DrawTextA(screen, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return r.right - r.left;
}

void DrawSegment(Surface& s, HFONT font, const std::string& text, int x, const RECT& t, COLORREF colour, UINT extra) {
  gui::TSaveDC saved(s.Dc());
  SelectObject(s.Dc(), font);
  SetBkMode(s.Dc(), TRANSPARENT);
  SetTextColor(s.Dc(), colour);
  RECT r{x, t.top, t.right, t.bottom};
  DrawTextA(s.Dc(), text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | extra);
}

}  // namespace stytest

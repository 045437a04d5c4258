// Measures one caption paint of the main window's look (64 bands, icon, buttons, three
// segments) beside the platform's own non-client paint of the same window without the styler,
// and beside one plain BitBlt of the caption's size to the same window, all in the same run.
// The batches of the three take turns, so a change in the machine's load meets all of them.
//
//   bench_styler [--rounds N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "Bench.h"
#include "StylerTest.h"

namespace {

using tsupport::MeasureInTurns;

}  // namespace

int main(int argc, char** argv) {
  int rounds = 200;
  for (int i = 1; i < argc; ++i)
    if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));

  // Two windows of the main window's size (a client area 508 wide, a single border): one styled,
  // one the same without the styler, which the platform paints.
  stytest::StyledForm styled(gui::bsSingle, 508 + 2 * GetSystemMetrics(SM_CXDLGFRAME));
  stytest::StyledForm plain(gui::bsSingle, 508 + 2 * GetSystemMetrics(SM_CXDLGFRAME));
  delete plain.styler;
  plain.form->SetText(styled.form->Caption());
  HWND wnd = styled.Wnd();
  RECT c = styled.styler->GetCaptionRect();

  gui::TWindowDC dc(wnd);
  gui::TMemoryDC mem(dc);
  gui::TBitmapHandle bmp(CreateCompatibleBitmap(dc, c.right, c.bottom));
  gui::TSelectObject selected(mem, bmp);
  HWND platformWnd = plain.Wnd();
  std::vector<double> t = MeasureInTurns(rounds, {
      [&] { styled.styler->PaintCaption(true); },
      [&] { DefWindowProcA(platformWnd, WM_NCPAINT, 1, 0); },
      [&] { BitBlt(dc, c.left, c.top, c.right - c.left, c.bottom - c.top, mem, c.left, c.top, SRCCOPY); },
      [&] { SendMessageA(wnd, WM_NCPAINT, 1, 0); },
  });

  // Where a PaintCaption's time goes: its pieces, each on the same off-screen bitmap.
  HDC m = mem;
  RECT text = styled.styler->GetTextRect();
  HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
  std::vector<double> parts = MeasureInTurns(rounds, {
      [&] { styler::TGxFormStyler::GradientFill(m, RGB(0, 0, 0), RGB(0, 0, 128), text, 64); },
      [&] {
        RECT b{c.right - 20, c.top + 2, c.right - 4, c.bottom - 2};
        DrawFrameControl(m, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE);
      },
      [&] { DrawIconEx(m, text.left + 2, text.top + 1, icon, 16, 16, 0, nullptr, DI_NORMAL); },
      [&] {
        RECT r = text;
        gui::TSelectObject font(m, styled.styler->CaptionText()->Font().Handle());
        DrawTextA(m, "Connect", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      },
      [&] {
        gui::TMemoryDC scratch(dc);
        gui::TBitmapHandle b(CreateCompatibleBitmap(dc, c.right, c.bottom));
        gui::TSelectObject on(scratch, b);
      },
      [&] { gui::TWindowDC w(wnd); },
  });

  std::printf("caption %ld x %ld, %d calls per batch, median of 9 batches\n", c.right - c.left, c.bottom - c.top,
              rounds);
  std::printf("  PaintCaption, 64 bands                 %8.1f us\n", t[0]);
  std::printf("  DefWindowProc WM_NCPAINT, no styler    %8.1f us\n", t[1]);
  std::printf("  BitBlt of the caption's size           %8.2f us\n", t[2]);
  std::printf("  styled WM_NCPAINT (caption + the rest) %8.1f us\n", t[3]);
  std::printf("  PaintCaption / DefWindowProc           %8.2f\n", t[0] / t[1]);
  std::printf("  PaintCaption / BitBlt                  %8.1f\n", t[0] / t[2]);
  std::printf("parts: 64 bands %.1f us, one caption button %.1f us, the small icon %.1f us, one segment's text %.1f us,\n"
              "       a bitmap of the display's kind made and freed %.1f us (now once per caption size), the window's DC got %.1f us\n",
              parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
  return 0;
}

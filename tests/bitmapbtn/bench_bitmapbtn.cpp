// Measures the main window's button: one FastRedraw (a state change through the back buffer)
// and one full paint, beside one plain BitBlt of the same size to the same window, all in the
// same run. With --save DIR it also writes the button's looks as bitmap files.
//
//   bench_bitmapbtn [--rounds N] [--save DIR]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Bench.h"
#include "BitmapBtnTest.h"
#include "TestWindows.h"

using namespace bitmapbtn;

namespace {

constexpr int kLeft = 368, kTop = 48, kWidth = 129, kHeight = 81;

// Microseconds per call: the median of several batches, so one slow batch does not count.
template <class F>
double Measure(int rounds, F op) {
  return tsupport::MeasureInTurns(rounds, {op})[0];
}

void SaveButton(gui::TForm& form, const std::string& path) {
  bmptest::Surface all(508, 161);
  bmptest::PaintForm(form, all);
  bmptest::Surface button(kWidth, kHeight);
  BitBlt(button.Dc(), 0, 0, kWidth, kHeight, all.Dc(), kLeft, kTop, SRCCOPY);
  button.Save(path);
  std::printf("wrote %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 200;
  std::string saveDir;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    if (!std::strcmp(argv[i], "--save") && i + 1 < argc) saveDir = argv[++i];
  }

  tsupport::TTestForm fixture;
  gui::TForm* form = fixture.form;
  fixture.app.Initialize();
  bmptest::LoadForm(*form, bmptest::kMainWindowText);
  auto* btn = static_cast<TGxBitmapButton*>(form->FindComponent("btnDial"));
  HWND wnd = form->Handle();
  form->Show();
  UpdateWindow(wnd);

  if (!saveDir.empty()) {
    SaveButton(*form, saveDir + "/btnDial-rest.bmp");
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kLeft + 60, kTop + 40));
    SaveButton(*form, saveDir + "/btnDial-pressed.bmp");
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(kLeft + 60, kTop + 40));
    btn->SetEnabled(false);
    SaveButton(*form, saveDir + "/btnDial-disabled.bmp");
    btn->SetEnabled(true);
    btn->SetCaption("Hang Up");
    SaveButton(*form, saveDir + "/btnDial-hangup.bmp");
    btn->SetCaption("Dial");
    btn->SetButtonStyle(bsExplorer);
    SaveButton(*form, saveDir + "/btnDial-explorer.bmp");
    SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(kLeft + 60, kTop + 40));
    SaveButton(*form, saveDir + "/btnDial-explorer-hot.bmp");
    SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    btn->SetButtonStyle(bsRegular);
    UpdateWindow(wnd);
  }

  // The same window DC setup for every operation: the button's place on the form, clipped to it.
  gui::TClientDC dc(wnd);
  gui::TSaveDC saved(dc);
  SetViewportOrgEx(dc, kLeft, kTop, nullptr);
  IntersectClipRect(dc, 0, 0, kWidth, kHeight);
  bmptest::Surface source(kWidth, kHeight, RGB(10, 200, 30));

  // The platform's own push button of the same size on the same form: a state change (BM_SETSTATE
  // repaints it at once) and a repaint of the whole button.
  HWND platform = CreateWindowExA(0, "BUTTON", "Dial", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, kLeft, kTop + kHeight + 4,
                                  kWidth, kHeight, wnd, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(platform, WM_SETFONT, reinterpret_cast<WPARAM>(btn->Font().Handle()), FALSE);
  UpdateWindow(platform);
  bool state = false;
  std::vector<double> t = tsupport::MeasureInTurns(rounds, {
      [&] { btn->FastRedraw(); },
      [&] {
        state = !state;
        SendMessageA(platform, BM_SETSTATE, state, 0);
      },
      [&] { btn->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc.Handle()), 0); },
      [&] { RedrawWindow(platform, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); },
      [&] { BitBlt(dc, 0, 0, kWidth, kHeight, source.Dc(), 0, 0, SRCCOPY); },
  });
  const double fast = t[0], platformState = t[1], full = t[2], platformRepaint = t[3], blit = t[4];
  DestroyWindow(platform);
  // The two routines a paint spends most of its time in.
  bmptest::Surface memory(kWidth, kHeight);
  HBITMAP strip = FreeHandle(btn->GlyphStrip());
  double keyed = Measure(rounds, [&] { DrawTransparentBitmap(memory.Dc(), strip, 0, 0, RECT{0, 0, 32, 32}, 0); });
  TGxGlyphMasks masks;
  double masked = Measure(rounds, [&] { masks.Draw(memory.Dc(), btn->GlyphStrip(), 0, 0, RECT{0, 0, 32, 32}, 0); });
  double pixel = Measure(rounds, [&] { GetBitmapPixel(strip, POINT{0, 0x7FFFFFFE}); });
  // The grey and the embossed glyph cells are made pixel by pixel in the bitmap's own memory.
  gui::TBitmap cell;
  cell.SetSize(32, 32);
  double gray = Measure(rounds, [&] { MakeGray(cell, 11, 59, 30); });
  double disabled = Measure(rounds, [&] { MakeDisabled(cell); });

  std::printf("btnDial %dx%d, %d calls per batch, median of 9 batches, beside the platform's push button\n", kWidth,
              kHeight, rounds);
  std::printf("  FastRedraw                         %9.2f us\n", fast);
  std::printf("  platform button, BM_SETSTATE       %9.2f us\n", platformState);
  std::printf("  FastRedraw / platform state change %9.2f\n", fast / platformState);
  std::printf("  full paint (WM_PAINT)              %9.2f us\n", full);
  std::printf("  platform button, whole repaint     %9.2f us\n", platformRepaint);
  std::printf("  full paint / platform repaint      %9.2f\n", full / platformRepaint);
  std::printf("  plain BitBlt of the button's size  %9.2f us (FastRedraw %.1f x, full paint %.1f x)\n", blit,
              fast / blit, full / blit);
  std::printf("parts: DrawTransparentBitmap 32x32 %.2f us, the same through the button's glyph masks %.2f us,\n"
              "       GetBitmapPixel %.2f us\n", keyed, masked, pixel);
  std::printf("glyph cells 32x32: MakeGray %.2f us, MakeDisabled %.2f us\n", gray, disabled);
  return 0;
}

#include "MemorySurface.h"

#include <cstdio>

#include "Bitmap.h"

namespace tsupport {

namespace {
HBITMAP MakeSection(int w, int h) {
  void* bits = nullptr;
  return gui::CreateTopDownSection(w, h, &bits);
}
}  // namespace

Surface::Surface(int w, int h, COLORREF fill) : w_(w), h_(h), bmp_(MakeSection(w, h)), selected_(dc_, bmp_) {
  Fill(fill);
}

void Surface::Fill(COLORREF c) {
  gui::TBrushHandle b(CreateSolidBrush(c));
  RECT r{0, 0, w_, h_};
  FillRect(dc_, &r, b);
}

void Surface::Save(const std::string& path) const {
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{sizeof ih, w_, -h_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::string pixels(static_cast<size_t>(w_) * static_cast<size_t>(h_) * 4, '\0');
  BITMAPINFO bi{};
  bi.bmiHeader = ih;
  GetDIBits(dc_, bmp_, 0, static_cast<UINT>(h_), pixels.data(), &bi, DIB_RGB_COLORS);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = static_cast<DWORD>(fh.bfOffBits + pixels.size());
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(pixels.data(), pixels.size(), 1, f);
    std::fclose(f);
  }
}

void PaintWindowInto(HWND wnd, Surface& s) {
  SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.Dc()), 0);
  SendMessageA(wnd, WM_PAINT, reinterpret_cast<WPARAM>(s.Dc()), 0);
}

}  // namespace tsupport

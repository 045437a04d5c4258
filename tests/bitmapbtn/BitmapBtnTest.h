// Helpers of the bitmap-button tests: a memory surface to paint on, the main window's stored
// bitmap list, and forms built from form text as the program builds its window.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "Forms.h"
#include "bitmapbtn/GxBmpBtn.h"
#include "rtl/Filer.h"
#include "rtl/FormText.h"

namespace bmptest {

// A 32-bit memory DC of the given size; everything it owns goes with it.
class Surface {
 public:
  Surface(int w, int h, COLORREF fill = RGB(1, 2, 3)) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bmp_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
    HBRUSH b = CreateSolidBrush(fill);
    RECT r{0, 0, w, h};
    FillRect(dc_, &r, b);
    DeleteObject(b);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  int Width() const { return w_; }
  int Height() const { return h_; }
  // Saves the picture as a bitmap file (for looking at it).
  void Save(const std::string& path) const;

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

// The form paints itself into the surface as into its window: background, then its controls.
void PaintForm(gui::TForm& form, Surface& s);

// The main window's stored "ListItems" value (4348 bytes), linked into the test program.
std::string MainListItems();

// Builds a form's contents from form text; "@'ListItems'" includes the main window's value, other
// names the values given.
void LoadForm(gui::TForm& form, const std::string& text,
              const std::map<std::string, std::string>& includes = {});

// The two components of the main window this family provides, as its form resource sets them.
extern const char* const kMainWindowText;

inline std::string Hex(COLORREF c) {
  char s[16];
  wsprintfA(s, "%06lX", static_cast<unsigned long>(c));
  return s;
}

}  // namespace bmptest

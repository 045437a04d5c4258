// Bitmaps as device-independent sections: pixel-exact on every display, loadable from and
// savable to the platform's bitmap file format, with a canvas of their own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Guards.h"
#include "rtl/Streams.h"

namespace gui {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A 32-bit section with its first row at the top (pixels 0x00RRGGBB, read and written in place
// through *bits): what the program composes off screen in. Null when the platform refuses.
HBITMAP CreateTopDownSection(int width, int height, void** bits);

class TBitmap : public rtl::TPersistent {
  RTL_CLASS(TBitmap, rtl::TPersistent)
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  // Keeps the picture in the part both sizes share.
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat f);
  // The bitmap handle; selected into the canvas's DC while the canvas holds one.
  HBITMAP Handle();
  TCanvas& Canvas();
  // Releases the canvas's DC (the picture stays).
  void Dormant();

  // One pixel as an RGB colour, (0, 0) the top-left. A 32-bit bitmap (pfDevice, pf32bit) is read
  // and written in its own memory, its canvas's DC released first (as Dormant), so the handle must
  // not be selected into another DC meanwhile; another depth goes through its canvas. Writing
  // tells nobody: a caller that changes pixels calls Changed() once it is done. A point outside
  // the bitmap raises EInvalidGraphic "Pixel index out of range".
  TColor PixelAt(int x, int y);
  void SetPixelAt(int x, int y, TColor c);

  // Bitmap file format. The pixel bits are taken right after the colour table (the file header's
  // size and offset are not consulted); a 12-byte core header and bit-field masks are accepted.
  // Throws EInvalidGraphic "Bitmap image is not valid" and EReadError on short data.
  void LoadFromStream(rtl::TStream& stream);
  void SaveToStream(rtl::TStream& stream);
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);
  void LoadFromResourceName(HINSTANCE instance, const char* name);
  void LoadFromResourceID(HINSTANCE instance, int id) { LoadFromResourceName(instance, MAKEINTRESOURCEA(id)); }

  void Assign(rtl::TPersistent* source) override;
  // Told after every change of size, format or pixels (drawing on its canvas included).
  rtl::TNotifyEvent OnChange;
  void Changed();

 private:
  friend class TBitmapCanvas;
  void Release();
  void CreateSection(const BITMAPINFO* info, const void* bits, UINT bitsSize);
  void CanvasChanged(rtl::TObject*) { Changed(); }
  // The pixel's 32-bit cell in the section (0x00RRGGBB), or nullptr when the depth is another.
  uint32_t* PixelCell(int x, int y);

  TBitmapHandle handle_;
  void* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  TPixelFormat format_ = pfDevice;
  std::vector<uint8_t> info_;  // BITMAPINFOHEADER, masks and colour table of the section
  std::unique_ptr<class TBitmapCanvas> canvas_;
};

class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }
  void FreeContext();

 protected:
  void CreateHandle() override;

 private:
  TBitmap& bitmap_;
  std::optional<TMemoryDC> memDc_;
  std::optional<TSelectObject> selection_;  // the bitmap in memDc_
};

}  // namespace gui

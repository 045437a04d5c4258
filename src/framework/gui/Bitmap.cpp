#include "Bitmap.h"

#include <algorithm>
#include <cstring>

#include "rtl/BitmapFile.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TBitmap);

namespace {

int BitsOf(TPixelFormat f) {
  switch (f) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

TPixelFormat FormatOf(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

size_t Stride(int width, int bits) { return rtl::BitmapStride(width, bits); }

// A header for a new section of the given format; palettes get the system's default colours.
std::vector<uint8_t> MakeInfo(int width, int height, TPixelFormat f) {
  int bits = BitsOf(f);
  int colors = bits <= 8 ? 1 << bits : 0;
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(colors) * 4);
  auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = static_cast<WORD>(bits);
  h->biCompression = BI_RGB;
  if (colors) {
    auto* pal = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    PALETTEENTRY entries[256]{};
    HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    int n = static_cast<int>(GetPaletteEntries(stock, 0, 256, entries));
    for (int i = 0; i < colors; ++i) {
      if (bits == 1) {
        pal[i] = i ? RGBQUAD{255, 255, 255, 0} : RGBQUAD{0, 0, 0, 0};
      } else if (i < n) {
        // The default palette's 20 colours: first half at the start, second half at the end.
        int src = i < 10 || n <= 10 ? i : (i >= colors - 10 ? n - (colors - i) : -1);
        if (src >= 0 && src < n) pal[i] = RGBQUAD{entries[src].peBlue, entries[src].peGreen, entries[src].peRed, 0};
      }
    }
  }
  return info;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();
  Release();
}

void TBitmap::Release() {
  if (canvas_) canvas_->FreeContext();
  handle_.Reset();
  bits_ = nullptr;
}

void TBitmap::Changed() { OnChange(this); }

HBITMAP CreateTopDownSection(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

void TBitmap::CreateSection(const BITMAPINFO* info, const void* bits, UINT bitsSize) {
  void* newBits = nullptr;
  TBitmapHandle h(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &newBits, nullptr, 0));
  if (!h) throw rtl::EOutOfResources(rtl::msg::kOutOfResources);
  if (bits) std::memcpy(newBits, bits, bitsSize);
  Release();
  handle_ = std::move(h);
  bits_ = newBits;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == width_ && height == height_) return;
  if (width == 0 || height == 0) {
    Release();
    width_ = width;
    height_ = height;
    info_.clear();
    Changed();
    return;
  }
  std::vector<uint8_t> info = MakeInfo(width, height, format_);
  if (!info_.empty()) {  // keep the old palette
    size_t keep = std::min(info.size(), info_.size()) - sizeof(BITMAPINFOHEADER);
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), info_.data() + sizeof(BITMAPINFOHEADER), keep);
  }
  void* newBits = nullptr;
  TBitmapHandle h(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &newBits, nullptr, 0));
  if (!h) throw rtl::EOutOfResources(rtl::msg::kOutOfResources);
  {
    // New pixels are white, as a fresh canvas shows; the old picture is copied into the top-left.
    TMemoryDC dst;
    TSelectObject intoDst(dst, h);
    RECT all{0, 0, width, height};
    FillRect(dst, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (handle_) {
      if (canvas_) canvas_->FreeContext();
      TMemoryDC src;
      TSelectObject intoSrc(src, handle_);
      BitBlt(dst, 0, 0, std::min(width, width_), std::min(height, height_), src, 0, 0, SRCCOPY);
    }
  }
  Release();
  handle_ = std::move(h);
  bits_ = newBits;
  info_ = std::move(info);
  width_ = width;
  height_ = height;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat f) {
  if (f == format_) return;
  format_ = f;
  if (Empty()) return;
  int w = width_, h = height_;
  // Redraw the picture into a section of the new format.
  TBitmap copy;
  copy.format_ = f;
  copy.SetSize(w, h);
  copy.Canvas().Draw(0, 0, *this);
  copy.Dormant();
  Release();
  handle_ = std::move(copy.handle_);
  bits_ = std::exchange(copy.bits_, nullptr);
  info_ = std::move(copy.info_);
  Changed();
}

HBITMAP TBitmap::Handle() { return handle_; }

uint32_t* TBitmap::PixelCell(int x, int y) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw rtl::EInvalidGraphic(rtl::msg::kPixelIndexError);
  const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(info_.data());
  if (!bits_ || h->biBitCount != 32) return nullptr;
  if (h->biCompression == BI_BITFIELDS) {  // only the plain red, green, blue order
    const auto* masks = reinterpret_cast<const DWORD*>(info_.data() + sizeof(BITMAPINFOHEADER));
    if (masks[0] != 0xFF0000 || masks[1] != 0xFF00 || masks[2] != 0xFF) return nullptr;
  }
  // The canvas lets the section go, so no drawing through its DC is still pending.
  if (canvas_) canvas_->FreeContext();
  // Rows are stored bottom-up unless the height is negative.
  size_t row = h->biHeight > 0 ? static_cast<size_t>(height_ - 1 - y) : static_cast<size_t>(y);
  return static_cast<uint32_t*>(bits_) + row * static_cast<size_t>(width_) + static_cast<size_t>(x);
}

TColor TBitmap::PixelAt(int x, int y) {
  if (const uint32_t* cell = PixelCell(x, y)) {
    uint32_t p = *cell;
    return static_cast<TColor>(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  return static_cast<TColor>(GetPixel(Canvas().Handle(), x, y));
}

void TBitmap::SetPixelAt(int x, int y, TColor c) {
  COLORREF rgb = ColorToRGB(c);
  if (uint32_t* cell = PixelCell(x, y))
    *cell = (static_cast<uint32_t>(GetRValue(rgb)) << 16) | (static_cast<uint32_t>(GetGValue(rgb)) << 8) | GetBValue(rgb);
  else
    ::SetPixel(Canvas().Handle(), x, y, rgb);
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TBitmapCanvas>(*this);
    canvas_->OnChange.Bind(this, &TBitmap::CanvasChanged);
  }
  return *canvas_;
}

void TBitmap::Dormant() {
  if (canvas_) canvas_->FreeContext();
}

void TBitmap::LoadFromStream(rtl::TStream& stream) {
  long long available = stream.Size() - stream.Position();
  if (available <= 0) {  // nothing stored: an empty bitmap
    SetSize(0, 0);
    return;
  }
  // The file is read by the portable decoder; here only the section is made.
  static_assert(sizeof(BITMAPINFOHEADER) == rtl::kBitmapInfoHeaderSize);
  rtl::TBitmapFileImage file = rtl::ReadBitmapFile(stream);
  const int rows = file.Rows();
  if (!file.Compressed()) {
    CreateSection(reinterpret_cast<const BITMAPINFO*>(file.info.data()), file.pixels.data(),
                  static_cast<UINT>(file.pixels.size()));
    info_ = std::move(file.info);
  } else {
    // Compressed rows are expanded into a plain section of the same depth.
    std::vector<uint8_t> plain = file.info;
    auto* ph = reinterpret_cast<BITMAPINFOHEADER*>(plain.data());
    ph->biCompression = BI_RGB;
    ph->biSizeImage = 0;
    CreateSection(reinterpret_cast<BITMAPINFO*>(plain.data()), nullptr, 0);
    SetDIBits(TScreenDC(), handle_, 0, static_cast<UINT>(rows), file.pixels.data(),
              reinterpret_cast<const BITMAPINFO*>(file.info.data()), DIB_RGB_COLORS);
    info_ = std::move(plain);
  }
  format_ = FormatOf(file.bitCount);
  width_ = file.width;
  height_ = rows;
  Changed();
}

void TBitmap::SaveToStream(rtl::TStream& stream) {
  if (Empty()) return;
  if (canvas_) GdiFlush();
  auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info_.data());
  size_t size = Stride(width_, h->biBitCount) * static_cast<size_t>(height_);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = static_cast<DWORD>(sizeof fh + info_.size());
  fh.bfSize = static_cast<DWORD>(fh.bfOffBits + size);
  BITMAPINFOHEADER out = *h;
  out.biSizeImage = static_cast<DWORD>(size);
  stream.WriteBuffer(&fh, sizeof fh);
  stream.WriteBuffer(&out, sizeof out);
  stream.WriteBuffer(info_.data() + sizeof out, static_cast<long long>(info_.size() - sizeof out));
  stream.WriteBuffer(bits_, static_cast<long long>(size));
}

void TBitmap::LoadFromFile(const std::string& path) {
  rtl::TFileStream f(path, rtl::TFileStream::Mode::Open);
  LoadFromStream(f);
}

void TBitmap::SaveToFile(const std::string& path) {
  rtl::TFileStream f(path, rtl::TFileStream::Mode::Create);
  SaveToStream(f);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const char* name) {
  HRSRC res = FindResourceA(instance, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  HGLOBAL data = res ? LoadResource(instance, res) : nullptr;
  const void* p = data ? LockResource(data) : nullptr;
  if (!p) throw rtl::EInvalidGraphic(rtl::msg::kInvalidBitmap);
  // A bitmap resource is a bitmap file without its file header.
  DWORD n = SizeofResource(instance, res);
  rtl::TMemoryStream s;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfSize = static_cast<DWORD>(sizeof fh + n);
  s.WriteBuffer(&fh, sizeof fh);
  s.WriteBuffer(p, n);
  s.SetPosition(0);
  LoadFromStream(s);
}

void TBitmap::Assign(rtl::TPersistent* source) {
  if (!source) {
    SetSize(0, 0);
    return;
  }
  auto* b = rtl::As<TBitmap>(source);
  if (!b) return rtl::TPersistent::Assign(source);
  if (b == this) return;
  if (b->Empty()) {
    format_ = b->format_;
    SetSize(0, 0);
    return;
  }
  if (b->canvas_) GdiFlush();
  auto* h = reinterpret_cast<BITMAPINFOHEADER*>(b->info_.data());
  CreateSection(reinterpret_cast<BITMAPINFO*>(b->info_.data()), b->bits_,
                static_cast<UINT>(Stride(b->width_, h->biBitCount) * static_cast<size_t>(b->height_)));
  info_ = b->info_;
  width_ = b->width_;
  height_ = b->height_;
  format_ = b->format_;
  Changed();
}

void TBitmapCanvas::CreateHandle() {
  // An empty bitmap still gets a DC, so measuring text works on it.
  memDc_.emplace();
  if (bitmap_.handle_) selection_.emplace(*memDc_, bitmap_.handle_);
  SetHandle(*memDc_);
}

void TBitmapCanvas::FreeContext() {
  if (!memDc_) return;
  SetHandle(nullptr);  // restores the DC's font, pen and brush
  selection_.reset();
  memDc_.reset();
}

}  // namespace gui

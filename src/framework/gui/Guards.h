// Scoped handles: every short-lived GDI/USER handle lives in one of these, so it is released on
// every path, exceptions included. None of them can be copied; the owning ones can be moved.
#pragma once

#include <windows.h>

#include <utility>

#include "rtl/Exceptions.h"

namespace gui {

// An owned handle, given back with Free when the guard goes.
template <class H, class Free>
class TOwnedHandle {
 public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(H h) : h_(h) {}
  ~TOwnedHandle() { Reset(); }
  TOwnedHandle(TOwnedHandle&& o) noexcept : h_(o.Release()) {}
  TOwnedHandle& operator=(TOwnedHandle&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;

  H Get() const { return h_; }
  operator H() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  // Gives the handle up without freeing it.
  H Release() { return std::exchange(h_, nullptr); }
  void Reset(H h = nullptr) {
    if (h_ && h_ != h) Free{}(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};

struct TDeleteGdiObject {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct TDestroyIcon {
  void operator()(HICON h) const { DestroyIcon(h); }
};
struct TDestroyMenu {
  void operator()(HMENU h) const { DestroyMenu(h); }  // sub-menus go with it
};

// An owned GDI object (region, brush, pen, bitmap, font), deleted when the guard goes.
template <class H>
using TGdiObject = TOwnedHandle<H, TDeleteGdiObject>;

using TRegionHandle = TGdiObject<HRGN>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TFontHandle = TGdiObject<HFONT>;
// An owned icon or cursor made by the program (not a shared one from LoadIcon/LoadCursor).
using TIconHandle = TOwnedHandle<HICON, TDestroyIcon>;
// An owned menu; once a parent menu holds it, the parent owns it (Release).
using TMenuHandle = TOwnedHandle<HMENU, TDestroyMenu>;

// BeginPaint/EndPaint.
class TPaintDC {
 public:
  explicit TPaintDC(HWND wnd) : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {}
  ~TPaintDC() { EndPaint(wnd_, &ps_); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Handle() const { return dc_; }
  operator HDC() const { return dc_; }
  const PAINTSTRUCT& Info() const { return ps_; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// A DC from GetDC/GetWindowDC/GetDCEx, given back with ReleaseDC.
class TWindowDCBase {
 public:
  ~TWindowDCBase() {
    if (dc_) ReleaseDC(wnd_, dc_);
  }
  TWindowDCBase(const TWindowDCBase&) = delete;
  TWindowDCBase& operator=(const TWindowDCBase&) = delete;
  HDC Handle() const { return dc_; }
  operator HDC() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 protected:
  TWindowDCBase(HWND wnd, HDC dc) : wnd_(wnd), dc_(dc) {}

 private:
  HWND wnd_;
  HDC dc_;
};

// The client area's DC.
class TClientDC : public TWindowDCBase {
 public:
  explicit TClientDC(HWND wnd) : TWindowDCBase(wnd, GetDC(wnd)) {}
};

// The whole window's DC (non-client area included).
class TWindowDC : public TWindowDCBase {
 public:
  explicit TWindowDC(HWND wnd) : TWindowDCBase(wnd, GetWindowDC(wnd)) {}
  // GetDCEx: a clip region and DCX_ flags (the region belongs to the DC once it is taken, unless
  // DCX_INTERSECTRGN/DCX_EXCLUDERGN are absent; see GetDCEx).
  TWindowDC(HWND wnd, HRGN clip, DWORD flags) : TWindowDCBase(wnd, GetDCEx(wnd, clip, flags)) {}
};

// The screen's DC.
class TScreenDC : public TWindowDCBase {
 public:
  TScreenDC() : TWindowDCBase(nullptr, GetDC(nullptr)) {}
};

// CreateCompatibleDC/DeleteDC.
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {
    if (!dc_) throw rtl::EOutOfResources(rtl::msg::kOutOfResources);
  }
  ~TMemoryDC() { DeleteDC(dc_); }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Handle() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
};

// SelectObject, undone when the guard goes.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~TSelectObject() {
    if (old_) SelectObject(dc_, old_);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  // False when the DC refused the object.
  bool Selected() const { return old_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SaveDC/RestoreDC: every change of objects, clip, origin and modes made meanwhile is undone.
class TSaveDC {
 public:
  explicit TSaveDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~TSaveDC() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  TSaveDC(const TSaveDC&) = delete;
  TSaveDC& operator=(const TSaveDC&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// The DC's clip region as it was (or none), put back when the guard goes; meanwhile the clip
// can be narrowed.
class TClipRegion {
 public:
  explicit TClipRegion(HDC dc) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) {
    if (GetClipRgn(dc_, saved_) != 1) saved_.Reset();
  }
  ~TClipRegion() { SelectClipRgn(dc_, saved_.Get()); }
  TClipRegion(const TClipRegion&) = delete;
  TClipRegion& operator=(const TClipRegion&) = delete;
  void Intersect(const RECT& r) { IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom); }
  void Exclude(const RECT& r) { ExcludeClipRect(dc_, r.left, r.top, r.right, r.bottom); }
  // Clips to rgn (combined with the saved clip by mode, RGN_AND by default).
  void Select(HRGN rgn, int mode = RGN_AND) { ExtSelectClipRgn(dc_, rgn, mode); }

 private:
  HDC dc_;
  TRegionHandle saved_;
};

}  // namespace gui

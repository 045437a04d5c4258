#include "GdiCounter.h"

#include "ImportPatch.h"

#include <iterator>
#include <mutex>
#include <set>
#include <vector>

namespace tsupport {

namespace {

std::mutex g_mutex;
std::set<void*> g_live;

void Created(void* h) {
  if (!h) return;
  std::lock_guard<std::mutex> lock(g_mutex);
  g_live.insert(h);
}

bool Released(void* h, bool ok) {
  if (ok) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_live.erase(h);
  }
  return ok;
}

// The originals, filled in when the import table is patched.
decltype(&CreateSolidBrush) o_CreateSolidBrush;
decltype(&CreateHatchBrush) o_CreateHatchBrush;
decltype(&CreatePen) o_CreatePen;
decltype(&CreateFontIndirectA) o_CreateFontIndirectA;
decltype(&CreateCompatibleDC) o_CreateCompatibleDC;
decltype(&CreateCompatibleBitmap) o_CreateCompatibleBitmap;
decltype(&CreateDIBSection) o_CreateDIBSection;
decltype(&CreateBitmap) o_CreateBitmap;
decltype(&CreateRectRgn) o_CreateRectRgn;
decltype(&DeleteObject) o_DeleteObject;
decltype(&DeleteDC) o_DeleteDC;
decltype(&GetDC) o_GetDC;
decltype(&GetWindowDC) o_GetWindowDC;
decltype(&ReleaseDC) o_ReleaseDC;
decltype(&CreateIconFromResourceEx) o_CreateIconFromResourceEx;
decltype(&CopyIcon) o_CopyIcon;
decltype(&CopyImage) o_CopyImage;
decltype(&DestroyIcon) o_DestroyIcon;
decltype(&CreateMenu) o_CreateMenu;
decltype(&CreatePopupMenu) o_CreatePopupMenu;
decltype(&DestroyMenu) o_DestroyMenu;
decltype(&BeginPaint) o_BeginPaint;
decltype(&EndPaint) o_EndPaint;

HBRUSH WINAPI h_CreateSolidBrush(COLORREF c) { auto r = o_CreateSolidBrush(c); Created(r); return r; }
HBRUSH WINAPI h_CreateHatchBrush(int s, COLORREF c) { auto r = o_CreateHatchBrush(s, c); Created(r); return r; }
HPEN WINAPI h_CreatePen(int s, int w, COLORREF c) { auto r = o_CreatePen(s, w, c); Created(r); return r; }
HFONT WINAPI h_CreateFontIndirectA(const LOGFONTA* lf) { auto r = o_CreateFontIndirectA(lf); Created(r); return r; }
HDC WINAPI h_CreateCompatibleDC(HDC dc) { auto r = o_CreateCompatibleDC(dc); Created(r); return r; }
HBITMAP WINAPI h_CreateCompatibleBitmap(HDC dc, int w, int h) { auto r = o_CreateCompatibleBitmap(dc, w, h); Created(r); return r; }
HBITMAP WINAPI h_CreateDIBSection(HDC dc, const BITMAPINFO* bi, UINT u, void** bits, HANDLE s, DWORD o) {
  auto r = o_CreateDIBSection(dc, bi, u, bits, s, o);
  Created(r);
  return r;
}
HBITMAP WINAPI h_CreateBitmap(int w, int h, UINT p, UINT b, const void* bits) { auto r = o_CreateBitmap(w, h, p, b, bits); Created(r); return r; }
HRGN WINAPI h_CreateRectRgn(int a, int b, int c, int d) { auto r = o_CreateRectRgn(a, b, c, d); Created(r); return r; }
BOOL WINAPI h_DeleteObject(HGDIOBJ h) { return Released(h, o_DeleteObject(h) != FALSE); }
BOOL WINAPI h_DeleteDC(HDC h) { return Released(h, o_DeleteDC(h) != FALSE); }
HDC WINAPI h_GetDC(HWND w) { auto r = o_GetDC(w); Created(r); return r; }
HDC WINAPI h_GetWindowDC(HWND w) { auto r = o_GetWindowDC(w); Created(r); return r; }
int WINAPI h_ReleaseDC(HWND w, HDC dc) { return Released(dc, o_ReleaseDC(w, dc) != 0); }
HICON WINAPI h_CreateIconFromResourceEx(PBYTE p, DWORD n, BOOL i, DWORD v, int cx, int cy, UINT f) {
  auto r = o_CreateIconFromResourceEx(p, n, i, v, cx, cy, f);
  Created(r);
  return r;
}
HICON WINAPI h_CopyIcon(HICON h) { auto r = o_CopyIcon(h); Created(r); return r; }
HANDLE WINAPI h_CopyImage(HANDLE h, UINT t, int cx, int cy, UINT f) { auto r = o_CopyImage(h, t, cx, cy, f); Created(r); return r; }
BOOL WINAPI h_DestroyIcon(HICON h) { return Released(h, o_DestroyIcon(h) != FALSE); }
HMENU WINAPI h_CreateMenu() { auto r = o_CreateMenu(); Created(r); return r; }
HMENU WINAPI h_CreatePopupMenu() { auto r = o_CreatePopupMenu(); Created(r); return r; }
// A menu takes its sub-menus with it.
void MenuAndSubMenus(HMENU menu, std::vector<HMENU>& all) {
  all.push_back(menu);
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
    if (HMENU sub = GetSubMenu(menu, i)) MenuAndSubMenus(sub, all);
}
BOOL WINAPI h_DestroyMenu(HMENU h) {
  std::vector<HMENU> all;
  if (IsMenu(h)) MenuAndSubMenus(h, all);
  bool ok = o_DestroyMenu(h) != FALSE;
  for (HMENU m : all) Released(m, ok);
  return ok;
}
// A paint DC counts from BeginPaint until EndPaint gives it back.
HDC WINAPI h_BeginPaint(HWND w, PAINTSTRUCT* ps) { auto r = o_BeginPaint(w, ps); Created(r); return r; }
BOOL WINAPI h_EndPaint(HWND w, const PAINTSTRUCT* ps) {
  HDC dc = ps->hdc;
  return Released(dc, o_EndPaint(w, ps) != FALSE);
}

#define HOOK(fn) ImportHook{#fn, reinterpret_cast<void*>(&h_##fn), reinterpret_cast<void**>(&o_##fn)}
const ImportHook kHooks[] = {
    HOOK(CreateSolidBrush), HOOK(CreateHatchBrush), HOOK(CreatePen), HOOK(CreateFontIndirectA),
    HOOK(CreateCompatibleDC), HOOK(CreateCompatibleBitmap), HOOK(CreateDIBSection), HOOK(CreateBitmap),
    HOOK(CreateRectRgn), HOOK(DeleteObject), HOOK(DeleteDC), HOOK(GetDC), HOOK(GetWindowDC), HOOK(ReleaseDC),
    HOOK(CreateIconFromResourceEx), HOOK(CopyIcon), HOOK(CopyImage), HOOK(DestroyIcon),
    HOOK(CreateMenu), HOOK(CreatePopupMenu), HOOK(DestroyMenu),
    HOOK(BeginPaint), HOOK(EndPaint),
};

}  // namespace

void GdiCounter::Install() {
  static std::once_flag once;
  std::call_once(once, [] { PatchImports(GetModuleHandleA(nullptr), kHooks, std::size(kHooks)); });
}

long GdiCounter::Live() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return static_cast<long>(g_live.size());
}

}  // namespace tsupport

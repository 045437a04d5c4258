// A short scripted tour of the running program, for `make run` without a display: choose an
// entry, dial, see it connected, hang up, open About; a screenshot of each stage goes into the
// folder given.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Driver.h"
#include "Guards.h"

using namespace e2e;

namespace {

HWND g_main;
std::string g_dir;

void Shot(const char* name, HWND window = nullptr) {
  Sleep(300);
  if (!window) window = g_main;
  gui::TScreenDC screen;
  RECT r;
  GetWindowRect(window, &r);
  if (IsIconic(window)) r = RECT{0, 0, 640, 240};
  int w = r.right - r.left, h = r.bottom - r.top;
  gui::TMemoryDC mem(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  gui::TBitmapHandle bmp(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  gui::TSelectObject selected(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
  BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                      static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
  std::string path = g_dir + "\\" + name + ".bmp";
  if (FILE* f = bits ? std::fopen(path.c_str(), "wb") : nullptr) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    std::fwrite(bits, size, 1, f);
    std::fclose(f);
  }
  std::printf("stage %s\n", name);
  std::fflush(stdout);
}

POINT Client(int x, int y) {
  POINT p{x, y};
  ClientToScreen(g_main, &p);
  return p;
}

bool WaitFor(bool (*cond)(), DWORD ms) {
  for (DWORD t = 0; t < ms; t += 50) {
    if (cond()) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: tess_tour ENTRY SCREENSHOT-FOLDER\n");
    return 2;
  }
  std::string entry = argv[1];
  g_dir = argv[2];
  for (int i = 0; i < 600 && !g_main; ++i) {
    HWND w = FindWindowA("TForm1", nullptr);
    if (w && IsWindowVisible(w)) g_main = w;
    else Sleep(50);
  }
  if (!g_main) {
    std::fprintf(stderr, "tour: the main window did not appear\n");
    return 1;
  }
  SetForegroundWindow(g_main);
  Shot("1-start");

  ClickAt(Client(60, 60));  // the entry field
  TypeText(entry);
  Shot("2-entry-chosen");

  ClickAt(Client(368 + 64, 48 + 40));  // "Dial"
  Sleep(700);
  Shot("3-dialling");

  if (!WaitFor([] { return IsIconic(g_main) != 0; }, 20000)) std::fprintf(stderr, "tour: not connected\n");
  Shot("4-connected-minimised");
  ShowWindow(g_main, SW_RESTORE);
  SetForegroundWindow(g_main);
  Shot("5-connected");

  ClickAt(Client(368 + 64, 48 + 40));  // "Hang Up"
  Sleep(1500);
  Shot("6-hung-up");

  // "About" from the menu bar: Alt, one item to the right, Enter; the platform's dialog opens.
  SetForegroundWindow(g_main);
  PressKey(VK_MENU);
  PressKey(VK_RIGHT);
  PressKey(VK_RETURN);
  HWND about = nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(g_main, &pid);
  for (int i = 0; i < 100 && !about; ++i, Sleep(50)) {
    HWND w = FindWindowA("#32770", nullptr);
    DWORD owner = 0;
    if (w) GetWindowThreadProcessId(w, &owner);
    if (w && owner == pid && IsWindowVisible(w)) about = w;
  }
  if (about) {
    Shot("7-about", about);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    Sleep(300);
  } else {
    std::fprintf(stderr, "tour: no About dialog\n");
  }

  PostMessageA(g_main, WM_CLOSE, 0, 0);
  return 0;
}

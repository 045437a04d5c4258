// A short scripted tour of the running program, for `make run` without a display: choose an
// entry, dial, see it connected, hang up, open About, put another window in front; a screenshot
// of each stage goes into the folder given.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Driver.h"

using namespace e2e;

namespace {

HWND g_main;
std::string g_dir;

void Shot(const char* name, HWND window = nullptr) {
  Sleep(300);
  if (!window) window = g_main;
  RECT r;
  GetWindowRect(window, &r);
  if (IsIconic(window)) r = RECT{0, 0, 640, 240};
  Screenshot(r).Save(g_dir + "\\" + name + ".bmp");
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

  // Another window in front: the caption in its inactive look.
  {
    OtherWindow other;
    if (other.Handle()) Shot("8-inactive");
    else std::fprintf(stderr, "tour: no other window to activate\n");
  }

  PostMessageA(g_main, WM_CLOSE, 0, 0);
  return 0;
}

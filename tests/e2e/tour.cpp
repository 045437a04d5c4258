// A short scripted tour of the running program, for `make run` without a display: type the start
// of an entry and see it completed, pick entries from the open list and see them at its top, dial,
// see it connected, hang up, point at the web link, open About, put another window in front; a
// screenshot of each stage goes into the folder given.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Driver.h"

using namespace e2e;

namespace {

HWND g_main;
std::string g_dir;

// The window, and a second one (an open list) with it when given.
void Shot(const char* name, HWND window = nullptr, HWND also = nullptr) {
  // The program paints in its own time and nothing outside it tells when that is done: a pause
  // before each picture.
  Sleep(300);
  if (!window) window = g_main;
  RECT r;
  GetWindowRect(window, &r);
  if (also) {
    RECT a;
    GetWindowRect(also, &a);
    UnionRect(&r, &r, &a);
  }
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

DWORD ProgramId() {
  DWORD pid = 0;
  GetWindowThreadProcessId(g_main, &pid);
  return pid;
}

// The shown list of the program's combo box.
HWND OpenList() { return WaitForWindow("ComboLBox", nullptr, 2000, ProgramId()); }

std::string TextOf(HWND w) {
  char text[256] = {};
  SendMessageA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// The position of an entry in the list (the wide form reads another process's items whole).
int IndexOf(HWND combo, const std::string& text) {
  int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t w[256] = {};
    char a[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(w));
    WideCharToMultiByte(CP_ACP, 0, w, -1, a, sizeof a, nullptr, nullptr);
    if (text == a) return i;
  }
  return -1;
}

// Opens the list with its drop button and clicks the entry of that text.
void Pick(HWND combo, const std::string& text) {
  RECT r;
  GetWindowRect(combo, &r);
  ClickAt(POINT{r.right - 9, (r.top + r.bottom) / 2});
  HWND list = OpenList();
  int i = IndexOf(combo, text);
  if (!list || i < 0) {
    std::fprintf(stderr, "tour: cannot pick %s\n", text.c_str());
    return;
  }
  int h = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
  RECT l;
  GetWindowRect(list, &l);
  // The open list shows the chosen entry: it may start further down.
  int top = static_cast<int>(SendMessageA(combo, CB_GETTOPINDEX, 0, 0));
  ClickAt(POINT{l.left + 30, l.top + 1 + (i - top) * h + h / 2});
  PumpUntil([&] { return !IsWindowVisible(list); }, 2000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: tess_tour ENTRY SCREENSHOT-FOLDER\n");
    return 2;
  }
  std::string entry = argv[1];
  g_dir = argv[2];
  g_main = WaitForWindow("TForm1", nullptr, 30000);
  if (!g_main) {
    std::fprintf(stderr, "tour: the main window did not appear\n");
    return 1;
  }
  SetForegroundWindow(g_main);
  Shot("1-start");

  // The start of the entry's name; after the pause the program completes it.
  HWND combo = FindWindowExA(g_main, nullptr, "ComboBox", nullptr);
  ClickAt(Client(60, 60));  // the entry field
  TypeText(entry.substr(0, 5));
  if (!PumpUntil([&] { return TextOf(combo) == entry; }, 3000)) std::fprintf(stderr, "tour: not completed\n");
  Shot("2-entry-completed");

  // Two picks from the open list: both go to its top, the newest first, on their own colour.
  Pick(combo, "Home Internet");
  Pick(combo, entry);
  RECT r;
  GetWindowRect(combo, &r);
  ClickAt(POINT{r.right - 9, (r.top + r.bottom) / 2});
  Shot("3-list-with-recent-entries", g_main, OpenList());
  ClickAt(POINT{r.right - 9, (r.top + r.bottom) / 2});  // closed on the entry again
  Shot("4-entry-chosen");

  ClickAt(Client(368 + 64, 48 + 40));  // "Dial"
  HWND status = FindWindowExA(g_main, nullptr, "msctls_statusbar32", nullptr);
  PumpUntil([&] { return !TextOf(status).empty(); }, 5000);
  Shot("5-dialling");

  if (!PumpUntil([] { return IsIconic(g_main) != 0; }, 20000)) std::fprintf(stderr, "tour: not connected\n");
  Shot("6-connected-minimised");
  ShowWindow(g_main, SW_RESTORE);
  PumpUntil([] { return !IsIconic(g_main) && BringToFront(g_main); }, 5000);
  Shot("7-connected");

  const std::string connected = TextOf(status);
  ClickAt(Client(368 + 64, 48 + 40));  // "Hang Up"
  PumpUntil([&] { return TextOf(status) != connected; }, 5000);
  Shot("8-hung-up");

  // The mouse over the web link: it lights up (no click: that would ask the shell for a browser).
  MoveMouse(POINT{Client(179, 128).x - 4, Client(179, 128).y});
  MoveMouse(Client(179, 128));
  Shot("9-link-under-the-mouse");
  MoveMouse(Client(20, 150));

  // "About" from the menu bar: Alt, one item to the right, Enter; the platform's dialog opens.
  SetForegroundWindow(g_main);
  PressKey(VK_MENU);
  PressKey(VK_RIGHT);
  PressKey(VK_RETURN);
  HWND about = WaitForWindow("#32770", nullptr, 5000, ProgramId());
  if (about) {
    Shot("10-about", about);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    PumpUntil([&] { return !IsWindow(about); }, 5000);
  } else {
    std::fprintf(stderr, "tour: no About dialog\n");
  }

  // Another window in front: the caption in its inactive look.
  {
    OtherWindow other;
    if (other.Handle()) Shot("11-inactive");
    else std::fprintf(stderr, "tour: no other window to activate\n");
  }

  PostMessageA(g_main, WM_CLOSE, 0, 0);
  return 0;
}

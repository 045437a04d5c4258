// The peer of the start-up benchmark: the window a developer would have written with the
// platform's stock controls, the same as Tessaline's main window in what a person sees and uses,
// without its styled caption, bitmap button, 3-D labels, completing entry box or link. One
// top-level window of the main window's client size (508 by 161), centred, with its menu (E&xit,
// About); a push button "Dial" in Arial bold; a drop-down combo box filled from the remote-access
// library's phonebook entries (bound at run time and listed once, as the program does); static
// texts for the headline, the notice and the web link; a common-controls status bar. Everything
// but the button in the default GUI font. It shows the window and puts the focus in the box.
//
//   stock_window [LAUNCH_TICKS OUT_FILE]
// With the two arguments (as bench_startup gives them) it also writes down its steps.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "LaunchMarks.h"
#include "Yardstick.h"
#include "ras_api.h"

namespace {

using launchmarks::Mark;

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == 1 && !lp) DestroyWindow(wnd);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id, HFONT font) {
  HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

// The phonebook's entry names, asked once of the library bound at run time.
void FillFromPhonebook(HWND combo) {
  HMODULE ras = LoadLibraryA("RASAPI32.DLL");
  auto enumEntries = ras ? reinterpret_cast<PFN_RasEnumEntriesA>(reinterpret_cast<void*>(GetProcAddress(ras, "RasEnumEntriesA"))) : nullptr;
  if (!enumEntries) return;
  std::vector<RASENTRYNAMEA> entries(64);
  entries[0].dwSize = RASENTRYNAMEA_SIZE;
  DWORD bytes = static_cast<DWORD>(entries.size() * sizeof(RASENTRYNAMEA)), count = 0;
  if (enumEntries(nullptr, nullptr, entries.data(), &bytes, &count) != 0) return;
  for (DWORD i = 0; i < count && i < entries.size(); ++i)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i].szEntryName));
}

}  // namespace

int WINAPI WinMain(HINSTANCE self, HINSTANCE, LPSTR, int) {
  launchmarks::Start(__argc, __argv);
  Mark("process start and DLLs loaded, until main");
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HWND wnd = yardstick::MakeMenuWindow(self, "StockWindow", "Stock window", Proc,
                                       WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN);
  auto gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HFONT bold = CreateFontA(-24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  Child(wnd, "STATIC", "Select the Connection and then DIAL", SS_LEFT, 8, 8, 497, 33, 10, gui);
  HWND combo = Child(wnd, "COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 8, 48, 353, 200, 11, gui);
  Child(wnd, "BUTTON", "Dial", BS_PUSHBUTTON | WS_TABSTOP, 368, 48, 129, 81, 12, bold);
  Child(wnd, "STATIC", "\xA9 Brindlex UK", SS_LEFT, 48, 88, 273, 35, 13, gui);
  Child(wnd, "STATIC", "Brindlex UK Website", SS_LEFT | SS_NOTIFY, 105, 122, 148, 16, 14, gui);
  Child(wnd, STATUSCLASSNAMEA, "", 0, 0, 0, 0, 0, 15, gui);
  FillFromPhonebook(combo);
  Mark("window, controls and the phonebook's entries made");
  ShowWindow(wnd, SW_SHOWNORMAL);
  SetFocus(combo);
  UpdateWindow(wnd);
  Mark("shown and painted");
  launchmarks::FinishAtIdle(wnd);
  int code = yardstick::RunLoop();
  DeleteObject(bold);
  return code;
}

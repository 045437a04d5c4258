// The program's start-up and shutdown as they happen: the program runs in this process exactly as
// its main block runs it, and the platform calls its code makes (routed through recorders by this
// test program's import table) and the moments its units finish are reduced to milestones. This
// test program starts nothing before main, so the program's own start-up is the only one.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ImportPatch.h"
#include "Main.h"
#include "Program.h"
#include "TestFiles.h"
#include "rtl/Classes.h"

namespace {

std::vector<std::string> g_trace;
bool g_shuttingDown = false;
HWND g_form = nullptr, g_timerPool = nullptr;
LONG_PTR g_hookOnTop = 0;  // the form's window procedure when the window was closed
std::map<HRSRC, std::string> g_found;
std::map<HGLOBAL, std::string> g_loaded;
bool g_ecLabel = false, g_fxLabel = false, g_title = false;

void Note(const std::string& what) { g_trace.push_back(what); }

// What has no platform call of its own is noticed at the next call or unit step after it.
void Sample() {
  if (!g_ecLabel && rtl::FindClassInfo("TEcAttachedLabel")) Note("class TEcAttachedLabel"), g_ecLabel = true;
  if (!g_fxLabel && rtl::FindClassInfo("TFxAttachedLabel")) Note("class TFxAttachedLabel"), g_fxLabel = true;
  if (!g_title && gui::Application && gui::Application->Title() == "Tessaline") Note("title Tessaline"), g_title = true;
}

std::string ClassOf(HWND w) {
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  return name;
}

std::string ModuleName(HMODULE m) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(m, path, MAX_PATH);
  std::string s = path;
  s = s.substr(s.find_last_of("\\/") + 1);
  for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return s;
}

decltype(&FindResourceA) o_FindResourceA;
decltype(&LoadResource) o_LoadResource;
decltype(&FreeResource) o_FreeResource;
decltype(&LoadCursorA) o_LoadCursorA;
decltype(&GetProfileStringA) o_GetProfileStringA;
decltype(&GetProfileIntA) o_GetProfileIntA;
decltype(&CreateWindowExA) o_CreateWindowExA;
decltype(&SendMessageA) o_SendMessageA;
decltype(&LoadLibraryExA) o_LoadLibraryExA;
decltype(&FreeLibrary) o_FreeLibrary;
decltype(&GetProcAddress) o_GetProcAddress;
decltype(&SetWindowLongPtrA) o_SetWindowLongPtrA;
decltype(&DestroyWindow) o_DestroyWindow;
decltype(&SetMenu) o_SetMenu;

using HangUpCall = DWORD(WINAPI*)(HANDLE);
using StatusCall = DWORD(WINAPI*)(HANDLE, void*);
HangUpCall o_RasHangUpA;
StatusCall o_RasGetConnectStatusA;

DWORD WINAPI h_RasHangUpA(HANDLE c) {
  Note("hang up");
  return o_RasHangUpA(c);
}
DWORD WINAPI h_RasGetConnectStatusA(HANDLE c, void* status) {
  if (g_shuttingDown) Note("status");  // a hang-up that waits asks again and again
  return o_RasGetConnectStatusA(c, status);
}

HRSRC WINAPI h_FindResourceA(HMODULE m, LPCSTR name, LPCSTR type) {
  Sample();
  HRSRC r = o_FindResourceA(m, name, type);
  if (type == MAKEINTRESOURCEA(10) && !IS_INTRESOURCE(name)) {
    Note(std::string("open ") + name);
    g_found[r] = name;
  }
  return r;
}
HGLOBAL WINAPI h_LoadResource(HMODULE m, HRSRC r) {
  HGLOBAL g = o_LoadResource(m, r);
  if (g_found.count(r)) g_loaded[g] = g_found[r];
  return g;
}
BOOL WINAPI h_FreeResource(HGLOBAL g) {
  if (g_loaded.count(g)) Note("free " + g_loaded[g]);
  return o_FreeResource(g);
}
HCURSOR WINAPI h_LoadCursorA(HINSTANCE i, LPCSTR name) {
  Sample();
  if (IS_INTRESOURCE(name)) {
    int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    if (id >= 2000 && id < 3000) Note("cursor " + std::to_string(id));
  }
  return o_LoadCursorA(i, name);
}
void NoteProfile(LPCSTR section) {
  Sample();
  if (section && lstrcmpiA(section, "intl") == 0 && (g_trace.empty() || g_trace.back() != "intl")) Note("intl");
}
DWORD WINAPI h_GetProfileStringA(LPCSTR s, LPCSTR k, LPCSTR d, LPSTR out, DWORD n) {
  NoteProfile(s);
  return o_GetProfileStringA(s, k, d, out, n);
}
UINT WINAPI h_GetProfileIntA(LPCSTR s, LPCSTR k, INT d) {
  NoteProfile(s);
  return o_GetProfileIntA(s, k, d);
}
HWND WINAPI h_CreateWindowExA(DWORD ex, LPCSTR cls, LPCSTR text, DWORD style, int x, int y, int w, int h, HWND parent,
                              HMENU menu, HINSTANCE inst, LPVOID param) {
  Sample();
  HWND wnd = o_CreateWindowExA(ex, cls, text, style, x, y, w, h, parent, menu, inst, param);
  if (!IS_INTRESOURCE(cls) && lstrcmpA(cls, "TApplication") == 0) Note("window TApplication");
  if (!IS_INTRESOURCE(cls) && lstrcmpA(cls, "TForm1") == 0) Note("window TForm1"), g_form = wnd;
  return wnd;
}
LRESULT WINAPI h_SendMessageA(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (!g_shuttingDown && msg == CB_ADDSTRING && ClassOf(GetParent(w)) == "TForm1") Note(std::string("entry ") + reinterpret_cast<const char*>(lp));
  return o_SendMessageA(w, msg, wp, lp);
}
// The form as its create handler sees it: every component of the resource made, loaded and
// linked to the others, the window made; otherwise what is missing.
std::string FormState() {
  auto* form = gui::Application && gui::Application->ComponentCount() == 1
                   ? rtl::As<TForm1>(gui::Application->Components(0))
                   : nullptr;
  if (!form) return "no form";
  if (!form->WindowHandle()) return "no window";
  for (const char* name : {"btnDial", "FxLabel1", "FxLabel2", "EcURL1", "cbConn", "StatusBar1", "GxFormStyler1",
                           "EcController1", "GxBitmapList1", "RAS1", "MainMenu1", "Exit1", "About1", "About"}) {
    rtl::TComponent* c = form->FindComponent(name);
    if (!c) return std::string("no ") + name;
    if (c->IsLoading()) return std::string(name) + " still loading";
  }
  if (form->btnDial->BitmapList() != form->GxBitmapList1) return "the button's list unresolved";
  if (form->cbConn->Controller() != form->EcController1) return "the list's controller unresolved";
  if (form->RAS1->KeyDUNRecv() != "TotalBytesRecvd") return "RAS1's values not applied";
  return "complete";
}

// Every library the program loads at run time comes through here (gui::LoadSystemLibrary).
HMODULE WINAPI h_LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) {
  Sample();
  HMODULE m = o_LoadLibraryExA(name, file, flags);
  if (m) Note("load " + ModuleName(m));
  if (m && ModuleName(m) == "RASAPI32.DLL") Note("form " + FormState());
  return m;
}
BOOL WINAPI h_FreeLibrary(HMODULE m) {
  std::string name = ModuleName(m);
  if (name == "RASAPI32.DLL" || name == "RNAPH.DLL") Note("free library " + name);
  return o_FreeLibrary(m);
}
FARPROC WINAPI h_GetProcAddress(HMODULE m, LPCSTR name) {
  FARPROC p = o_GetProcAddress(m, name);
  if (!p || IS_INTRESOURCE(name)) return p;
  if (lstrcmpA(name, "RasHangUpA") == 0) {
    o_RasHangUpA = reinterpret_cast<HangUpCall>(reinterpret_cast<void*>(p));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&h_RasHangUpA));
  }
  if (lstrcmpA(name, "RasGetConnectStatusA") == 0) {
    o_RasGetConnectStatusA = reinterpret_cast<StatusCall>(reinterpret_cast<void*>(p));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&h_RasGetConnectStatusA));
  }
  return p;
}
LONG_PTR WINAPI h_SetWindowLongPtrA(HWND w, int index, LONG_PTR v) {
  if (g_shuttingDown && w == g_form && index == GWLP_WNDPROC && GetWindowLongPtrA(w, GWLP_WNDPROC) == g_hookOnTop)
    Note("caption hook off");
  return o_SetWindowLongPtrA(w, index, v);
}
// The form's window is made with its menu once the resource is read: setting it afterwards would
// lay out the frame again.
BOOL WINAPI h_SetMenu(HWND w, HMENU menu) {
  if (!g_shuttingDown) Note("set menu");
  return o_SetMenu(w, menu);
}
BOOL WINAPI h_DestroyWindow(HWND w) {
  if (g_shuttingDown && w == g_timerPool) Note("timer pool window gone");
  if (g_shuttingDown && w == g_form) Note("window TForm1 gone");
  if (g_shuttingDown && ClassOf(w) == "TApplication") Note("window TApplication gone");
  return o_DestroyWindow(w);
}

void Install() {
  static const tsupport::ImportHook hooks[] = {
      {"FindResourceA", reinterpret_cast<void*>(&h_FindResourceA), reinterpret_cast<void**>(&o_FindResourceA)},
      {"LoadResource", reinterpret_cast<void*>(&h_LoadResource), reinterpret_cast<void**>(&o_LoadResource)},
      {"FreeResource", reinterpret_cast<void*>(&h_FreeResource), reinterpret_cast<void**>(&o_FreeResource)},
      {"LoadCursorA", reinterpret_cast<void*>(&h_LoadCursorA), reinterpret_cast<void**>(&o_LoadCursorA)},
      {"GetProfileStringA", reinterpret_cast<void*>(&h_GetProfileStringA), reinterpret_cast<void**>(&o_GetProfileStringA)},
      {"GetProfileIntA", reinterpret_cast<void*>(&h_GetProfileIntA), reinterpret_cast<void**>(&o_GetProfileIntA)},
      {"CreateWindowExA", reinterpret_cast<void*>(&h_CreateWindowExA), reinterpret_cast<void**>(&o_CreateWindowExA)},
      {"SendMessageA", reinterpret_cast<void*>(&h_SendMessageA), reinterpret_cast<void**>(&o_SendMessageA)},
      {"LoadLibraryExA", reinterpret_cast<void*>(&h_LoadLibraryExA), reinterpret_cast<void**>(&o_LoadLibraryExA)},
      {"FreeLibrary", reinterpret_cast<void*>(&h_FreeLibrary), reinterpret_cast<void**>(&o_FreeLibrary)},
      {"GetProcAddress", reinterpret_cast<void*>(&h_GetProcAddress), reinterpret_cast<void**>(&o_GetProcAddress)},
      {"SetWindowLongPtrA", reinterpret_cast<void*>(&h_SetWindowLongPtrA), reinterpret_cast<void**>(&o_SetWindowLongPtrA)},
      {"DestroyWindow", reinterpret_cast<void*>(&h_DestroyWindow), reinterpret_cast<void**>(&o_DestroyWindow)},
      {"SetMenu", reinterpret_cast<void*>(&h_SetMenu), reinterpret_cast<void**>(&o_SetMenu)},
  };
  tsupport::PatchImports(GetModuleHandleA(nullptr), hooks, std::size(hooks));
}

// Runs one step of the person's part each 50 ms while the program's loop runs: choose the
// entry, dial, and once connected close the window.
DWORD g_closedAt = 0;
void CALLBACK Drive(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!Form1 || !IsWindowVisible(Form1->Handle())) return;
  static bool dialled = false;
  if (!dialled) {
    dialled = true;
    Form1->cbConn->SetItemIndex(0);
    Form1->cbConnChange(Form1->cbConn);
    Form1->btnDialClick(Form1->btnDial);
    return;
  }
  if (!IsIconic(Form1->Handle())) return;  // not connected yet
  KillTimer(nullptr, timer);
  Note("close");
  g_timerPool = Form1->EcController1->TimerPool().WindowHandle();
  g_hookOnTop = GetWindowLongPtrA(Form1->Handle(), GWLP_WNDPROC);
  g_shuttingDown = true;
  g_closedAt = GetTickCount();
  PostMessageA(Form1->Handle(), WM_CLOSE, 0, 0);
}

// Consecutive cursor numbers as one range, the way the order is described.
std::vector<std::string> Milestones() {
  std::vector<std::string> out;
  for (size_t i = 0; i < g_trace.size(); ++i) {
    if (g_trace[i].rfind("cursor ", 0) != 0) {
      out.push_back(g_trace[i]);
      continue;
    }
    size_t j = i;
    while (j + 1 < g_trace.size() && g_trace[j + 1].rfind("cursor ", 0) == 0 &&
           std::stoi(g_trace[j + 1].substr(7)) == std::stoi(g_trace[j].substr(7)) + 1)
      ++j;
    out.push_back("cursors " + g_trace[i].substr(7) + "-" + g_trace[j].substr(7));
    i = j;
  }
  return out;
}

}  // namespace

TEST(ProgramOrder, StartsItsUnitsThenTheWindowAndEndsThemInReverseAfterTheComponents) {
  const std::string dir = tsupport::FreshTestDir("order");
  const std::string pbk = dir + "\\order.pbk";
  // A slow hang-up: a shutdown that waited for it would take seconds.
  tsupport::WriteTextFile(pbk,
                             "[Stay Up]\r\nPhoneNumber=555-0009\r\nStepDelayMs=20\r\nHangUpDelayMs=4000\r\n"
                             "[Second Line]\r\nPhoneNumber=555-0010\r\n");
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk.c_str());
  Install();
  rtl::SetUnitObserver([](const std::string&) { Sample(); });
  SetTimer(nullptr, 0, 50, &Drive);

  int code = tess::RunProgram();
  DWORD shutdownMs = GetTickCount() - g_closedAt;
  rtl::SetUnitObserver(nullptr);

  EXPECT_EQ(code, 0);
  EXPECT_LT(shutdownMs, 2000u) << "the connection is closed without waiting for the line to go";
  const std::vector<std::string> expected = {
      // The units: the three families' tables, each its message table first ...
      "open FXSRMGR_STRINGS", "open TEXTFX_STRINGS_ENGLISH", "open ECSRMGR_STRINGS", "open ENTRYCTL_STRINGS_ENGLISH",
      "open SUSRMGR_STRINGS", "open SYSUTIL_STRINGS_ENGLISH",
      // ... the attached labels. (The bitmap family's cursors go into the table now but are loaded
      // when first shown, and the entry family's settings are read when first asked for: the main
      // window shows none of the cursors and asks for none of the settings.)
      "class TEcAttachedLabel", "class TFxAttachedLabel",
      // The main block: the common controls bound from the system folder (no longer by the
      // loader before main), the title, the form from its resource (the version library bound
      // from the system folder when the About component reads the shell's version), its window
      // once the resource is read (first the application window that owns it and carries the
      // taskbar button with the title: made only when a main form needs it), then the create
      // handler binds the service on the phonebook's first use and fills the list.
      "load COMCTL32.DLL", "title Tessaline", "open TFORM1", "load VERSION.DLL", "window TApplication", "window TForm1",
      "load RASAPI32.DLL", "form complete", "entry Stay Up", "entry Second Line",
      // The person dials, then closes the window while connected.
      "close",
      // The components: the connection closed without waiting (no status asked after the hang-up)
      // and the library freed, the caption's hook off the window, the window last, then the
      // application window that owned it. (The controller's timer pool makes its window with its
      // first trigger, and the person here typed nothing: there is none to go.)
      "hang up", "free library RASAPI32.DLL", "caption hook off", "window TForm1 gone", "window TApplication gone",
      // The units' exit steps, last started first: the tables freed.
      "free SYSUTIL_STRINGS_ENGLISH", "free SUSRMGR_STRINGS", "free ENTRYCTL_STRINGS_ENGLISH", "free ECSRMGR_STRINGS",
      "free TEXTFX_STRINGS_ENGLISH", "free FXSRMGR_STRINGS"};
  EXPECT_EQ(Milestones(), expected) << ::testing::PrintToString(Milestones());
  EXPECT_EQ(Form1, nullptr) << "the window's global goes with it";
  tsupport::RemoveTree(dir);
}

// Where the program's start-up time goes: the program runs in this process exactly as its main
// block runs it, and the moments of its steps are written down as it goes: each unit's start-up
// step, the form resource found, each component made by class, each window made, the service
// library loaded, the phonebook enumerated, each first paint, and the first idle moment, at which
// the window is closed again. bench_startup starts this program and prints the medians.
//
//   startup_profile LAUNCH_TICKS OUT_FILE
// LAUNCH_TICKS is the performance counter when the launcher called CreateProcess; OUT_FILE
// receives one line per step: name, start and length in milliseconds from the launch; then the
// GDI objects alive at the idle moment and the platform calls' totals, a count where a start is.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <utility>
#include <commctrl.h>
#include <vector>

#include "GdiCounter.h"
#include "ImportPatch.h"
#include "Main.h"
#include "Program.h"
#include "SystemLibrary.h"
#include "rtl/Classes.h"
#include "rtl/Units.h"

namespace {

// The moment this program's static objects begin to be made, before any of the program's.
LONGLONG StaticStart() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}
__attribute__((init_priority(101))) const struct StaticClock {
  LONGLONG ticks = StaticStart();
} g_staticStart;

LONGLONG g_launch = 0;
int g_depth = 0;  // only the outermost of nested timed calls counts
double g_frequency = 1;

double Ms() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart - g_launch) * 1000.0 / g_frequency;
}

struct Step {
  std::string name;
  double start, length;
};
std::vector<Step> g_steps;
double g_last = 0;  // the end of the step before: a point step's length is the time since then

void Span(const std::string& name, double start) {
  double end = Ms();
  g_steps.push_back({name, start, end - start});
  g_last = end;
}
void Point(const std::string& name) { Span(name, g_last); }

std::string ClassOf(HWND w) {
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  return name;
}

// ---- each component made by class: the registry's constructors wrapped one by one

constexpr int kWrapped = 16;
const rtl::TClassInfo* g_classes[kWrapped];
rtl::TComponent* (*g_create[kWrapped])(rtl::TComponent*);

template <int I>
rtl::TComponent* TimedCreate(rtl::TComponent* owner) {
  // Reading the component before made it and set its values: that time is the one before's.
  Point("read values before " + g_classes[I]->Name);
  double start = Ms();
  rtl::TComponent* c = g_create[I](owner);
  Span("create " + g_classes[I]->Name, start);
  return c;
}

template <int... I>
void WrapCreators(std::integer_sequence<int, I...>) {
  static rtl::TComponent* (*const wrappers[])(rtl::TComponent*) = {&TimedCreate<I>...};
  const char* names[] = {"TGxBitmapButton", "TFxLabel", "TEcURL",    "TEcComboBox",    "TStatusBar",
                         "TGxFormStyler",   "TEcController", "TGxBitmapList", "TRAS", "TMainMenu",
                         "TMenuItem",       "TSuShellAbout"};
  static_assert(sizeof names / sizeof *names <= kWrapped);
  int i = 0;
  for (const char* n : names) {
    auto* info = const_cast<rtl::TClassInfo*>(rtl::FindClassInfo(n));
    if (!info || !info->Create) continue;
    g_classes[i] = info;
    g_create[i] = info->Create;
    info->Create = wrappers[i];
    ++i;
  }
}

// ---- the platform calls that mark steps

decltype(&FindResourceA) o_FindResourceA;
decltype(&CreateWindowExA) o_CreateWindowExA;
decltype(&LoadLibraryExA) o_LoadLibraryExA;
decltype(&GetProcAddress) o_GetProcAddress;
decltype(&BeginPaint) o_BeginPaint;
decltype(&EndPaint) o_EndPaint;
decltype(&WaitMessage) o_WaitMessage;

using EnumCall = DWORD(WINAPI*)(LPCSTR, LPCSTR, void*, LPDWORD, LPDWORD);
EnumCall o_RasEnumEntriesA;

DWORD WINAPI h_RasEnumEntriesA(LPCSTR r, LPCSTR pbk, void* entries, LPDWORD size, LPDWORD count) {
  Point("create handler until the phonebook is asked");
  double start = Ms();
  DWORD rc = o_RasEnumEntriesA(r, pbk, entries, size, count);
  Span("enumerate the phonebook", start);
  return rc;
}

HRSRC WINAPI h_FindResourceA(HMODULE m, LPCSTR name, LPCSTR type) {
  if (type == MAKEINTRESOURCEA(10) && !IS_INTRESOURCE(name) && lstrcmpA(name, "TFORM1") == 0)
    Point("application until the form resource");
  return o_FindResourceA(m, name, type);
}

HWND WINAPI h_CreateWindowExA(DWORD ex, LPCSTR cls, LPCSTR text, DWORD style, int x, int y, int w, int h, HWND parent,
                              HMENU menu, HINSTANCE inst, LPVOID param) {
  std::string name = IS_INTRESOURCE(cls) ? "atom" : cls;
  Point("before window " + name);
  double start = Ms();
  HWND wnd = o_CreateWindowExA(ex, cls, text, style, x, y, w, h, parent, menu, inst, param);
  Span("window " + name, start);
  return wnd;
}

HMODULE WINAPI h_LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) {
  Point(std::string("before loading ") + name);
  double start = Ms();
  HMODULE m = o_LoadLibraryExA(name, file, flags);
  Span(std::string("load ") + name, start);
  return m;
}

FARPROC TimedBinding(LPCSTR name, FARPROC p);

FARPROC WINAPI h_GetProcAddress(HMODULE m, LPCSTR name) {
  FARPROC p = o_GetProcAddress(m, name);
  if (p && !IS_INTRESOURCE(name) && lstrcmpA(name, "RasEnumEntriesA") == 0) {
    o_RasEnumEntriesA = reinterpret_cast<EnumCall>(reinterpret_cast<void*>(p));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&h_RasEnumEntriesA));
  }
  return p && !IS_INTRESOURCE(name) ? TimedBinding(name, p) : p;
}

double g_paintStart = 0;
long g_liveAtIdle = 0;
int g_depthOutsidePaint = 0;
HDC WINAPI h_BeginPaint(HWND w, LPPAINTSTRUCT ps) {
  Point("before paint " + ClassOf(w));
  g_paintStart = Ms();
  // The calls a paint makes are its own: counted even when the paint runs inside a timed call.
  g_depthOutsidePaint = std::exchange(g_depth, 0);
  return o_BeginPaint(w, ps);
}
BOOL WINAPI h_EndPaint(HWND w, const PAINTSTRUCT* ps) {
  g_depth = g_depthOutsidePaint;
  BOOL ok = o_EndPaint(w, ps);
  Span("paint " + ClassOf(w), g_paintStart);
  return ok;
}

// The loop waits for the first time: the moment WaitForInputIdle sees.
BOOL WINAPI h_WaitMessage() {
  static bool idle = false;
  if (!idle) {
    idle = true;
    Point("until the first idle moment");
    g_liveAtIdle = tsupport::GdiCounter::Live();
    if (Form1) PostMessageA(Form1->Handle(), WM_CLOSE, 0, 0);
  }
  return o_WaitMessage();
}

// ---- the platform calls that the steps spend their time in: counted and timed, by name

struct CallTotal {
  const char* name;
  int count = 0;
  double ms = 0;
};
CallTotal g_calls[40];
int g_callCount = 0;
bool g_detail = getenv("PROFILE_DETAIL") != nullptr;
// The least time of a call listed in its place: PROFILE_DETAIL's value in ms, else 0.3.
double g_detailFloor = g_detail && atof(getenv("PROFILE_DETAIL")) > 0 ? atof(getenv("PROFILE_DETAIL")) : 0.3;  // only the outermost of nested timed calls counts

template <int Id, class Fn>
struct Timed;
template <int Id, class R, class... A>
struct Timed<Id, R (*)(A...)> {
  static inline R (*original)(A...) = nullptr;
  static R Call(A... a) {
    double start = Ms();
    ++g_depth;
    R r = original(a...);
    if (--g_depth == 0) {
      g_calls[Id].count++;
      g_calls[Id].ms += Ms() - start;
      if (g_detail && Ms() - start > g_detailFloor) Span(std::string("  ") + g_calls[Id].name, start);
    }
    return r;
  }
};

#define TIMED(id, fn)                                                                  \
  tsupport::ImportHook {                                                            \
    (g_calls[id].name = #fn), reinterpret_cast<void*>(&Timed<id, decltype(&fn)>::Call), \
        reinterpret_cast<void**>(&Timed<id, decltype(&fn)>::original)                  \
  }

std::span<const tsupport::ImportHook> TimedCalls() {
  static const tsupport::ImportHook hooks[] = {
      TIMED(0, LoadCursorA),         TIMED(1, GetProfileStringA),     TIMED(2, GetProfileIntA),
      TIMED(3, CreateFontIndirectA), TIMED(4, CreateDIBSection),      TIMED(5, CreateCompatibleDC),
      TIMED(6, GetDC),               TIMED(7, DrawTextA),             TIMED(8, GetTextExtentPoint32A),
      TIMED(9, SetWindowPos),        TIMED(10, LockWindowUpdate),     TIMED(11, RedrawWindow),
      TIMED(12, InvalidateRect),     TIMED(13, LoadStringA),          TIMED(14, GetFileVersionInfoSizeA),
      TIMED(15, GetFileVersionInfoA), TIMED(16, ShowWindow),          TIMED(17, UpdateWindow),
      TIMED(18, SetWindowTextA),     TIMED(19, GetTextMetricsA),      TIMED(20, InitCommonControlsEx),
      TIMED(21, SendMessageA),       TIMED(22, CallWindowProcA),      TIMED(23, SetMenu),
      TIMED(24, CreateMenu),         TIMED(25, GetLocaleInfoA),       TIMED(26, LoadImageA),
      TIMED(27, DrawFrameControl),   TIMED(28, DrawIconEx),           TIMED(29, CopyImage),
      TIMED(30, LoadIconA),          TIMED(31, BitBlt),               TIMED(32, ExtTextOutA),
      TIMED(33, TextOutA),           TIMED(34, StretchBlt),           TIMED(35, SelectObject),
      TIMED(36, DeleteObject),       TIMED(37, CreateSolidBrush),     TIMED(38, PatBlt),
      TIMED(39, ReleaseDC),
  };
  return hooks;
}

void InstallTimed() {
  std::span<const tsupport::ImportHook> hooks = TimedCalls();
  g_callCount = static_cast<int>(hooks.size());
  tsupport::PatchImports(GetModuleHandleA(nullptr), hooks.data(), hooks.size());
}

// The libraries loaded from the system folder are bound by name, not imported: their timed calls
// (the version library's, the common controls' start) are answered with the timer instead.
FARPROC TimedBinding(LPCSTR name, FARPROC p) {
  for (const tsupport::ImportHook& h : TimedCalls()) {
    if (lstrcmpA(h.name, name) != 0) continue;
    *h.original = reinterpret_cast<void*>(p);
    return reinterpret_cast<FARPROC>(h.hook);
  }
  return p;
}

void Install() {
  static const tsupport::ImportHook hooks[] = {
      {"FindResourceA", reinterpret_cast<void*>(&h_FindResourceA), reinterpret_cast<void**>(&o_FindResourceA)},
      {"CreateWindowExA", reinterpret_cast<void*>(&h_CreateWindowExA), reinterpret_cast<void**>(&o_CreateWindowExA)},
      {"LoadLibraryExA", reinterpret_cast<void*>(&h_LoadLibraryExA), reinterpret_cast<void**>(&o_LoadLibraryExA)},
      {"GetProcAddress", reinterpret_cast<void*>(&h_GetProcAddress), reinterpret_cast<void**>(&o_GetProcAddress)},
      {"BeginPaint", reinterpret_cast<void*>(&h_BeginPaint), reinterpret_cast<void**>(&o_BeginPaint)},
      {"EndPaint", reinterpret_cast<void*>(&h_EndPaint), reinterpret_cast<void**>(&o_EndPaint)},
      {"WaitMessage", reinterpret_cast<void*>(&h_WaitMessage), reinterpret_cast<void**>(&o_WaitMessage)},
  };
  tsupport::PatchImports(GetModuleHandleA(nullptr), hooks, std::size(hooks));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_profile LAUNCH_TICKS OUT_FILE\n");
    return 2;
  }
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  g_frequency = static_cast<double>(f.QuadPart);
  g_launch = std::strtoll(argv[1], nullptr, 10);
  const double staticStart = static_cast<double>(g_staticStart.ticks - g_launch) * 1000.0 / g_frequency;
  Span("process start and DLLs loaded, until static objects", 0);
  g_steps.back().length = staticStart;
  g_steps.push_back({"static objects made (class registrations), until main", staticStart, g_last - staticStart});

  gui::RestrictLibrarySearch();  // as the program's entry does, before anything else of it
  tsupport::GdiCounter::Install();
  Install();
  InstallTimed();
  WrapCreators(std::make_integer_sequence<int, kWrapped>());
  Point("profiler set up");
  rtl::SetUnitObserver([](const std::string& step) {
    if (step[0] == '+') Point("unit " + step.substr(1));
  });
  int code = tess::RunProgram();
  rtl::SetUnitObserver(nullptr);

  FILE* out = std::fopen(argv[2], "w");
  if (!out) return 1;
  for (const Step& s : g_steps) std::fprintf(out, "%s\t%.3f\t%.3f\n", s.name.c_str(), s.start, s.length);
  // The counts after the steps, in the place of a start.
  std::fprintf(out, "objects of our code alive at the first idle moment (GDI objects, DCs, icons, menus)\t%ld\t0\n",
               g_liveAtIdle);
  for (int i = 0; i < g_callCount; ++i)
    if (g_calls[i].count)
      std::fprintf(out, "calls to %s\t%d\t%.3f\n", g_calls[i].name, g_calls[i].count, g_calls[i].ms);
  std::fclose(out);
  return code;
}

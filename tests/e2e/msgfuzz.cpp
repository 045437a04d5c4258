// Message fuzzer: starts the real program (as its debugger, so that an unhandled fault ends it and
// names the instruction), posts it batches of messages with junk parameters from this process,
// and after each batch checks that it still runs and handles what it is posted. A failure is
// replayed against fresh programs and cut down to the fewest messages that repeat it.
//
// Posted, never sent: under Wine a fault in the handler of a sent message is swallowed by the
// platform's callback guard, while one reached through the program's own DispatchMessage ends it,
// as it would for any other program's post.
//
//   tess_msgfuzz [--seed N|random] [--messages N] [--seconds N] [--batch N] [--program EXE]
//                [--keep-going] [--skip MSG]... [--phonebook FILE] [--no-narrow] [--narrow-seconds N]
//   tess_msgfuzz --replay FILE [--program EXE] [--phonebook FILE]
#include <windows.h>
#include <commctrl.h>
#include <cxxabi.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// --------------------------------------------------------------- message numbers and their names

constexpr UINT kCmBase = 0xB000, kCnBase = 0xBC00;

// The program's private numbers: entry family (after enter, after exit, control moved, label moved,
// label attach), 3-D label family (label moved, attach), caption styler (rehook).
constexpr UINT kPrivate[] = {0x7F08, 0x7F09, 0x7F0B, 0x7F0C, 0x7F0D, 0x465, 0x466, 0x354D};

struct Named {
  UINT msg;
  const char* name;
};

// Names for the reports: the platform's numbers the program's handlers take pointers or handles
// with (and those reflected to its controls), the program's and the framework's own.
const Named kNames[] = {
    {0x0000, "WM_NULL"}, {0x0005, "WM_SIZE"}, {0x0007, "WM_SETFOCUS"}, {0x0008, "WM_KILLFOCUS"},
    {0x000F, "WM_PAINT"}, {0x0014, "WM_ERASEBKGND"}, {0x0020, "WM_SETCURSOR"}, {0x002B, "WM_DRAWITEM"},
    {0x002C, "WM_MEASUREITEM"}, {0x002D, "WM_DELETEITEM"}, {0x002E, "WM_VKEYTOITEM"},
    {0x002F, "WM_CHARTOITEM"}, {0x0030, "WM_SETFONT"}, {0x0039, "WM_COMPAREITEM"}, {0x004E, "WM_NOTIFY"},
    {0x0084, "WM_NCHITTEST"}, {0x0100, "WM_KEYDOWN"}, {0x0102, "WM_CHAR"}, {0x0111, "WM_COMMAND"},
    {0x0113, "WM_TIMER"}, {0x0114, "WM_HSCROLL"}, {0x0115, "WM_VSCROLL"}, {0x0133, "WM_CTLCOLOREDIT"},
    {0x0134, "WM_CTLCOLORLISTBOX"}, {0x0135, "WM_CTLCOLORBTN"}, {0x0137, "WM_CTLCOLORSCROLLBAR"},
    {0x0138, "WM_CTLCOLORSTATIC"}, {0x0200, "WM_MOUSEMOVE"}, {0x0201, "WM_LBUTTONDOWN"},
    {0x0202, "WM_LBUTTONUP"}, {0x020A, "WM_MOUSEWHEEL"}, {0x02A3, "WM_MOUSELEAVE"}, {0x0313, "WM_POPUPSYSTEMMENU"},
    {0x03E8, "WM_DDE_EXECUTE"}, {0x0465, "FX_LABELMOVED"}, {0x0466, "FX_ATTACHLABEL"}, {0x354D, "GX_REHOOK"},
    {0x7F08, "EC_AFTERENTER"}, {0x7F09, "EC_AFTEREXIT"}, {0x7F0B, "EC_CONTROLMOVED"}, {0x7F0C, "EC_LABELMOVED"},
    {0x7F0D, "EC_LABELATTACH"}, {0xB001, "CM_MOUSEENTER"}, {0xB002, "CM_MOUSELEAVE"},
    {0xB003, "CM_ENABLEDCHANGED"}, {0xB004, "CM_FONTCHANGED"}, {0xB005, "CM_COLORCHANGED"},
    {0xB006, "CM_TEXTCHANGED"}, {0xB007, "CM_PARENTFONTCHANGED"}, {0xB008, "CM_PARENTCOLORCHANGED"},
    {0xB009, "CM_VISIBLECHANGED"}, {0xB00A, "CM_DIALOGCHAR"}, {0xB00B, "CM_RELEASE"},
};

std::string MessageName(UINT m) {
  for (const Named& n : kNames)
    if (n.msg == m) return n.name;
  if (m >= kCnBase && m < 0xC000) {
    for (const Named& n : kNames)
      if (n.msg == m - kCnBase) return std::string("CN_") + (std::strncmp(n.name, "WM_", 3) == 0 ? n.name + 3 : n.name);
  }
  return "";
}

// Platform messages whose ordinary effect, whatever the parameters, is to end the program or to
// hold it for good; kept out of the random numbers. The program's and the framework's numbers
// are never excluded.
bool Excluded(UINT m) {
  switch (m) {
    case WM_DESTROY: case WM_NCDESTROY:  // the window is taken down, or believes it was
    case WM_CLOSE: case WM_QUIT:         // asks the program to end
    case WM_QUERYENDSESSION: case WM_ENDSESSION:  // the session ends: the program may end
    case WM_COMMAND:                     // a menu command: "E&xit", or "About" (a box that waits)
    case WM_SYSCOMMAND:                  // SC_CLOSE, and the modal move, size and menu loops
    case WM_SYSKEYDOWN: case WM_SYSKEYUP: case WM_SYSCHAR: case WM_SYSDEADCHAR:  // Alt+F4, Alt+X
      return true;
  }
  // The non-client mouse (the close box, the caption's drag loop, the system menu).
  if (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK) return true;
  if (m == WM_NCMOUSEHOVER || m == WM_NCMOUSELEAVE) return true;
  // The system menu opened by the default handling (WM_CONTEXTMENU at the caption; 0x313, the
  // taskbar's request): a modal loop that waits for the person. Under Wine a posted DDE message
  // (0x3E0-0x3E8) arriving during it stops it handling posted messages for good, Wine's own
  // notepad too.
  return m == WM_CONTEXTMENU || m == 0x0313;
}

// --------------------------------------------------------------- windows of the program

struct Window {
  HWND wnd;
  std::string cls, text;
  std::string path;  // classes from the top with their place among siblings: found again in a fresh program
  bool own;          // a class the program registered (else a platform control, possibly subclassed)
};

std::string ClassOf(HWND w) {
  char c[256] = {};
  GetClassNameA(w, c, sizeof c);
  return c;
}

std::string TextOf(HWND w) {
  char t[128] = {};
  // Sent with a time limit: the window belongs to another process that may hang.
  SendMessageTimeoutA(w, WM_GETTEXT, sizeof t, reinterpret_cast<LPARAM>(t), SMTO_NORMAL, 1000, nullptr);
  return t;
}

// The process's top-level windows, hidden ones too, in Z order.
std::vector<HWND> TopWindows(DWORD pid) {
  struct Look {
    DWORD pid;
    std::vector<HWND> found;
  } look{pid, {}};
  EnumWindows(
      [](HWND w, LPARAM l) {
        auto* k = reinterpret_cast<Look*>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == k->pid) k->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&look));
  return look.found;
}

// A class this process knows too (the system's and the common controls' classes) is the platform's.
bool PlatformClass(const std::string& cls) {
  static bool init = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, 0xFFFF};
    return InitCommonControlsEx(&icc);
  }();
  (void)init;
  WNDCLASSEXA wc{sizeof wc};
  return GetClassInfoExA(nullptr, cls.c_str(), &wc) || GetClassInfoExA(GetModuleHandleA(nullptr), cls.c_str(), &wc);
}

class Windows {
 public:
  Windows(DWORD pid, HMODULE image) : image_(image) {
    std::map<std::string, int> seen;
    for (HWND w : TopWindows(pid)) Add(w, "", seen);
    // Message-only windows hear posts too.
    std::map<std::string, int> seenMsg;
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w; w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == pid) Add(w, "message-only/", seenMsg);
    }
  }

  const std::vector<Window>& All() const { return list_; }
  HWND Find(const std::string& path) const {
    for (const Window& w : list_)
      if (w.path == path) return w.wnd;
    return nullptr;
  }
  HWND FirstOfClass(const char* cls) const {
    for (const Window& w : list_)
      if (w.cls == cls) return w.wnd;
    return nullptr;
  }

 private:
  void Add(HWND w, const std::string& parent, std::map<std::string, int>& siblings) {
    Window x{w, ClassOf(w), TextOf(w), "", false};
    x.path = parent + x.cls + "#" + std::to_string(siblings[x.cls]++);
    // Wine registers the common controls' classes under the program's module too: both tests.
    x.own = reinterpret_cast<HMODULE>(GetClassLongPtrA(w, GCLP_HMODULE)) == image_ && !PlatformClass(x.cls);
    list_.push_back(x);
    std::map<std::string, int> children;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) Add(c, x.path + "/", children);
  }

  HMODULE image_;
  std::vector<Window> list_;
};

// --------------------------------------------------------------- the program under test

enum class Outcome { ok, ended, hung, stalled, mainGone };

const char* OutcomeText(Outcome o) {
  switch (o) {
    case Outcome::ok: return "answers";
    case Outcome::ended: return "ENDED";
    case Outcome::hung: return "HANGS (WM_NULL unanswered)";
    case Outcome::stalled: return "STALLS (answers WM_NULL but posted messages are not handled)";
    case Outcome::mainGone: return "MAIN WINDOW GONE (the process runs on)";
  }
  return "?";
}

std::string ExitCodeText(DWORD code) {
  char s[96];
  const char* name = code == 0xC0000005 ? " access violation" : code == 0xC00000FD ? " stack overflow"
                   : code == 0xC0000374 ? " heap corruption" : code == 0xC0000409 ? " fail fast"
                   : code == 0xC000001D ? " illegal instruction" : code == 0x80000003 ? " breakpoint"
                   : code == 3 ? " (abort / terminate)" : "";
  std::snprintf(s, sizeof s, "0x%08lX%s", static_cast<unsigned long>(code), name);
  return s;
}

// What ended the program: the exception it did not handle, as its debugger saw it.
struct Fault {
  DWORD code = 0;
  uint64_t at = 0;      // the faulting instruction
  int access = -1;      // access violation: 0 read, 1 write, 8 execute
  uint64_t address = 0; // the address accessed
  std::string module;    // the module the instruction lies in, and its base
  uint64_t base = 0;
};

class Program {
 public:
  // Started as the program's debugger: under Wine an unhandled fault otherwise starts the crash
  // debugger, which holds the process (a hang, not an end); this way the fault is also known.
  Program(const std::string& exe, DWORD startMs = 15000) : exe_(exe) {
    started_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    debugger_ = CreateThread(nullptr, 0, &Program::Debug, this, 0, nullptr);
    WaitForSingleObject(started_, INFINITE);
    if (!pi_.hProcess) {
      std::printf("msgfuzz: cannot start %s (error %lu)\n", exe.c_str(), startError_);
      return;
    }
    WaitForInputIdle(pi_.hProcess, startMs);
    // The main window: the first visible top-level window of a class of the program's own.
    DWORD start = GetTickCount();
    while (!main_ && GetTickCount() - start < startMs && WaitForSingleObject(pi_.hProcess, 20) == WAIT_TIMEOUT)
      for (HWND w : TopWindows(pi_.dwProcessId))
        if (!main_ && IsWindowVisible(w) && !GetWindow(w, GW_OWNER) && !PlatformClass(ClassOf(w))) main_ = w;
    if (!main_) return;
    image_ = reinterpret_cast<HMODULE>(GetClassLongPtrA(main_, GCLP_HMODULE));
    windows_ = std::make_unique<Windows>(pi_.dwProcessId, image_);
    sentinel_ = windows_->FirstOfClass("Edit");
    if (sentinel_) limit_ = static_cast<DWORD>(SendMessageA(sentinel_, EM_GETLIMITTEXT, 0, 0));
  }

  ~Program() {
    if (pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(debugger_, 10000);
    CloseHandle(debugger_);
    CloseHandle(started_);
    if (!pi_.hProcess) return;
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }

  const Fault& LastFault() const { return fault_; }  // read once the process has ended
  HMODULE Image() const { return image_; }
  bool Started() const { return main_ != nullptr; }
  const Windows& Wins() const { return *windows_; }
  DWORD ExitCode() const {
    DWORD c = 0;
    GetExitCodeProcess(pi_.hProcess, &c);
    return c;
  }

  // After posts: the process runs, its main window answers, and a message posted behind them all
  // has been handled (the entry field's text limit, set to a value of its own, reads back), so
  // the posts were not merely queued.
  // `explain` adds a note to a hang or stall: the program's load, and whether it passes in time.
  Outcome Check(bool explain = true, DWORD limitMs = 5000) {
    want_ = 0;
    if (sentinel_ && IsWindow(sentinel_)) {
      want_ = limit_ + (++checks_ & 1);
      PostMessageA(sentinel_, EM_SETLIMITTEXT, want_, 0);
    }
    note_.clear();
    const uint64_t cpu = CpuMs();
    const DWORD start = GetTickCount();
    Outcome out = Wait(limitMs);
    if (!explain || (out != Outcome::hung && out != Outcome::stalled)) return out;
    // Whether it is busy, and whether it comes back given longer.
    char note[96];
    const DWORD waited = GetTickCount() - start;
    const int load = static_cast<int>((CpuMs() - cpu) * 100 / std::max<DWORD>(waited, 1));
    Outcome later = Wait(25000);
    std::snprintf(note, sizeof note, "%d%% CPU in the first %.1f s; %s", load, waited / 1000.0,
                  later == Outcome::ok ? "came back after " : "still so after ");
    note_ = note + std::to_string((GetTickCount() - start) / 1000) + " s";
    return out;
  }
  const std::string& Note() const { return note_; }

  // Boxes the program showed (an error's message box, a warning): their texts, and each closed.
  std::vector<std::string> CloseBoxes() {
    std::vector<std::string> texts;
    for (HWND box : TopWindows(pi_.dwProcessId)) {
      if (!IsWindowVisible(box) || ClassOf(box) != "#32770") continue;
      std::string text = TextOf(box);
      text.insert(0, 1, '"').append("\":");
      for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassOf(c) == "Static") text.append(" ").append(TextOf(c));
      texts.push_back(text);
      PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
    return texts;
  }

  // Asks the program to close as a person does; its exit code, or STILL_ACTIVE when it did not.
  DWORD Close(DWORD ms) {
    if (sentinel_ && IsWindow(sentinel_)) PostMessageA(sentinel_, EM_SETLIMITTEXT, limit_, 0);
    PostMessageA(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    return ExitCode();
  }

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
  HMODULE image_ = nullptr;
  std::unique_ptr<Windows> windows_;
  HWND sentinel_ = nullptr;
  DWORD limit_ = 0;
  unsigned checks_ = 0;
  std::string exe_;
  HANDLE started_ = nullptr, debugger_ = nullptr;
  DWORD startError_ = 0;
  Fault fault_;
  DWORD want_ = 0;
  std::string note_;

  uint64_t CpuMs() const {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(pi_.hProcess, &created, &ended, &kernel, &user)) return 0;
    auto ms = [](FILETIME t) { return ((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000; };
    return ms(kernel) + ms(user);
  }

  // Until the sentinel posted behind the messages has been handled, or the time is up.
  Outcome Wait(DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
      if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0) return Outcome::ended;
      if (!IsWindow(main_)) {
        // A program whose main window went usually ends a moment later.
        return WaitForSingleObject(pi_.hProcess, 3000) == WAIT_OBJECT_0 ? Outcome::ended : Outcome::mainGone;
      }
      DWORD_PTR r = 0;
      if (!SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r)) {
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0) return Outcome::ended;
        if (GetTickCount() - start > limitMs) return Outcome::hung;
        continue;
      }
      if (!want_ || !IsWindow(sentinel_)) return Outcome::ok;
      if (SendMessageTimeoutA(sentinel_, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 2000, &r) && r == want_) return Outcome::ok;
      if (GetTickCount() - start > limitMs) return Outcome::stalled;
      WaitForSingleObject(pi_.hProcess, 10);
    }
  }

  // The debugger's thread: it must be the one that created the process. Passes every exception
  // on to the program; one it leaves unhandled ends it with the exception's code.
  static DWORD WINAPI Debug(void* self) {
    auto* p = static_cast<Program*>(self);
    STARTUPINFOA si{sizeof si};
    std::string cmd = "\"" + p->exe_ + "\"";
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &si, &p->pi_)) {
      p->startError_ = GetLastError();
      p->pi_ = PROCESS_INFORMATION{};
      SetEvent(p->started_);
      return 0;
    }
    HANDLE process = p->pi_.hProcess;
    SetEvent(p->started_);
    bool loaderBreak = true;
    for (;;) {
      DEBUG_EVENT e{};
      if (!WaitForDebugEvent(&e, INFINITE)) return 0;
      DWORD how = DBG_CONTINUE;
      switch (e.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
          if (e.u.CreateProcessInfo.hFile) CloseHandle(e.u.CreateProcessInfo.hFile);
          break;
        case LOAD_DLL_DEBUG_EVENT:
          if (e.u.LoadDll.hFile) CloseHandle(e.u.LoadDll.hFile);
          break;
        case EXCEPTION_DEBUG_EVENT: {
          const EXCEPTION_RECORD& r = e.u.Exception.ExceptionRecord;
          if (loaderBreak && r.ExceptionCode == EXCEPTION_BREAKPOINT) {
            loaderBreak = false;  // the loader's breakpoint for a debugger
            break;
          }
          how = DBG_EXCEPTION_NOT_HANDLED;
          if (!e.u.Exception.dwFirstChance) {
            Fault& f = p->fault_;
            f.code = r.ExceptionCode;
            f.at = reinterpret_cast<uint64_t>(r.ExceptionAddress);
            if (r.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r.NumberParameters >= 2) {
              f.access = static_cast<int>(r.ExceptionInformation[0]);
              f.address = r.ExceptionInformation[1];
            }
            HMODULE mods[256];
            DWORD bytes = 0;
            if (K32EnumProcessModules(process, mods, sizeof mods, &bytes))
              for (DWORD i = 0; i < std::min<DWORD>(bytes / sizeof(HMODULE), 256); ++i) {
                MODULEINFO mi{};
                char name[MAX_PATH] = {};
                if (!K32GetModuleInformation(process, mods[i], &mi, sizeof mi)) continue;
                const auto base = reinterpret_cast<uint64_t>(mi.lpBaseOfDll);
                if (f.at < base || f.at >= base + mi.SizeOfImage) continue;
                K32GetModuleBaseNameA(process, mods[i], name, sizeof name);
                f.module = name;
                f.base = base;
              }
            TerminateProcess(process, r.ExceptionCode);
          }
          break;
        }
        default:
          break;
      }
      ContinueDebugEvent(e.dwProcessId, e.dwThreadId, how);
      if (e.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) return 0;
    }
  }
};

// --------------------------------------------------------------- junk

struct Posted {
  std::string path;
  UINT msg;
  WPARAM w;
  LPARAM l;
};

std::string Describe(const Posted& p) {
  char s[256];
  std::string name = MessageName(p.msg);
  std::snprintf(s, sizeof s, "%-36s 0x%04X %-22s wParam 0x%016llX lParam 0x%016llX", p.path.c_str(), p.msg,
                name.c_str(), static_cast<unsigned long long>(p.w), static_cast<unsigned long long>(p.l));
  return s;
}

class Junk {
 public:
  explicit Junk(uint64_t seed) : rng_(seed) {}

  uint64_t Below(uint64_t n) { return std::uniform_int_distribution<uint64_t>(0, n - 1)(rng_); }

  // Parameters that look like what a handler might take them for: counts, handles, pointers.
  uint64_t Param() {
    switch (Below(10)) {
      case 0: case 1: return 0;
      case 2: return Below(17);                                   // small integers
      case 3: return ~0ull;                                       // -1
      case 4: return 0x10000 + (Below(0x10000) & ~7ull);          // low, just above the null page
      case 5: return image_ + (Below(0x200000) & ~7ull);          // inside the program's image: readable junk
      case 6: return Below(2) ? 0xFFFF800000000000ull | (rng_() & 0x7FFFFFFFFFF8ull)  // kernel-ish
                              : 0xFFFFFFFF80000000ull + (Below(0x80000000) & ~7ull);
      case 7: return (rng_() & 0x7FFFFFFFFFFull) | 1;             // odd user-space address
      case 8: return static_cast<uint32_t>(rng_());
      default: return rng_();
    }
  }

  UINT Private() { return kPrivate[Below(std::size(kPrivate))]; }

  UINT Framework() {
    static const UINT reflected[] = {WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM,
                                     WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM, WM_HSCROLL, WM_VSCROLL,
                                     WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                                     WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC};
    switch (Below(3)) {
      case 0: return kCmBase + static_cast<UINT>(Below(16));
      case 1: return kCnBase + reflected[Below(std::size(reflected))];
      default: return kCmBase + static_cast<UINT>(Below(0x1000));
    }
  }

  // Half from the platform's own numbers, where the handlers that take handles and pointers are.
  UINT Any() {
    for (;;) {
      UINT m = static_cast<UINT>(Below(2) ? Below(WM_USER) : Below(0x10000));
      if (!Excluded(m)) return m;
    }
  }

  // The program's own windows hear every kind; the platform's controls only the program's and the
  // framework's numbers (their own messages are the platform's business).
  UINT For(const Window& w) {
    for (;;) {
      uint64_t k = Below(w.own ? 10 : 6);
      UINT m = k < 3 ? Private() : k < 6 ? Framework() : Any();
      if (std::find(skip_.begin(), skip_.end(), m) == skip_.end()) return m;
    }
  }

  std::vector<UINT> skip_;
  uint64_t image_ = 0x140000000;

 private:
  std::mt19937_64 rng_;
};

// --------------------------------------------------------------- replay and narrowing

std::string g_program;

// The function of the program an address falls in, from the program file's own symbol table.
std::string FunctionAt(uint64_t rva) {
  std::ifstream in(g_program, std::ios::binary);
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto at = [&](size_t off, size_t n) { return off + n <= file.size() ? file.data() + off : nullptr; };
  IMAGE_DOS_HEADER dos;
  IMAGE_NT_HEADERS64 nt;
  if (!at(0, sizeof dos)) return "";
  std::memcpy(&dos, file.data(), sizeof dos);
  if (!at(dos.e_lfanew, sizeof nt)) return "";
  std::memcpy(&nt, file.data() + dos.e_lfanew, sizeof nt);
  const size_t sections = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
  const size_t table = nt.FileHeader.PointerToSymbolTable, count = nt.FileHeader.NumberOfSymbols;
  if (!table || !at(table, count * IMAGE_SIZEOF_SYMBOL)) return "";
  const size_t strings = table + count * IMAGE_SIZEOF_SYMBOL;
  std::string best;
  uint64_t bestRva = 0;
  for (size_t i = 0; i < count; ++i) {
    IMAGE_SYMBOL sym;
    std::memcpy(&sym, file.data() + table + i * IMAGE_SIZEOF_SYMBOL, IMAGE_SIZEOF_SYMBOL);
    i += sym.NumberOfAuxSymbols;
    IMAGE_SECTION_HEADER sec;
    if (sym.Type != 0x20 || sym.SectionNumber <= 0 || !at(sections + (sym.SectionNumber - 1) * sizeof sec, sizeof sec)) continue;
    std::memcpy(&sec, file.data() + sections + (sym.SectionNumber - 1) * sizeof sec, sizeof sec);
    const uint64_t start = sec.VirtualAddress + sym.Value;
    if (start > rva || start < bestRva) continue;
    bestRva = start;
    if (sym.N.Name.Short) best.assign(reinterpret_cast<const char*>(sym.N.ShortName), strnlen(reinterpret_cast<const char*>(sym.N.ShortName), 8));
    else if (const char* n = at(strings + sym.N.Name.Long, 1)) best = n;
  }
  if (best.empty()) return "";
  int status = 0;
  if (char* plain = abi::__cxa_demangle(best.c_str(), nullptr, nullptr, &status)) {
    best = plain;
    std::free(plain);
  }
  char off[32];
  std::snprintf(off, sizeof off, "+0x%llX", static_cast<unsigned long long>(rva - bestRva));
  return best + off;
}

struct Failure {
  Outcome outcome = Outcome::ok;
  DWORD code = 0;
  Fault fault;
  uint64_t image = 0;
  std::string note;  // a hang's or stall's load and whether it passed
  // The same failure: the same end at the same instruction.
  bool operator==(const Failure& f) const {
    return outcome == f.outcome && (outcome != Outcome::ended || (code == f.code && fault.at == f.fault.at));
  }
};

Failure FailureOf(Outcome out, const Program& p) {
  Failure f{out};
  f.note = p.Note();
  if (out != Outcome::ended) return f;
  f.code = p.ExitCode();
  f.fault = p.LastFault();
  f.image = reinterpret_cast<uint64_t>(p.Image());
  return f;
}

std::string FailureText(const Failure& f) {
  if (f.outcome != Outcome::ended) return OutcomeText(f.outcome) + (f.note.empty() ? "" : " (" + f.note + ")");
  std::string s = "ENDED, exit code " + ExitCodeText(f.code);
  if (!f.fault.code) return s;
  char where[160];
  uint64_t at = f.fault.at;
  if (f.fault.base && f.fault.base == f.image)
    std::snprintf(where, sizeof where, "; unhandled exception at program+0x%llX %s", static_cast<unsigned long long>(at - f.image),
                  FunctionAt(at - f.image).c_str());
  else if (f.fault.base)
    std::snprintf(where, sizeof where, "; unhandled exception in %s+0x%llX", f.fault.module.c_str(),
                  static_cast<unsigned long long>(at - f.fault.base));
  else
    std::snprintf(where, sizeof where, "; unhandled exception at 0x%llX", static_cast<unsigned long long>(at));
  s += where;
  if (f.fault.access >= 0) {
    std::snprintf(where, sizeof where, ", %s 0x%llX",
                  f.fault.access == 0 ? "reading" : f.fault.access == 1 ? "writing" : "executing",
                  static_cast<unsigned long long>(f.fault.address));
    s += where;
  }
  return s;
}

struct Options {
  uint64_t seed = 20261209;
  long messages = 5000;
  long seconds = 0;
  int batch = 50;
  std::string program = "Tessaline.exe";
  std::string phonebook;
  bool narrow = true;
  long narrowSeconds = 600;
  std::string replay;  // a file of messages as a reproducer prints them, played once
  bool keepGoing = false;  // after a failure, a fresh program and on, collecting distinct failures
  std::vector<UINT> skip;  // numbers left out, to look past failures already known
};

// Plays messages against a fresh program, checking after every `every` messages; the failure and
// how many messages had been posted when it was seen (0 when it survived them all, -1 when the
// program did not start).
long Replay(const Options& o, const std::vector<Posted>& msgs, size_t every, Failure& f) {
  Program p(o.program);
  if (!p.Started()) return -1;
  for (size_t i = 0; i < msgs.size(); ++i) {
    if (HWND w = p.Wins().Find(msgs[i].path)) PostMessageA(w, msgs[i].msg, msgs[i].w, msgs[i].l);
    if ((i + 1) % every && i + 1 < msgs.size()) continue;
    Outcome out = p.Check(false);
    if (out != Outcome::ok) {
      f = FailureOf(out, p);
      return static_cast<long>(i) + 1;
    }
    p.CloseBoxes();
  }
  return 0;
}

// The fewest messages found that repeat the failure from a fresh program: the failing batch alone
// first (the usual case: one message), else the whole run cut down by leaving out ever smaller
// parts of it. Within a time limit; what is left then is printed as found.
std::vector<Posted> Narrow(const Options& o, const std::vector<Posted>& history, size_t batchStart, const Failure& seen) {
  const DWORD begun = GetTickCount();
  auto inTime = [&] { return GetTickCount() - begun < static_cast<DWORD>(o.narrowSeconds) * 1000; };
  // Repeats when the same failure follows; cut to the message it followed (or its batch).
  auto repeats = [&](std::vector<Posted>& msgs) {
    Failure f;
    size_t every = msgs.size() <= size_t(o.batch) * 2 ? 1 : size_t(o.batch);
    long n = Replay(o, msgs, every, f);
    if (n <= 0 || !(f == seen)) return false;
    msgs.resize(static_cast<size_t>(n));
    return true;
  };
  std::vector<Posted> cand(history.begin() + static_cast<long>(batchStart), history.end());
  if (!repeats(cand)) {
    std::printf("  the batch alone does not repeat it; the run from its start:\n");
    cand = history;
    if (!repeats(cand)) return {};
  }
  // Leave out one of n parts at a time; finer when none can go.
  for (size_t n = 2; cand.size() > 1 && inTime();) {
    const size_t part = (cand.size() + n - 1) / n;
    bool cut = false;
    for (size_t from = 0; from < cand.size() && inTime(); from += part) {
      std::vector<Posted> rest(cand.begin(), cand.begin() + static_cast<long>(from));
      rest.insert(rest.end(), cand.begin() + static_cast<long>(std::min(from + part, cand.size())), cand.end());
      if (repeats(rest)) {
        cand = rest;
        n = std::max<size_t>(n - 1, 2);
        cut = true;
        std::printf("  down to %zu\n", cand.size());
        break;
      }
    }
    if (cut) continue;
    if (n >= cand.size()) break;
    n = std::min(n * 2, cand.size());
  }
  if (cand.size() > size_t(o.batch) * 2) std::printf("  (time limit: not cut further)\n");
  return cand;
}

struct Finding {
  Failure failure;
  std::vector<Posted> reproducer;
  int times = 0;
};

void PrintReproducer(const Finding& f, int batch) {
  std::printf("smallest reproducer, %zu message(s) posted to a fresh program, %s:\n", f.reproducer.size(),
              f.reproducer.size() <= size_t(batch) * 2 ? "one at a time" : "checked after each batch");
  for (const Posted& m : f.reproducer) std::printf("    %s\n", Describe(m).c_str());
  std::printf("  -> %s\n", FailureText(f.failure).c_str());
}

bool Parse(int argc, char** argv, Options& o) {
  bool messagesGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--no-narrow") { o.narrow = false; continue; }
    if (a == "--keep-going") { o.keepGoing = true; continue; }
    if (!v) return false;
    ++i;
    if (a == "--seed") o.seed = std::string(v) == "random" ? std::random_device{}() ^ (uint64_t(GetTickCount()) << 32) : std::strtoull(v, nullptr, 0);
    else if (a == "--messages") { o.messages = std::atol(v); messagesGiven = true; }
    else if (a == "--seconds") o.seconds = std::atol(v);
    else if (a == "--batch") o.batch = std::max(1, std::atoi(v));
    else if (a == "--program") o.program = v;
    else if (a == "--phonebook") o.phonebook = v;
    else if (a == "--replay") o.replay = v;
    else if (a == "--narrow-seconds") o.narrowSeconds = std::atol(v);
    else if (a == "--skip") o.skip.push_back(static_cast<UINT>(std::strtoul(v, nullptr, 0)));
    else return false;
  }
  if (o.seconds > 0 && !messagesGiven) o.messages = 0;  // time alone bounds the run
  return true;
}

// Plays a reproducer: lines as the fuzzer prints its messages ("PATH 0xMSG [NAME] wParam W lParam
// L"), other lines ignored, so that a report can be pasted as it is.
int ReplayFile(const Options& o) {
  std::ifstream in(o.replay);
  std::vector<Posted> msgs;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> t;
    for (size_t i = 0; (i = line.find_first_not_of(" \t\r", i)) != std::string::npos;) {
      size_t end = line.find_first_of(" \t\r", i);
      t.push_back(line.substr(i, end - i));
      i = end == std::string::npos ? line.size() : end;
    }
    auto w = std::find(t.begin(), t.end(), "wParam"), l = std::find(t.begin(), t.end(), "lParam");
    if (t.size() < 6 || w + 1 >= t.end() || l + 1 >= t.end() || t[1].rfind("0x", 0) != 0) continue;
    msgs.push_back(Posted{t[0], static_cast<UINT>(std::strtoul(t[1].c_str(), nullptr, 16)),
                          std::strtoull(w[1].c_str(), nullptr, 16), static_cast<LPARAM>(std::strtoull(l[1].c_str(), nullptr, 16))});
  }
  std::printf("msgfuzz: replaying %zu message(s) from %s, one at a time\n", msgs.size(), o.replay.c_str());
  Failure f;
  long n = Replay(o, msgs, 1, f);
  if (n < 0) return 2;
  if (n == 0) {
    std::printf("survived\n");
    return 0;
  }
  std::printf("after message %ld: %s\n  %s\n", n, FailureText(f).c_str(), Describe(msgs[n - 1]).c_str());
  if (o.narrow && n > 1) {
    msgs.resize(static_cast<size_t>(n));
    std::printf("narrowing against fresh programs:\n");
    Finding found{f, Narrow(o, msgs, 0, f), 1};
    if (!found.reproducer.empty()) PrintReproducer(found, o.batch);
  }
  return 1;
}

// The program reads its phonebook from a copy of ours, so that what the service writes beside it
// (the copy's log) stays out of the build folder; both go when the run ends.
class PhonebookCopy {
 public:
  explicit PhonebookCopy(const std::string& file) {
    if (file.empty()) return;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "tess-msgfuzz-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    if (!CopyFileA(file.c_str(), (dir_ + "\\rasphone.pbk").c_str(), FALSE))
      std::printf("msgfuzz: cannot copy the phonebook %s (error %lu)\n", file.c_str(), GetLastError());
    else
      SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", (dir_ + "\\rasphone.pbk").c_str());
  }
  ~PhonebookCopy() {
    if (dir_.empty()) return;
    DeleteFileA((dir_ + "\\rasphone.pbk").c_str());
    DeleteFileA((dir_ + "\\rasphone.log").c_str());
    RemoveDirectoryA(dir_.c_str());
  }

 private:
  std::string dir_;
};

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) {
    std::printf("usage: tess_msgfuzz [--seed N|random] [--messages N] [--seconds N] [--batch N] [--program EXE]\n"
                "                    [--keep-going] [--skip MSG]... [--phonebook FILE] [--no-narrow] [--narrow-seconds N]\n"
                "       tess_msgfuzz --replay FILE [--program EXE] [--phonebook FILE]\n");
    return 2;
  }
  setvbuf(stdout, nullptr, _IONBF, 0);
  g_program = o.program;
  PhonebookCopy phonebook(o.phonebook);

  if (!o.replay.empty()) return ReplayFile(o);

  const DWORD begun = GetTickCount();
  Junk junk(o.seed);
  junk.skip_ = o.skip;
  long posted = 0, refused = 0, lost = 0, batches = 0, programs = 0, failures = 0;
  std::map<DWORD, long> refusals;
  size_t windows = 0;
  int own = 0;
  std::vector<Finding> findings;
  auto more = [&] {
    if (o.messages > 0 && posted >= o.messages) return false;
    return o.seconds <= 0 || GetTickCount() - begun < static_cast<DWORD>(o.seconds) * 1000;
  };
  std::printf("msgfuzz: seed %llu\n", static_cast<unsigned long long>(o.seed));
  do {
    Program p(o.program);
    ++programs;
    if (!p.Started()) {
      std::printf("msgfuzz: %s showed no main window\n", o.program.c_str());
      return 2;
    }
    const std::vector<Window>& wins = p.Wins().All();
    junk.image_ = reinterpret_cast<uint64_t>(p.Image());
    if (programs == 1) {
      windows = wins.size();
      std::printf("%zu windows of %s:\n", wins.size(), o.program.c_str());
      for (const Window& w : wins) {
        own += w.own;
        std::printf("  %p  %-8s %-36s \"%s\"\n", static_cast<void*>(w.wnd), w.own ? "own" : "platform", w.path.c_str(), w.text.c_str());
      }
    }
    std::vector<Posted> history, batch;
    size_t batchStart = 0;
    Failure failure;
    while (more() && failure.outcome == Outcome::ok) {
      batch.clear();
      batchStart = history.size();
      for (int i = 0; i < o.batch && more(); ++i) {
        const Window& w = wins[junk.Below(wins.size())];
        Posted m{w.path, junk.For(w), junk.Param(), static_cast<LPARAM>(junk.Param())};
        if (!PostMessageA(w.wnd, m.msg, m.w, m.l)) {
          // The platform refuses to post some numbers (those that carry pointers, DDE messages
          // with a bad handle); to a window gone, the check after the batch tells why.
          DWORD err = GetLastError();
          if (IsWindow(w.wnd)) ++refused;
          else ++lost;
          ++refusals[err];
          continue;
        }
        ++posted;
        batch.push_back(m);
        history.push_back(m);
      }
      ++batches;
      Outcome out = p.Check();
      if (out != Outcome::ok) {
        failure = FailureOf(out, p);
        break;
      }
      for (const std::string& box : p.CloseBoxes()) std::printf("  batch %ld: a box appeared: %s\n", batches, box.c_str());
    }
    if (failure.outcome == Outcome::ok) {
      DWORD code = p.Close(10000);
      std::printf("closed with WM_CLOSE afterwards: %s\n",
                  code == STILL_ACTIVE ? "no (still running after 10 s)" : ("exit code " + ExitCodeText(code)).c_str());
      break;
    }
    ++failures;
    std::printf("\nFAILED: the program %s\nafter batch %ld (program %ld, seed %llu)",
                FailureText(failure).c_str(), batches, programs, static_cast<unsigned long long>(o.seed));
    auto known = std::find_if(findings.begin(), findings.end(), [&](const Finding& f) { return f.failure == failure; });
    if (known != findings.end()) {
      ++known->times;
      std::printf(": the same failure as #%ld\n", static_cast<long>(known - findings.begin()) + 1);
    } else {
      std::printf("; the batch's %zu messages:\n", batch.size());
      for (const Posted& m : batch) std::printf("  %s\n", Describe(m).c_str());
      Finding f{failure, {}, 1};
      if (o.narrow) {
        std::printf("narrowing against fresh programs:\n");
        f.reproducer = Narrow(o, history, batchStart, failure);
        if (f.reproducer.empty()) std::printf("  not repeated from a fresh program: the seed repeats the run\n");
        else PrintReproducer(f, o.batch);
      }
      findings.push_back(f);
    }
  } while (o.keepGoing && more());

  if (findings.size() > 1 || (o.keepGoing && !findings.empty())) {
    std::printf("\n%zu distinct failure(s) in %ld:\n", findings.size(), failures);
    for (size_t i = 0; i < findings.size(); ++i) {
      std::printf("#%zu, seen %d time(s): ", i + 1, findings[i].times);
      if (findings[i].reproducer.empty()) std::printf("%s (not narrowed)\n", FailureText(findings[i].failure).c_str());
      else PrintReproducer(findings[i], o.batch);
    }
  }
  std::string why;
  for (auto [err, n] : refusals) why += (why.empty() ? "; errors: " : ", ") + std::to_string(n) + " x " + std::to_string(err);
  std::printf("msgfuzz: %ld messages posted (%ld refused, %ld to windows gone%s), %zu windows (%d own), %ld batches, %ld program(s), "
              "%.1f s, seed %llu, survived: %s\n",
              posted, refused, lost, why.c_str(), windows, own, batches, programs, (GetTickCount() - begun) / 1000.0,
              static_cast<unsigned long long>(o.seed), failures ? "no" : "yes");
  return failures ? 1 : 0;
}

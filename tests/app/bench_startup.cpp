// Measures the program's start-up: from CreateProcess until its message loop first goes idle
// (WaitForInputIdle: its windows made, the first paints done), beside a bare Win32 window of the
// same size with a menu (bare_window.exe), in one run. Both take turns, so a change in the
// machine's load meets both; each figure is the median of the runs, and the ratio is of the
// medians. Each started program is closed again before the next one starts.
//
//   bench_startup [--runs N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// The process's shown top-level window.
HWND MainWindowOf(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } s{pid, nullptr};
  EnumWindows(
      [](HWND w, LPARAM l) {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != s->pid || !IsWindowVisible(w) || GetWindow(w, GW_OWNER)) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Milliseconds from the start of the program to its first idle moment; negative on failure.
double StartUp(const char* exe) {
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::string cmd = exe;
  double start = Now();
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  DWORD idle = WaitForInputIdle(pi.hProcess, 20000);
  double ms = Now() - start;
  // The moment counts only if the window is up by then, not merely on its way.
  HWND wnd = MainWindowOf(pi.dwProcessId);
  if (!wnd) {
    std::fprintf(stderr, "bench_startup: %s went idle before showing its window\n", exe);
    TerminateProcess(pi.hProcess, 1);
  }
  if (wnd) PostMessageA(wnd, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return idle == 0 && wnd ? ms : -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 11;
  for (int i = 1; i < argc; ++i)
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));

  // The program reads a phonebook of the demo's size, through our remote-access service.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string pbk = std::string(temp) + "bench-startup-" + std::to_string(GetCurrentProcessId()) + ".pbk";
  if (FILE* f = std::fopen(pbk.c_str(), "wb")) {
    const char* names[] = {"Office Network", "Home Internet", "Quick Test Line", "Busy Line", "Flaky Line",
                           "Wrong Password", "Old Modem"};
    for (const char* n : names) std::fprintf(f, "[%s]\r\nPhoneNumber=555-0100\r\n", n);
    std::fclose(f);
  }
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk.c_str());

  // One start of each first: the files come into the cache for both alike.
  StartUp("Tessaline.exe");
  StartUp("bare_window.exe");
  std::vector<double> program, bare;
  for (int i = 0; i < runs; ++i) {
    double p = StartUp("Tessaline.exe"), b = StartUp("bare_window.exe");
    if (p < 0 || b < 0) {
      std::fprintf(stderr, "bench_startup: a program did not start or go idle\n");
      DeleteFileA(pbk.c_str());
      return 1;
    }
    program.push_back(p);
    bare.push_back(b);
  }
  DeleteFileA(pbk.c_str());
  double mp = Median(program), mb = Median(bare);
  std::printf("start-up to the first idle moment, median of %d runs each:\n", runs);
  std::printf("  Tessaline.exe (main window, components, phonebook of 7)  %7.1f ms\n", mp);
  std::printf("  bare Win32 window 508x161 with a menu                    %7.1f ms\n", mb);
  std::printf("  ratio                                                    %7.2f\n", mp / mb);
  std::printf("  (ranges: %.1f-%.1f ms and %.1f-%.1f ms)\n", *std::min_element(program.begin(), program.end()),
              *std::max_element(program.begin(), program.end()), *std::min_element(bare.begin(), bare.end()),
              *std::max_element(bare.begin(), bare.end()));
  return 0;
}

// Measures the program's start-up: from CreateProcess until its message loop first goes idle
// (WaitForInputIdle: its windows made, the first paints done), beside the same window made of the
// platform's stock controls (stock_window.exe) and beside a bare Win32 window of the same size
// with a menu (bare_window.exe), in one run. They take turns, in the opposite order each round,
// so a change in the machine's load meets all three alike; each figure is the median of the
// runs, and the ratios are of the medians. The median of each round's own ratio is printed too:
// it leaves out the load that changes from round to round, and resolves a few per cent.
// Each started program is closed again before the next one starts.
//
//   bench_startup [--runs N] [--no-breakdown]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
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

// What a started program holds at its first idle moment, asked from outside.
struct Holdings {
  double privateKiB = 0, windows = 0;  // (Wine counts no other process's handles or GDI objects)
};
Holdings g_held;  // of the last StartUp

// Windows of a process: top-level ones and all their descendants.
int WindowsOf(DWORD pid) {
  struct Count {
    DWORD pid;
    int n;
  } c{pid, 0};
  EnumWindows(
      [](HWND w, LPARAM l) {
        auto* c = reinterpret_cast<Count*>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != c->pid) return TRUE;
        ++c->n;
        EnumChildWindows(
            w, [](HWND, LPARAM l) { return ++*reinterpret_cast<int*>(l), TRUE; }, reinterpret_cast<LPARAM>(&c->n));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&c));
  return c.n;
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
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  K32GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
  g_held = {static_cast<double>(pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage) / 1024.0,
            static_cast<double>(WindowsOf(pi.dwProcessId))};
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

// One start of startup_profile.exe, the program run with its steps written down: each step's
// name with its start (the first time it happens) and its length (summed when it repeats), in
// the order they first happen. Empty on failure.
struct ProfileStep {
  std::string name;
  double start, length;
};
std::vector<ProfileStep> ProfileRun(const char* exe, const std::string& out) {
  LARGE_INTEGER launch;
  QueryPerformanceCounter(&launch);
  std::string cmd = std::string(exe) + " " + std::to_string(launch.QuadPart) + " \"" + out + "\"";
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::vector<ProfileStep> steps;
  std::map<std::string, size_t> index;
  std::ifstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name, start, length;
    if (!std::getline(fields, name, '\t') || !std::getline(fields, start, '\t') || !std::getline(fields, length)) continue;
    auto [at, fresh] = index.emplace(name, steps.size());
    if (fresh)
      steps.push_back({name, std::atof(start.c_str()), std::atof(length.c_str())});
    else
      steps[at->second].length += std::atof(length.c_str());
  }
  DeleteFileA(out.c_str());
  return steps;
}

// The steps of several profiled starts, each with its median start and length.
void PrintBreakdown(const char* exe, const char* what, int runs, const std::string& out) {
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> starts, lengths;
  for (int i = 0; i < runs; ++i)
    for (const ProfileStep& s : ProfileRun(exe, out)) {
      if (!starts.count(s.name)) order.push_back(s.name);
      starts[s.name].push_back(s.start);
      lengths[s.name].push_back(s.length);
    }
  std::printf("where the time goes (%s; median of %d):\n", what, runs);
  std::printf("  %-58s %9s  %9s\n", "step (or platform function, called x times in all)", "at ms", "takes ms");
  for (const std::string& n : order) {
    // A platform function's line holds its number of calls where a step has its start.
    bool calls = n.rfind("calls to ", 0) == 0 || n.rfind("objects ", 0) == 0;
    std::printf("  %-58s %9.*f%s %9.2f\n", n.c_str(), calls ? 0 : 2, Median(starts[n]), calls ? "x" : " ",
                Median(lengths[n]));
  }
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 11;
  bool breakdown = true;
  for (int i = 1; i < argc; ++i)
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--no-breakdown"))
      breakdown = false;

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

  // One start of each first: the files come into the cache for all alike.
  struct TProgram {
    const char* exe;
    const char* what;
    std::vector<double> ms;
    std::vector<Holdings> held;
  };
  TProgram programs[] = {{"Tessaline.exe", "Tessaline.exe (main window, components, phonebook of 7)"},
                         {"stock_window.exe", "the same window of stock controls (phonebook of 7)"},
                         {"bare_window.exe", "bare Win32 window 508x161 with a menu"}};
  for (TProgram& p : programs) StartUp(p.exe);
  std::vector<double> roundToStock, roundToBare;
  for (int i = 0; i < runs; ++i) {
    for (int k = 0; k < 3; ++k) {
      TProgram& p = programs[i % 2 ? 2 - k : k];
      double ms = StartUp(p.exe);
      if (ms < 0) {
        std::fprintf(stderr, "bench_startup: %s did not start or go idle\n", p.exe);
        DeleteFileA(pbk.c_str());
        return 1;
      }
      p.ms.push_back(ms);
      p.held.push_back(g_held);
    }
    roundToStock.push_back(programs[0].ms.back() / programs[1].ms.back());
    roundToBare.push_back(programs[0].ms.back() / programs[2].ms.back());
  }
  auto held = [](const std::vector<Holdings>& v, double Holdings::*field) {
    std::vector<double> x;
    for (const Holdings& h : v) x.push_back(h.*field);
    return Median(x);
  };
  const double mp = Median(programs[0].ms);
  std::printf("start-up to the first idle moment, median of %d runs each (range):\n", runs);
  for (TProgram& p : programs)
    std::printf("  %-58s %7.1f ms  (%.1f-%.1f)\n", p.what, Median(p.ms), *std::min_element(p.ms.begin(), p.ms.end()),
                *std::max_element(p.ms.begin(), p.ms.end()));
  std::printf("  ratio to the stock-control window                         %7.2f\n", mp / Median(programs[1].ms));
  std::printf("  ratio to the bare window                                  %7.2f\n", mp / Median(programs[2].ms));
  std::printf("  the same, median of each round's ratio                    %7.2f %7.2f\n", Median(roundToStock),
              Median(roundToBare));
  std::printf("held at the first idle moment (medians):  private KiB   windows\n");
  for (TProgram& p : programs)
    std::printf("  %-38s %9.0f %9.0f\n", p.exe, held(p.held, &Holdings::privateKiB), held(p.held, &Holdings::windows));
  std::fflush(stdout);
  if (!breakdown) {
    DeleteFileA(pbk.c_str());
    return 0;
  }
  PrintBreakdown("bare_window.exe", "bare_window.exe, its steps timed", runs,
                 std::string(temp) + "bench-startup-profile.txt");
  PrintBreakdown("stock_window.exe", "stock_window.exe, its steps timed", runs,
                 std::string(temp) + "bench-startup-profile.txt");
  PrintBreakdown("startup_profile.exe", "startup_profile.exe, the program with its steps timed", runs,
                 std::string(temp) + "bench-startup-profile.txt");
  DeleteFileA(pbk.c_str());
  return 0;
}

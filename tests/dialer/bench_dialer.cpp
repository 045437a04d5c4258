// 1 000 dial, connect and hang-up cycles through the service with its delays at their minimum:
// time per cycle and what the run leaves behind (GDI and USER objects, handles, memory); then the
// processor time one hang-up takes while it waits for a slow line to close.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "Forms.h"
#include "GdiCounter.h"
#include "TestWindows.h"
#include "ras_component.h"

namespace {

constexpr int kCycles = 1000;
constexpr int kWarmUp = 20;
constexpr DWORD kSlowHangUpMs = 500;

class Watcher : public rtl::TObject {
 public:
  int connects = 0, disconnects = 0;
  void Connect(rtl::TObject*) { ++connects; }
  void Disconnect(rtl::TObject*, int32_t, const std::string&) { ++disconnects; }
};

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  return TRUE;
}

// Bytes allocated and not freed on every heap of the process: exact, where the system's own
// memory counters are coarse (or, under Wine, partly unfilled).
long long HeapBytesInUse() {
  HANDLE heaps[64];
  DWORD n = GetProcessHeaps(64, heaps);
  long long total = 0;
  for (DWORD i = 0; i < n && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY e{};
    while (HeapWalk(heaps[i], &e))
      if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += e.cbData;
    HeapUnlock(heaps[i]);
  }
  return total;
}

struct Snapshot {
  long gdi;
  long user;
  DWORD handles;
  SIZE_T privateBytes;
  SIZE_T workingSet;
  long long heap;

  static Snapshot Take() {
    Snapshot s{};
    s.gdi = tsupport::GdiCounter::Live();
    // GetGuiResources answers 0 under Wine: count this thread's windows, the USER objects the
    // component makes.
    s.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    if (s.user == 0) EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&s.user));
    GetProcessHandleCount(GetCurrentProcess(), &s.handles);
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    s.privateBytes = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
    s.workingSet = pmc.WorkingSetSize;
    s.heap = HeapBytesInUse();
    return s;
  }
};

double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000.0; };
  return ms(kernel) + ms(user);
}

// One full cycle; false when a step did not happen in time.
bool Cycle(TRAS& ras, Watcher& w) {
  const int connects = w.connects, disconnects = w.disconnects;
  if (ras.Dial() != 0) return false;
  if (!tsupport::PumpUntil([&] { return w.connects > connects; }, 5000)) return false;
  ras.HangUp();
  return w.disconnects > disconnects;
}

}  // namespace

int main() {
  gui::TApplication app;
  tsupport::GdiCounter::Install();

  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string dir = std::string(temp) + "tess-bench-dialer-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string pbk = dir + "\\bench.pbk";
  std::ofstream(pbk, std::ios::binary) << "[Fast]\r\nStepDelayMs=0\r\nHangUpDelayMs=0\r\n\r\n"
                                       << "[Slow close]\r\nStepDelayMs=0\r\nHangUpDelayMs=" << kSlowHangUpMs << "\r\n";

  int rc = 0;
  {
    TRAS ras(nullptr);
    Watcher w;
    ras.OnConnect.Bind(&w, &Watcher::Connect);
    ras.OnDisconnect.Bind(&w, &Watcher::Disconnect);
    ras.SetPhoneBookPath(pbk);
    if (ras.PhoneBookEntries().Count() != 2) {
      std::printf("the service is not ours or the phonebook is unreadable (error %d)\n", static_cast<int>(ras.LastError()));
      return 1;
    }
    ras.SetEntryName("Fast");

    for (int i = 0; i < kWarmUp; ++i) Cycle(ras, w);
    const Snapshot before = Snapshot::Take();
    const ULONGLONG t0 = GetTickCount64();
    int failed = 0;
    for (int i = 0; i < kCycles; ++i)
      if (!Cycle(ras, w)) ++failed;
    const ULONGLONG elapsed = GetTickCount64() - t0;
    const Snapshot after = Snapshot::Take();

    std::printf("cycles: %d (dial, connect, hang up), failed: %d\n", kCycles, failed);
    std::printf("time per cycle: %.2f ms\n", static_cast<double>(elapsed) / kCycles);
    std::printf("GDI objects: %ld -> %ld (change %+ld)\n", before.gdi, after.gdi, after.gdi - before.gdi);
    std::printf("USER objects: %ld -> %ld (change %+ld)\n", before.user, after.user, after.user - before.user);
    if (before.handles)
      std::printf("kernel handles: %lu -> %lu (change %+ld)\n", before.handles, after.handles,
                  static_cast<long>(after.handles) - static_cast<long>(before.handles));
    std::printf("heap in use: %lld bytes -> %lld bytes (change %+lld bytes)\n", before.heap, after.heap,
                after.heap - before.heap);
    std::printf("private bytes: %llu KiB -> %llu KiB (change %+lld KiB)\n",
                static_cast<unsigned long long>(before.privateBytes / 1024),
                static_cast<unsigned long long>(after.privateBytes / 1024),
                (static_cast<long long>(after.privateBytes) - static_cast<long long>(before.privateBytes)) / 1024);
    std::printf("working set: %llu KiB -> %llu KiB (change %+lld KiB)\n",
                static_cast<unsigned long long>(before.workingSet / 1024),
                static_cast<unsigned long long>(after.workingSet / 1024),
                (static_cast<long long>(after.workingSet) - static_cast<long long>(before.workingSet)) / 1024);
    if (failed) rc = 1;

    // One hang-up of a line that takes its time to close.
    ras.SetEntryName("Slow close");
    const int connects = w.connects;
    if (ras.Dial() == 0 && tsupport::PumpUntil([&] { return w.connects > connects; }, 5000)) {
      const double cpu0 = ThreadCpuMs();
      const ULONGLONG h0 = GetTickCount64();
      ras.HangUp();
      const ULONGLONG wall = GetTickCount64() - h0;
      std::printf("one hang-up (line closes after %lu ms): wall %llu ms, CPU %.1f ms\n", kSlowHangUpMs, wall,
                  ThreadCpuMs() - cpu0);
    } else {
      std::printf("one hang-up: the slow entry did not connect\n");
      rc = 1;
    }
  }
  DeleteFileA(pbk.c_str());
  DeleteFileA((dir + "\\bench.log").c_str());
  DeleteFileA((dir + "\\bench.log.old").c_str());
  RemoveDirectoryA(dir.c_str());
  return rc;
}

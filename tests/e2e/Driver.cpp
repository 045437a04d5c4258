#include "Driver.h"

#include <cstdio>

#include "Guards.h"
#include "TestFiles.h"

namespace e2e {

namespace {

bool Ours(HWND wnd) { return wnd && GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId(); }

// Queues the input; when it goes to this thread, handles messages until one of the two final
// messages has been handled, then what is left waiting.
void Send(INPUT* in, UINT n, bool ours, UINT last, UINT lastAlso) {
  SendInput(n, in, sizeof(INPUT));
  if (!ours) return;
  bool handled = false;
  PumpUntil([&] { return handled; }, 2000, [&](const MSG& m) { handled |= m.message == last || m.message == lastAlso; });
  Pump();
}

INPUT Mouse(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  return in;
}

}  // namespace

void MoveMouse(POINT p) {
  SetCursorPos(p.x, p.y);
  // A move of nothing through the input queue, so the window under the pointer hears of it.
  INPUT in = Mouse(MOUSEEVENTF_MOVE);
  Send(&in, 1, Ours(WindowFromPoint(p)), WM_MOUSEMOVE, WM_NCMOUSEMOVE);
}

void ClickAt(POINT p) {
  SetCursorPos(p.x, p.y);
  INPUT in[3] = {Mouse(MOUSEEVENTF_MOVE), Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)};
  Send(in, 3, Ours(WindowFromPoint(p)), WM_LBUTTONUP, WM_NCLBUTTONUP);
}

void TypeText(const std::string& text) {
  for (char ch : text) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = static_cast<unsigned char>(ch);
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    Send(in, 2, Ours(GetForegroundWindow()), WM_KEYUP, WM_SYSKEYUP);
  }
}

void PressKey(WORD vk, bool alt) {
  INPUT in[4] = {};
  UINT n = 0;
  auto key = [&](WORD k, bool up) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = k;
    in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++n;
  };
  if (alt) key(VK_MENU, false);
  key(vk, false);
  key(vk, true);
  if (alt) key(VK_MENU, true);
  Send(in, n, Ours(GetForegroundWindow()), WM_KEYUP, WM_SYSKEYUP);
}

static RECT WindowRectOf(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

Screenshot::Screenshot(HWND wnd) : Screenshot(WindowRectOf(wnd)) {}

Screenshot::Screenshot(const RECT& r) {
  w_ = r.right - r.left;
  h_ = r.bottom - r.top;
  stride_ = (w_ * 3 + 3) & ~3;
  // Under Wine what this thread painted reaches the screen when it waits for messages.
  MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
  gui::TScreenDC screen;
  gui::TMemoryDC mem(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w_, h_, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  gui::TBitmapHandle bmp(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bits) return;
  gui::TSelectObject selected(mem, bmp);
  BitBlt(mem, 0, 0, w_, h_, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  pixels_.assign(static_cast<const char*>(bits), static_cast<size_t>(stride_) * static_cast<size_t>(h_));
}

COLORREF Screenshot::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_ || pixels_.empty()) return CLR_INVALID;
  const auto* p = reinterpret_cast<const unsigned char*>(pixels_.data()) + (h_ - 1 - y) * stride_ + x * 3;
  return RGB(p[2], p[1], p[0]);
}

int Screenshot::Count(const RECT& r, COLORREF c) const {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
  return n;
}

void Screenshot::Save(const std::string& path) const {
  if (size_t slash = path.find_last_of("\\/"); slash != std::string::npos)
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  BITMAPINFOHEADER ih{sizeof ih, w_, h_, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof ih + pixels_.size()), 0, 0,
                      static_cast<DWORD>(sizeof fh + sizeof ih)};
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(pixels_.data(), pixels_.size(), 1, f);
    std::fclose(f);
  }
}

OtherWindow::OtherWindow() {
  STARTUPINFOA si{sizeof si};
  char cmd[] = "notepad.exe";
  if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return;
  wnd_ = WaitForWindow("Notepad", nullptr, 10000);
  if (!wnd_) return;
  SetWindowPos(wnd_, HWND_TOP, 0, GetSystemMetrics(SM_CYSCREEN) - 200, 240, 200, SWP_SHOWWINDOW);
  BringToFront(wnd_);
}

OtherWindow::~OtherWindow() {
  if (!pi_.hProcess) return;
  if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 0);
  WaitForSingleObject(pi_.hProcess, 5000);
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

std::string TempPath(const std::string& name) {
  static std::string dir = [] {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    std::string d = std::string(base) + "tess-e2e-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(d.c_str(), nullptr);
    return d + "\\";
  }();
  return dir + name;
}

void WriteFile(const std::string& path, const std::string& text) { tsupport::WriteTextFile(path, text); }

std::string ReadFile(const std::string& path) { return tsupport::ReadTextFile(path); }

BoxCloser::BoxCloser(const std::string& title, DWORD timeoutMs) : title_(title), timeout_(timeoutMs) {
  thread_ = CreateThread(nullptr, 0, &BoxCloser::Run, this, 0, nullptr);
}

BoxCloser::~BoxCloser() { Join(); }

std::string BoxCloser::Join() {
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return text_;
}

DWORD WINAPI BoxCloser::Run(void* p) {
  auto* self = static_cast<BoxCloser*>(p);
  HWND box = WaitForWindow("#32770", self->title_.c_str(), self->timeout_);
  if (!box) return 0;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32], text[256];
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) continue;
    GetWindowTextA(c, text, sizeof text);
    self->text_ += text;
  }
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return 0;
}

}  // namespace e2e

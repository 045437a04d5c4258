// Drives windows as a person does: real mouse clicks and typing through the platform's input
// queue, and waiting while messages are handled.
#pragma once

#include <windows.h>

#include <string>

#include "TestWindows.h"

namespace e2e {

using tsupport::BringToFront;
using tsupport::Pump;
using tsupport::PumpFor;
using tsupport::PumpUntil;
using tsupport::WaitForWindow;

// Input into a window of this thread returns once its last message has been handled (and what
// that queued too); input into another program's window returns at once, and the caller waits
// for what it does.
void MoveMouse(POINT screen);
void ClickAt(POINT screen);
void TypeText(const std::string& text);
void PressKey(WORD vk, bool alt = false);

// The part of the screen a window covers, as the screen shows it now.
class Screenshot {
 public:
  explicit Screenshot(HWND wnd);
  // A rectangle of the screen.
  explicit Screenshot(const RECT& screen);
  Screenshot(const Screenshot&) = delete;
  Screenshot& operator=(const Screenshot&) = delete;
  int Width() const { return w_; }
  int Height() const { return h_; }
  // (0, 0) is the window's (or the rectangle's) top-left corner.
  COLORREF At(int x, int y) const;
  bool operator==(const Screenshot& o) const { return w_ == o.w_ && h_ == o.h_ && pixels_ == o.pixels_; }
  // Pixels of the colour in r.
  int Count(const RECT& r, COLORREF c) const;
  // A 24-bit bitmap file; the folder is made when missing.
  void Save(const std::string& path) const;

 private:
  int w_ = 0, h_ = 0, stride_ = 0;
  std::string pixels_;  // bottom-up rows of blue, green, red
};

// Starts Wine's notepad and brings it to the front in the screen's bottom-left corner, away from
// windows in the middle: another active window. Ends it when it goes.
class OtherWindow {
 public:
  OtherWindow();
  ~OtherWindow();
  HWND Handle() const { return wnd_; }

 private:
  PROCESS_INFORMATION pi_{};
  HWND wnd_ = nullptr;
};

// A file in a fresh temporary folder of the test's own.
std::string TempPath(const std::string& name);
void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);

// Closes the first window with this title that appears within the time (a message box), after
// collecting the text of its static controls. Runs on its own thread; Join waits for it.
class BoxCloser {
 public:
  BoxCloser(const std::string& title, DWORD timeoutMs);
  ~BoxCloser();
  // The box's text, or empty when no box appeared.
  std::string Join();

 private:
  HANDLE thread_ = nullptr;
  std::string title_;
  DWORD timeout_;
  std::string text_;
  static DWORD WINAPI Run(void* self);
};

}  // namespace e2e

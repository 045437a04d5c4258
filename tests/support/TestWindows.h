// What the Windows test programs share for windows and time: handling this thread's messages
// until something holds (within a time limit), the system's colours, a plain window, and an
// application with a form.
#pragma once

#include <windows.h>

#include <functional>

#include "Forms.h"

namespace tsupport {

// Every pump here handles this thread's messages one at a time, as a message loop does
// (PeekMessage, TranslateMessage, DispatchMessage; not through the application's own key
// handling: tests of shortcuts and Tab call its ProcessMessages), and calls the observer set
// with SetPumpObserver after each.
using TMessageObserver = std::function<void(const MSG&)>;

// Handles the messages waiting now, then returns.
void Pump();
// Checks done() first and after every message (each handled message is shown to `each` before
// that); while nothing is waiting, waits for new messages in slices of at most 10 ms, checking
// done() after each. True as soon as done() holds; false when timeoutMs have passed without it.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const TMessageObserver& each = nullptr);
// Handles messages for ms milliseconds: for a pause in which something must not happen.
void PumpFor(DWORD ms);
// Shown each message after it has been handled, by every pump, until cleared (nullptr).
void SetPumpObserver(TMessageObserver observer);

// Brings the window to the front and handles messages until it is the foreground window and
// nothing is left waiting (another program's window: until it is in front). False when that
// does not come within a second.
bool BringToFront(HWND wnd);
// A shown top-level window of the class (and title, unless null) that exists or appears within
// the time, of the given process unless pid is 0; null when none does.
HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs, DWORD pid = 0);

inline COLORREF Sys(int index) { return GetSysColor(index); }

// A hidden top-level window of a class of its own for proc (the default procedure when none is
// given); destroyed with this object.
class TPlainWindow {
 public:
  explicit TPlainWindow(WNDPROC proc = DefWindowProcA);
  ~TPlainWindow();
  TPlainWindow(const TPlainWindow&) = delete;
  TPlainWindow& operator=(const TPlainWindow&) = delete;
  HWND Handle() const { return wnd_; }
  operator HWND() const { return wnd_; }

 private:
  HWND wnd_;
};

// An application with one form of its own; the form goes with the application when this goes
// (or earlier, when a test frees it). Bounds given are the form's left, top, width and height.
struct TTestForm {
  TTestForm() = default;
  TTestForm(int left, int top, int width, int height) { form->SetBounds(left, top, width, height); }
  // Shows the form and brings it to the front (BringToFront). The window is made first: shown
  // before it has one, a form stays hidden when it gets it.
  void Show() {
    form->HandleNeeded();
    form->Show();
    BringToFront(form->Handle());
  }

  gui::TApplication app;
  gui::TForm* form = new gui::TForm(&app);
};

}  // namespace tsupport

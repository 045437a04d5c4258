// Drives windows as a person does: real mouse clicks and typing through the platform's input
// queue, and waiting while messages are handled.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

// Handles this thread's messages one at a time until done() holds or the time is up; after each
// message, watch() sees the state (so no intermediate state is missed). True when done.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs,
               const std::function<void()>& watch = nullptr);
void PumpFor(DWORD ms);
// Called after every message any pump here handles (clicks and typing pump too), until cleared.
void SetObserver(std::function<void()> observer);

void ClickAt(POINT screen);
void TypeText(const std::string& text);
void PressKey(WORD vk, bool alt = false);

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

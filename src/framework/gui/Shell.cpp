#include "Shell.h"

#include "SystemLibrary.h"

namespace gui {

namespace {

// The shell library, loaded once on first use.
HMODULE ShellLibrary() {
  static const HMODULE shell = LoadSystemLibrary("shell32.dll");
  return shell;
}

// The named function of the shell library; null when either is missing.
template <class TCall>
TCall ShellFunction(const char* name) {
  return LibraryFunction<TCall>(ShellLibrary(), name);
}

}  // namespace

HINSTANCE CallShellExecute(HWND parent, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show) {
  using TCall = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  static const TCall call = ShellFunction<TCall>("ShellExecuteA");
  return call ? call(parent, verb, file, parameters, directory, show) : nullptr;
}

int CallShellAbout(HWND parent, const char* title, const char* text, HICON icon) {
  using TCall = INT(WINAPI*)(HWND, LPCSTR, LPCSTR, HICON);
  static const TCall call = ShellFunction<TCall>("ShellAboutA");
  return call ? call(parent, title, text, icon) : 0;
}

}  // namespace gui

// The shell's calls, with the shell library loaded the first time one is made instead of with the
// program: only a click on a link or the About box needs it, and loading it at start-up costs
// time for nothing. It comes from the system folder (SystemLibrary.h) and, once loaded, stays.
// Without it each call fails as the platform's own does when it cannot run.
#pragma once

#include <windows.h>

namespace gui {

// ShellExecuteA; the error value 0 (out of resources) when the library is missing.
HINSTANCE CallShellExecute(HWND parent, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show);
// ShellAboutA; 0 when the library is missing.
int CallShellAbout(HWND parent, const char* title, const char* text, HICON icon);

}  // namespace gui

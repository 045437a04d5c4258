// The version library's calls the reader makes, with the library bound from the system folder
// on first use rather than imported (gui::LoadSystemLibrary says why). Without the library each
// call fails as the platform's own does when it cannot read: 0, with ERROR_DLL_NOT_FOUND.
#pragma once

#include <windows.h>

namespace sysinfo::ver {

DWORD GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle);
BOOL GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data);
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length);
DWORD VerLanguageNameA(DWORD language, LPSTR name, DWORD size);

}  // namespace sysinfo::ver

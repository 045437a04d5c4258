// A do-nothing library that the end-to-end test lays beside the program under the names of the
// libraries the program uses, as someone who could drop files there would. Once loaded, it
// leaves an empty file named after itself with ".loaded" added and ends the process: the program
// would otherwise fail on the functions it lacks, and the platform's debugger, started for that,
// would keep the test runner's output open.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH + 8];
  DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TRUE;
  lstrcpyA(path + n, ".loaded");
  HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  TerminateProcess(GetCurrentProcess(), 3);
  return TRUE;
}

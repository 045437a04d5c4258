// The main block, and the program's entry before it.
#include <windows.h>

#include <delayimp.h>

#include "Program.h"
#include "SystemLibrary.h"

extern "C" {
// The runtime's own entry: it starts the runtime, runs the static constructors and calls WinMain.
int WinMainCRTStartup();
// The runtime's binder of one delay-imported function: loads the library when it is not yet, and
// writes the function's address into its slot.
FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr library, FARPROC* slot);
// The delay-import libraries' descriptors (src/app/CMakeLists.txt makes the libraries), by their
// symbols as they are: the 32-bit compiler would otherwise add its underscore.
extern const ImgDelayDescr userDelayed asm("__DELAY_IMPORT_DESCRIPTOR_libuser32_a");
extern const ImgDelayDescr gdiDelayed asm("__DELAY_IMPORT_DESCRIPTOR_libgdi32_a");
extern IMAGE_DOS_HEADER __ImageBase;
}

namespace {

// The library from the system folder, and every function the program uses from it bound now as
// the loader binds an import, so that the program calls them, and hands them on (a class's window
// procedure), at their real addresses. The runtime's binder finds the library already loaded.
void BindAll(const ImgDelayDescr& library) {
  auto* base = reinterpret_cast<BYTE*>(&__ImageBase);
  auto* module = reinterpret_cast<HMODULE*>(base + library.rvaHmod);
  if (!*module) *module = gui::LoadSystemLibrary(reinterpret_cast<const char*>(base + library.rvaDLLName));
  auto* slot = reinterpret_cast<FARPROC*>(base + library.rvaIAT);
  for (auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library.rvaINT); name->u1.AddressOfData;
       ++name, ++slot)
    __delayLoadHelper2(&library, slot);
}

}  // namespace

// The entry the linker names (CMakeLists.txt). The loader has bound only the imports of the
// platform's known libraries (kernel, registry, runtime), which it never looks for beside a
// program. Here, before the runtime and any static constructor run, the library search is
// restricted to the system folder, so that nothing the platform or the runtime loads on the
// program's behalf, nor any library's own imports, can come from the program's folder or the
// current one. Then the window and drawing libraries, linked as delay imports, are bound. Every
// other library is loaded from the system folder on first use (gui::LoadSystemLibrary).
#ifdef __i386__
#define TESS_ENTRY_ALIGN __attribute__((force_align_arg_pointer))  // the platform aligns to 4 bytes only
#else
#define TESS_ENTRY_ALIGN
#endif
extern "C" TESS_ENTRY_ALIGN int TessalineEntry() {
  gui::RestrictLibrarySearch();
  BindAll(gdiDelayed);
  BindAll(userDelayed);
  return WinMainCRTStartup();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return tess::RunProgram(); }

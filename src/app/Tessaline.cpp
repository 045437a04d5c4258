// The main block.
#include <windows.h>

#include "Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return tess::RunProgram(); }

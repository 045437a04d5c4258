// The program as a whole: its units in the order they need each other, then the application
// with its title, the main window from its form resource and the message loop.
#pragma once

#include <span>

#include "rtl/Units.h"

namespace tess {

// The units' start-up steps in order: the three families' string tables (each its message table
// first), the bitmap family's cursors, the entry family's international settings, the two
// attached-label classes. Their exit steps run last first.
std::span<const rtl::TUnit> ProgramUnits();

// What the main block runs: the units, the application titled "Tessaline", Form1 from its form
// resource (its create handler fills the entry list), the message loop until the window closes;
// then the window and its components go, and the units' exit steps run. The exit code.
int RunProgram();

}  // namespace tess

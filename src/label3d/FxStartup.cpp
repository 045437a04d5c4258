// Runs the family's start-up before main, for test programs of the family alone (the program
// starts its units in its own order, src/app/Program.cpp).
#include "label3d/FxBase.h"

namespace {

struct Startup {
  Startup() { fx::InitializeLabelFamily(); }
} startup;

}  // namespace

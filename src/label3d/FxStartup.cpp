// Runs the family's start-up before main. An object library, so a program that carries the
// family also starts it.
#include "label3d/FxBase.h"

namespace {

struct Startup {
  Startup() { fx::InitializeLabelFamily(); }
} startup;

}  // namespace

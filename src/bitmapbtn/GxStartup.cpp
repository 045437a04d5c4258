// The family's start-up before main, for test programs of the family alone (the program starts
// its units in its own order, src/app/Program.cpp).
#include "bitmapbtn/GxObj.h"

namespace {

struct Startup {
  Startup() { bitmapbtn::LoadFamilyCursors(); }
} startup;

}  // namespace

// Runs the family's start-up before main and its shutdown after it, for test programs of the
// family alone (the program starts its units in its own order, src/app/Program.cpp).
#include "entry/EcIntl.h"

namespace {

struct Startup {
  Startup() { ec::InitializeEntryFamily(); }
  ~Startup() { ec::FinalizeEntryFamily(); }
} startup;

}  // namespace

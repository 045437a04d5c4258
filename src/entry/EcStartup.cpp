// Runs the family's start-up before main and its shutdown after it. An object library, so a
// program that carries the family also starts it.
#include "entry/EcIntl.h"

namespace {

struct Startup {
  Startup() { ec::InitializeEntryFamily(); }
  ~Startup() { ec::FinalizeEntryFamily(); }
} startup;

}  // namespace

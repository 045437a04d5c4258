// Opens the families' string tables before main and closes them after it. It sits in the same
// object library as the tables, so a program that carries the tables also opens them.
// The counters in strres::Initialize and Finalize let the program nest calls of its own. A table
// that cannot be opened here is a fault of the build; its error ends the program at start-up.
#include "strres/StringResource.h"

namespace {

struct Startup {
  Startup() { strres::Initialize(GetModuleHandleA(nullptr)); }
  ~Startup() { strres::Finalize(); }
} startup;

}  // namespace

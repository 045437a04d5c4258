// Opens the families' string tables before main and closes them after it, for test programs of
// the families alone (the program opens them in its own start-up order, src/app/Program.cpp).
// The counters in strres::Initialize and Finalize let a test nest calls of its own.
#include "strres/StringResource.h"

namespace {

struct Startup {
  Startup() { strres::Initialize(GetModuleHandleA(nullptr)); }
  ~Startup() { strres::Finalize(); }
} startup;

}  // namespace

#include "entry/EcBeep.h"

namespace ec {

namespace {

TMessageBeepSource g_beep = nullptr;

}  // namespace

void SetMessageBeepSource(TMessageBeepSource source) { g_beep = source; }

void EcMessageBeep(UINT type) {
  if (g_beep)
    g_beep(type);
  else
    MessageBeep(type);
}

}  // namespace ec

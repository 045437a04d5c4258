// The platform's default beep, as the family's controls answer wrong input. Tests count the
// beeps through the seam instead of hearing them.
#pragma once

#include <windows.h>

namespace ec {

using TMessageBeepSource = BOOL (*)(UINT type);
// Null restores the platform's MessageBeep.
void SetMessageBeepSource(TMessageBeepSource source);
void EcMessageBeep(UINT type);

}  // namespace ec

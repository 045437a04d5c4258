// Texts for the codes the service returns or posts.
#pragma once

#include <windows.h>

namespace ras {

// The text of a code, or null when the service has none (the caller then falls back to the
// system's message table).
const char* error_text(DWORD code);

}  // namespace ras

// The records of the three built-in command tables, in their order. Portable: no <windows.h>.
#pragma once

#include <span>

#include "entry/portable/EcCmdRecord.h"

namespace ec {

enum class TBuiltinTable { Default, WordStar, Grid };

std::span<const CommandRecord> BuiltinRecords(TBuiltinTable table);

}  // namespace ec

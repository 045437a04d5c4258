// The text file of one command table: the table's name on line 1, then one line per record
// with the four key bytes in fields of 4 characters and the command in a field of 6, CR LF line
// ends. Portable: no <windows.h>.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "entry/portable/EcCmdRecord.h"

namespace ec {

struct TCommandTableText {
  std::string Name;
  std::vector<CommandRecord> Records;
};

std::string FormatCommandTableText(const std::string& name, const std::vector<CommandRecord>& records);

// Raises rtl::EReadError, naming the line, when a record line does not start with five
// blank-separated decimal numbers that fit their fields (0-255 for a key byte, 0-65535 for the
// command). Whatever follows the fifth number on its line is ignored; blank lines are skipped;
// LF alone also ends a line.
TCommandTableText ParseCommandTableText(std::string_view text);

}  // namespace ec

// Fuzzes the command-table text reader: no read outside the input (ASan), only read errors as
// failures, and whatever it accepts is written and read back to the same table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "entry/portable/EcCmdText.h"
#include "rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  ec::TCommandTableText table;
  try {
    table = ec::ParseCommandTableText(text);
  } catch (const rtl::EReadError&) {
    return 0;
  }
  ec::TCommandTableText back = ec::ParseCommandTableText(ec::FormatCommandTableText(table.Name, table.Records));
  if (back.Name != table.Name || back.Records != table.Records) abort();
  return 0;
}

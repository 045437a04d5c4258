// Fuzzes the "ListItems" stream with the bitmap decoder behind it, as a bitmap list reads it: no
// read outside the input (ASan), nothing sized beyond what it holds (the RSS limit), only the
// stream's and the decoder's errors; the records written back read as the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bitmapbtn/GxListItems.h"
#include "rtl/BitmapFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);  // exactly sized
  std::vector<std::vector<uint8_t>> records;
  try {
    rtl::TReadOnlyMemoryStream s(bytes.data(), static_cast<long long>(bytes.size()));
    bitmapbtn::ReadListItems(s, [&records](rtl::TStream& record) {
      std::vector<uint8_t> b(static_cast<size_t>(record.Size()));
      record.ReadBuffer(b.data(), static_cast<long long>(b.size()));
      records.push_back(b);
      record.SetPosition(0);
      // An empty record is an empty bitmap; any other must decode.
      if (!b.empty()) rtl::ReadBitmapFile(record);
    });
  } catch (const rtl::EStreamError&) {  // EReadError among them
  } catch (const rtl::EInvalidGraphic&) {
  }

  size_t total = 0;
  for (const auto& r : records) total += r.size();
  if (total > size) abort();

  rtl::TMemoryStream out;
  bitmapbtn::WriteListItems(out, static_cast<int>(records.size()), [&records](int i, rtl::TStream& s) {
    s.WriteBuffer(records[i].data(), static_cast<long long>(records[i].size()));
  });
  out.SetPosition(0);
  std::vector<std::vector<uint8_t>> again;
  bitmapbtn::ReadListItems(out, [&again](rtl::TStream& record) {
    std::vector<uint8_t> b(static_cast<size_t>(record.Size()));
    record.ReadBuffer(b.data(), static_cast<long long>(b.size()));
    again.push_back(b);
  });
  if (again != records) abort();
  return 0;
}

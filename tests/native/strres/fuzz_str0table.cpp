// Fuzzes the STR0 view with arbitrary images: no read outside the image (ASan); on images that
// pass the loader's check every text reads; on images that pass the full check every entry is
// found by its id with its own text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "strres/Str0Table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly-sized copy: the fuzzer's own buffer may have slack behind it.
  std::vector<uint8_t> image(data, data + size);
  strres::Str0Table table(image.data(), image.size());

  // Lookups must be safe whether or not the full check passes.
  for (int32_t id : {0, 1, 5, 39, 30172, -1, INT32_MAX, INT32_MIN}) (void)table.Find(id);
  if (table.HeaderStatus() == strres::Str0Status::kOk && table.Count() > 0) {
    (void)table.Find(table.EntryAt(0).id);
    (void)table.Find(table.EntryAt(table.Count() - 1).id);
  }

  // A table that passes the loader's check yields every text it indexes.
  if (table.CheckBounds() != strres::Str0Status::kOk) return 0;
  for (uint32_t i = 0; i < table.Count(); ++i) {
    strres::Str0Entry e = table.EntryAt(i);
    auto text = table.Text(e);
    if (!text || text->size() != e.length) abort();
  }

  if (table.Validate() != strres::Str0Status::kOk) return 0;
  for (uint32_t i = 0; i < table.Count(); ++i) {
    strres::Str0Entry e = table.EntryAt(i);
    auto found = table.FindEntry(e.id);
    auto text = table.Text(e);
    if (!found || found->offset != e.offset || found->length != e.length || !text ||
        text->size() != e.length)
      abort();
  }
  return 0;
}

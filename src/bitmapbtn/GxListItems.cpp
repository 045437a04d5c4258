#include "GxListItems.h"

#include <cstdint>
#include <cstring>

namespace bitmapbtn {

void ReadListItems(rtl::TStream& stream, const std::function<void(rtl::TStream& record)>& take) {
  char magic[4];
  stream.ReadBuffer(magic, sizeof magic);
  if (std::memcmp(magic, kListItemsMagic, sizeof magic) != 0) throw rtl::EStreamError(kInvalidListItems);
  const int32_t n = stream.ReadValue<int32_t>();
  rtl::TMemoryStream record;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t length = stream.ReadValue<int32_t>();
    // A damaged length cannot ask for gigabytes: it is measured against what is left first.
    if (length < 0 || length > stream.Size() - stream.Position()) throw rtl::EReadError(rtl::msg::kReadError);
    // The decoder sees exactly this record's bytes.
    record.Clear();
    if (length > 0) record.CopyFrom(stream, length);
    record.SetPosition(0);
    take(record);
  }
}

void WriteListItems(rtl::TStream& stream, int count, const std::function<void(int index, rtl::TStream& out)>& save) {
  stream.WriteBuffer(kListItemsMagic, sizeof kListItemsMagic);
  stream.WriteValue<int32_t>(count);
  for (int i = 0; i < count; ++i) {
    const long long start = stream.Position();
    stream.WriteValue<int32_t>(0);
    save(i, stream);
    const long long end = stream.Position();
    stream.SetPosition(start);
    stream.WriteValue<int32_t>(static_cast<int32_t>(end - start - 4));
    stream.SetPosition(end);
  }
}

}  // namespace bitmapbtn

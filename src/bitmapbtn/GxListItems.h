// The "ListItems" stream of a bitmap list: "MBML", a signed 32-bit count N, then N records of a
// signed 32-bit length L and L bytes of a bitmap file, all little-endian. Portable (no platform
// header), so the native build tests and fuzzes it.
#pragma once

#include <functional>

#include "rtl/Streams.h"

namespace bitmapbtn {

inline constexpr char kListItemsMagic[4] = {'M', 'B', 'M', 'L'};
inline constexpr const char* kInvalidListItems = "Invalid BitmapList stream";

// Reads the stream from its position: the magic (anything else raises EStreamError "Invalid
// BitmapList stream"), the count (0 or less: no record), then each record, handed to take as a
// stream over exactly its bytes, positioned at 0. A stream shorter than a count, a length or a
// record, or a negative length, raises EReadError "Stream read error"; a length beyond what is
// left is refused before anything is sized for it. What take raises passes on; the records
// before a failure have been taken.
void ReadListItems(rtl::TStream& stream, const std::function<void(rtl::TStream& record)>& take);

// Writes the magic and count, then for each index the length save(index, stream) wrote and the
// bytes themselves. The stream must support seeking.
void WriteListItems(rtl::TStream& stream, int count, const std::function<void(int index, rtl::TStream& out)>& save);

}  // namespace bitmapbtn

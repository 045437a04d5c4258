// The "STR0" packed string table: a read-only view that checks every offset it follows, and the
// writer that the string-table compiler uses. Portable: no platform headers.
//
// Layout (all integers 32-bit little-endian, offsets from the first byte of the image):
//   "STR0" | count N | N index entries {id, text offset, text length in UTF-16 units} | texts
// The index is sorted by id, strictly ascending as signed 32-bit values; the texts are UTF-16LE
// without terminators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace strres {

inline constexpr size_t kStr0HeaderSize = 8;
inline constexpr size_t kStr0EntrySize = 12;

enum class Str0Status {
  kOk,
  kTruncated,     // shorter than the header
  kBadMagic,      // does not start with "STR0"
  kIndexOutside,  // the index runs past the end of the image
  kTextOutside,   // a text runs past the end of the image
  kTextMisplaced, // a text overlaps the index or starts at an odd offset
  kUnsorted,      // ids not strictly ascending
};

const char* Str0StatusText(Str0Status status);

struct Str0Entry {
  int32_t id;
  uint32_t offset;  // byte offset of the text in the image
  uint32_t length;  // in UTF-16 code units
};

// A view over an image owned by the caller. Construction checks only the header (O(1)), so a
// lookup costs O(log N). No call ever reads outside [data, data + size): a view whose header is
// bad is empty, and a found entry whose text runs past the end yields no text. What else an
// image gets wrong (ids out of order or repeated, texts at odd offsets or over the index) is
// read as it stands: the binary search then finds what it finds.
class Str0Table {
 public:
  Str0Table(const void* data, size_t size);

  // The header check's result (kOk, kTruncated, kBadMagic or kIndexOutside).
  Str0Status HeaderStatus() const { return header_; }
  // What reading needs: the header, and every text inside the image.
  Str0Status CheckBounds() const;
  // What the writer produces: CheckBounds, every text in the text pool at an even offset, and
  // ids strictly ascending.
  Str0Status Validate() const;

  uint32_t Count() const { return count_; }
  Str0Entry EntryAt(uint32_t index) const;

  // Binary search over the index; relies on its order only.
  std::optional<Str0Entry> FindEntry(int32_t id) const;
  // The entry's text; nullopt when it runs past the end of the image.
  std::optional<std::u16string> Text(const Str0Entry& entry) const;
  // FindEntry followed by Text.
  std::optional<std::u16string> Find(int32_t id) const;

 private:
  uint32_t ReadU32(size_t offset) const;
  bool TextInside(const Str0Entry& entry) const;
  bool TextInPool(const Str0Entry& entry) const;

  const unsigned char* data_;
  size_t size_;
  uint32_t count_ = 0;
  Str0Status header_;
};

struct Str0SourceEntry {
  int32_t id;
  std::u16string text;
};

// Builds an image: index in the given order, texts back to back in the same order, no padding.
// Throws std::invalid_argument when the ids are not strictly ascending, std::length_error when
// the image would not fit 32-bit offsets.
std::vector<unsigned char> BuildStr0Table(const std::vector<Str0SourceEntry>& entries);

}  // namespace strres

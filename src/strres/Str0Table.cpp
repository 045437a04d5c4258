#include "Str0Table.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace strres {

namespace {

constexpr unsigned char kMagic[4] = {'S', 'T', 'R', '0'};

void PutU32(std::vector<unsigned char>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

const char* Str0StatusText(Str0Status status) {
  switch (status) {
    case Str0Status::kOk:
      return "valid";
    case Str0Status::kTruncated:
      return "shorter than its header";
    case Str0Status::kBadMagic:
      return "does not start with STR0";
    case Str0Status::kIndexOutside:
      return "index runs past the end";
    case Str0Status::kTextOutside:
      return "a text runs past the end";
    case Str0Status::kTextMisplaced:
      return "a text overlaps the index or starts at an odd offset";
    case Str0Status::kUnsorted:
      return "ids not strictly ascending";
  }
  return "unknown";
}

Str0Table::Str0Table(const void* data, size_t size)
    : data_(static_cast<const unsigned char*>(data)), size_(data ? size : 0) {
  if (size_ < kStr0HeaderSize) {
    header_ = Str0Status::kTruncated;
  } else if (std::memcmp(data_, kMagic, sizeof kMagic) != 0) {
    header_ = Str0Status::kBadMagic;
  } else if (ReadU32(4) > (size_ - kStr0HeaderSize) / kStr0EntrySize) {
    // Compared by division: 12 * N can overflow 32 bits.
    header_ = Str0Status::kIndexOutside;
  } else {
    count_ = ReadU32(4);
    header_ = Str0Status::kOk;
  }
}

uint32_t Str0Table::ReadU32(size_t offset) const {
  const unsigned char* p = data_ + offset;
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

Str0Entry Str0Table::EntryAt(uint32_t index) const {
  if (index >= count_) throw std::out_of_range("STR0 index");
  size_t at = kStr0HeaderSize + kStr0EntrySize * static_cast<size_t>(index);
  return Str0Entry{static_cast<int32_t>(ReadU32(at)), ReadU32(at + 4), ReadU32(at + 8)};
}

bool Str0Table::TextInside(const Str0Entry& entry) const {
  // Compared without sums, which could wrap.
  if (entry.offset > size_) return false;
  return static_cast<uint64_t>(entry.length) * 2 <= size_ - entry.offset;
}

bool Str0Table::TextInPool(const Str0Entry& entry) const {
  size_t pool = kStr0HeaderSize + kStr0EntrySize * static_cast<size_t>(count_);
  return entry.offset >= pool && entry.offset % 2 == 0;
}

Str0Status Str0Table::CheckBounds() const {
  if (header_ != Str0Status::kOk) return header_;
  for (uint32_t i = 0; i < count_; ++i)
    if (!TextInside(EntryAt(i))) return Str0Status::kTextOutside;
  return Str0Status::kOk;
}

Str0Status Str0Table::Validate() const {
  if (Str0Status bounds = CheckBounds(); bounds != Str0Status::kOk) return bounds;
  for (uint32_t i = 0; i < count_; ++i) {
    Str0Entry e = EntryAt(i);
    if (!TextInPool(e)) return Str0Status::kTextMisplaced;
    if (i > 0 && EntryAt(i - 1).id >= e.id) return Str0Status::kUnsorted;
  }
  return Str0Status::kOk;
}

std::optional<Str0Entry> Str0Table::FindEntry(int32_t id) const {
  int64_t lo = 0, hi = static_cast<int64_t>(count_) - 1;
  while (hi >= lo) {
    int64_t mid = (lo + hi) >> 1;
    Str0Entry e = EntryAt(static_cast<uint32_t>(mid));
    if (e.id == id) return e;
    if (e.id < id)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  return std::nullopt;
}

std::optional<std::u16string> Str0Table::Text(const Str0Entry& entry) const {
  if (!TextInside(entry)) return std::nullopt;
  std::u16string text(entry.length, u'\0');
  const unsigned char* p = data_ + entry.offset;
  for (uint32_t i = 0; i < entry.length; ++i)
    text[i] = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
  return text;
}

std::optional<std::u16string> Str0Table::Find(int32_t id) const {
  std::optional<Str0Entry> e = FindEntry(id);
  if (!e) return std::nullopt;
  return Text(*e);
}

std::vector<unsigned char> BuildStr0Table(const std::vector<Str0SourceEntry>& entries) {
  uint64_t size = kStr0HeaderSize + kStr0EntrySize * static_cast<uint64_t>(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0 && entries[i - 1].id >= entries[i].id)
      throw std::invalid_argument("ids must be strictly ascending");
    size += 2 * static_cast<uint64_t>(entries[i].text.size());
  }
  if (size > std::numeric_limits<uint32_t>::max()) throw std::length_error("table too large");

  std::vector<unsigned char> out(static_cast<size_t>(size));
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  PutU32(out, 4, static_cast<uint32_t>(entries.size()));
  size_t at = kStr0HeaderSize;
  size_t text = kStr0HeaderSize + kStr0EntrySize * entries.size();
  for (const Str0SourceEntry& e : entries) {
    PutU32(out, at, static_cast<uint32_t>(e.id));
    PutU32(out, at + 4, static_cast<uint32_t>(text));
    PutU32(out, at + 8, static_cast<uint32_t>(e.text.size()));
    at += kStr0EntrySize;
    for (char16_t unit : e.text) {
      out[text++] = static_cast<unsigned char>(unit & 0xFF);
      out[text++] = static_cast<unsigned char>(unit >> 8);
    }
  }
  return out;
}

}  // namespace strres

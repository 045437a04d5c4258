#include "FreedMemory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace tsupport {

namespace {

constexpr unsigned char kFreed = 0xFD;
constexpr size_t kMagic = 0x7E55A11CE0F1D0C5ull & ~size_t{0};

// Each block carries its size in front, so that a freed one can be filled; 16 bytes keep the
// block aligned as operator new promises.
struct alignas(16) THeader {
  size_t size;
  size_t magic;
};

// The freed blocks kept while a watch is open, in a list of the watch's own (plain malloc, so
// keeping one never calls operator new).
struct TKept {
  THeader* block;
  TKept* next;
};
TKept* g_kept = nullptr;
std::atomic<int> g_watches{0};
size_t g_freed = 0;
std::atomic_flag g_keeping = ATOMIC_FLAG_INIT;  // other threads of the program free memory too

void* Allocate(size_t size) {
  auto* h = static_cast<THeader*>(std::malloc(sizeof(THeader) + (size ? size : 1)));
  if (!h) return nullptr;
  h->size = size;
  h->magic = kMagic;
  return h + 1;
}

void Release(void* p) noexcept {
  if (!p) return;
  THeader* h = static_cast<THeader*>(p) - 1;
  if (h->magic != kMagic) std::abort();  // not ours, or freed twice while kept
  if (g_watches == 0) {
    h->magic = 0;
    std::free(h);
    return;
  }
  std::memset(p, kFreed, h->size);
  h->magic = ~kMagic;
  if (auto* k = static_cast<TKept*>(std::malloc(sizeof(TKept)))) {
    while (g_keeping.test_and_set(std::memory_order_acquire)) {
    }
    *k = TKept{h, g_kept};
    g_kept = k;
    ++g_freed;
    g_keeping.clear(std::memory_order_release);
  }
}

}  // namespace

TFreedMemoryWatch::TFreedMemoryWatch() {
  if (g_watches++ == 0) g_freed = 0;
}

TFreedMemoryWatch::~TFreedMemoryWatch() {
  if (--g_watches > 0) return;
  while (g_kept) {
    TKept* k = g_kept;
    g_kept = k->next;
    std::free(k->block);
    std::free(k);
  }
}

size_t TFreedMemoryWatch::Freed() const { return g_freed; }

size_t TFreedMemoryWatch::WrittenAfterFree() const {
  size_t written = 0;
  for (TKept* k = g_kept; k; k = k->next) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(k->block + 1);
    for (size_t i = 0; i < k->block->size; ++i)
      if (bytes[i] != kFreed) {
        ++written;
        break;
      }
  }
  return written;
}

}  // namespace tsupport

// The program's allocation functions (the aligned forms stay the library's own).
void* operator new(size_t size) {
  if (void* p = tsupport::Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return tsupport::Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return tsupport::Allocate(size); }
void operator delete(void* p) noexcept { tsupport::Release(p); }
void operator delete[](void* p) noexcept { tsupport::Release(p); }
void operator delete(void* p, size_t) noexcept { tsupport::Release(p); }
void operator delete[](void* p, size_t) noexcept { tsupport::Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { tsupport::Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { tsupport::Release(p); }

#include "Thunks.h"

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace gui {

namespace {

// Stubs are carved from pages that are never writable and executable at once: a page is made
// read-write only while a stub in it is written (or wiped), then execute-read again.
constexpr size_t kSlot = 32;

class ThunkPool {
 public:
  unsigned char* Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.empty()) Grow();
    unsigned char* p = free_.back();
    free_.pop_back();
    return p;
  }
  void Give(unsigned char* p) {
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(p);
  }
  // Runs write with the slot's page writable (not executable), then makes it executable again;
  // false when the page could not be made writable (nothing was written).
  template <class F>
  bool Write(unsigned char* slot, F&& write) {
    std::lock_guard<std::mutex> lock(mutex_);
    unsigned char* page = PageOf(slot);
    DWORD old = 0;
    if (!VirtualProtect(page, pageSize_, PAGE_READWRITE, &old)) return false;
    write();
    VirtualProtect(page, pageSize_, PAGE_EXECUTE_READ, &old);
    FlushInstructionCache(GetCurrentProcess(), slot, kSlot);
    return true;
  }

 private:
  unsigned char* PageOf(unsigned char* p) const {
    return reinterpret_cast<unsigned char*>(reinterpret_cast<uintptr_t>(p) & ~(static_cast<uintptr_t>(pageSize_) - 1));
  }
  void Grow() {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    pageSize_ = si.dwPageSize;
    auto* page = static_cast<unsigned char*>(VirtualAlloc(nullptr, pageSize_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!page) throw std::bad_alloc();
    std::memset(page, 0xCC, pageSize_);  // a call into a slot not yet written traps
    DWORD old = 0;
    VirtualProtect(page, pageSize_, PAGE_EXECUTE_READ, &old);
    for (size_t off = pageSize_; off >= kSlot; off -= kSlot) free_.push_back(page + off - kSlot);
  }
  std::mutex mutex_;
  std::vector<unsigned char*> free_;
  DWORD pageSize_ = 4096;
};

ThunkPool& Pool() {
  static ThunkPool pool;
  return pool;
}

}  // namespace

TWndProcThunk::TWndProcThunk(void* object, TThunkTarget target) : code_(Pool().Take()) { Retarget(object, target); }

void TWndProcThunk::Retarget(void* object, TThunkTarget target) {
  bool written = Pool().Write(code_, [&] {
    unsigned char* p = code_;
#if defined(_M_X64) || defined(__x86_64__)
    // mov rcx, object ; mov rax, target ; jmp rax   (rcx holds the first argument, the HWND)
    *p++ = 0x48; *p++ = 0xB9;
    std::memcpy(p, &object, 8); p += 8;
    *p++ = 0x48; *p++ = 0xB8;
    std::memcpy(p, &target, 8); p += 8;
    *p++ = 0xFF; *p++ = 0xE0;
#elif defined(_M_IX86) || defined(__i386__)
    // mov dword ptr [esp+4], object ; jmp target   (stdcall: the HWND is the first stack argument)
    *p++ = 0xC7; *p++ = 0x44; *p++ = 0x24; *p++ = 0x04;
    std::memcpy(p, &object, 4); p += 4;
    *p++ = 0xE9;
    auto rel = static_cast<int32_t>(reinterpret_cast<intptr_t>(target) - reinterpret_cast<intptr_t>(p + 4));
    std::memcpy(p, &rel, 4); p += 4;
#else
#error "window-procedure thunks need x86 or x86-64"
#endif
  });
  if (!written) throw std::bad_alloc();
}

TWndProcThunk::~TWndProcThunk() {
  // A stale call traps instead of running another object's code.
  Pool().Write(code_, [this] { std::memset(code_, 0xCC, kSlot); });
  Pool().Give(code_);
}

}  // namespace gui

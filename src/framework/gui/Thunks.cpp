#include "Thunks.h"

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace gui {

namespace {

// Stubs are carved from executable pages; freed slots are reused.
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

 private:
  void Grow() {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    auto* page = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, si.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!page) throw std::bad_alloc();
    for (size_t off = si.dwPageSize; off >= kSlot; off -= kSlot) free_.push_back(page + off - kSlot);
  }
  std::mutex mutex_;
  std::vector<unsigned char*> free_;
};

ThunkPool& Pool() {
  static ThunkPool pool;
  return pool;
}

}  // namespace

TWndProcThunk::TWndProcThunk(void* object, TThunkTarget target) : code_(Pool().Take()) { Retarget(object, target); }

void TWndProcThunk::Retarget(void* object, TThunkTarget target) {
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
  FlushInstructionCache(GetCurrentProcess(), code_, kSlot);
}

TWndProcThunk::~TWndProcThunk() {
  std::memset(code_, 0xCC, kSlot);  // a stale call traps instead of running another object's code
  Pool().Give(code_);
}

}  // namespace gui

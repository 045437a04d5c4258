#include "ExceptionHook.h"

#include <cstdio>
#include <stdexcept>

namespace gui {

static TExceptionHandler g_handler = nullptr;

void SetExceptionHandler(TExceptionHandler h) { g_handler = h; }

void HandleException(std::exception_ptr e) {
  if (g_handler) return g_handler(e);
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& x) {
    std::fprintf(stderr, "%s\n", x.what());
  } catch (...) {
    std::fprintf(stderr, "unknown exception\n");
  }
}

}  // namespace gui

// Where an exception that escapes a window procedure goes: never through the platform's own
// frames. The application object installs its handler; until then the message is printed.
#pragma once

#include <exception>

namespace gui {

using TExceptionHandler = void (*)(std::exception_ptr e);
void SetExceptionHandler(TExceptionHandler h);
void HandleException(std::exception_ptr e);

}  // namespace gui

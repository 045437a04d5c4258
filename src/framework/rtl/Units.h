// The program's units in an order the program states once, instead of the order in which the
// linker happens to place static objects. Each unit has a start-up step and, when it has something
// to undo, an exit step.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>

namespace rtl {

struct TUnit {
  const char* Name;
  void (*Initialize)();
  void (*Finalize)();  // null: nothing to undo
};

// Runs the start-up steps in the list's order when it is made, and the exit steps of the units
// started, last first, when it goes; an exit step that throws does not stop the others. A
// start-up step that throws ends the start-up: the units already started are finalised in
// reverse order and the error passes on.
class TUnitSequence {
 public:
  explicit TUnitSequence(std::span<const TUnit> units);
  ~TUnitSequence();
  TUnitSequence(const TUnitSequence&) = delete;
  TUnitSequence& operator=(const TUnitSequence&) = delete;

  size_t Started() const { return started_; }

 private:
  void FinalizeStarted();

  std::span<const TUnit> units_;
  size_t started_ = 0;
};

// Told each unit's name after its start-up step ("+Name") and before its exit step ("-Name"): a
// seam for tests that watch what the steps do. None by default.
using TUnitObserver = std::function<void(const std::string& step)>;
void SetUnitObserver(TUnitObserver observer);

}  // namespace rtl

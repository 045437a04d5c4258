#include "Units.h"

namespace rtl {

namespace {

TUnitObserver& Observer() {
  static TUnitObserver observer;
  return observer;
}

void Tell(char sign, const char* name) {
  if (Observer()) Observer()(sign + std::string(name));
}

}  // namespace

void SetUnitObserver(TUnitObserver observer) { Observer() = std::move(observer); }

TUnitSequence::TUnitSequence(std::span<const TUnit> units) : units_(units) {
  try {
    for (const TUnit& u : units_) {
      if (u.Initialize) u.Initialize();
      ++started_;
      Tell('+', u.Name);
    }
  } catch (...) {
    FinalizeStarted();
    throw;
  }
}

TUnitSequence::~TUnitSequence() { FinalizeStarted(); }

void TUnitSequence::FinalizeStarted() {
  while (started_ > 0) {
    const TUnit& u = units_[--started_];
    Tell('-', u.Name);
    try {
      if (u.Finalize) u.Finalize();
    } catch (...) {
      // An exit step that fails has nobody left to tell; the units before it still end.
    }
  }
}

}  // namespace rtl

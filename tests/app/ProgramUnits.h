// The program's units started for a whole test program, in the program's own order, as its main
// block starts them; their exit steps run when the test program ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "Program.h"

namespace tsupport {

class ProgramUnitsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { units_ = std::make_unique<rtl::TUnitSequence>(tess::ProgramUnits()); }
  void TearDown() override { units_.reset(); }

 private:
  std::unique_ptr<rtl::TUnitSequence> units_;
};

}  // namespace tsupport

// Placed once in a test program's sources.
#define TESS_START_PROGRAM_UNITS() \
  static ::testing::Environment* const tessProgramUnits = \
      ::testing::AddGlobalTestEnvironment(new tsupport::ProgramUnitsEnvironment)

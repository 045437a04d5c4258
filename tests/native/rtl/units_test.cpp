// The unit sequence: start-up in the stated order, exit steps last first, and a failed start-up
// undoing exactly what had started.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "rtl/Units.h"

namespace {

std::vector<std::string> g_log;
bool g_failB = false;

void InitA() { g_log.push_back("init A"); }
void FinA() { g_log.push_back("fin A"); }
void InitB() {
  if (g_failB) throw std::runtime_error("B cannot start");
  g_log.push_back("init B");
}
void InitC() { g_log.push_back("init C"); }
void FinC() {
  g_log.push_back("fin C");
  throw std::runtime_error("C's exit fails");
}

// A and C undo something, B only starts.
const rtl::TUnit kUnits[] = {{"A", InitA, FinA}, {"B", InitB, nullptr}, {"C", InitC, FinC}};

struct Units : ::testing::Test {
  void SetUp() override {
    g_log.clear();
    g_failB = false;
    rtl::SetUnitObserver([](const std::string& step) { g_log.push_back("seen " + step); });
  }
  void TearDown() override { rtl::SetUnitObserver(nullptr); }
};

}  // namespace

TEST_F(Units, StartInTheListsOrderAndEndLastFirst) {
  {
    rtl::TUnitSequence units(kUnits);
    EXPECT_EQ(units.Started(), 3u);
    EXPECT_EQ(g_log, (std::vector<std::string>{"init A", "seen +A", "init B", "seen +B", "init C", "seen +C"}));
    g_log.clear();
  }
  // C's failing exit step does not keep A's from running.
  EXPECT_EQ(g_log, (std::vector<std::string>{"seen -C", "fin C", "seen -B", "seen -A", "fin A"}));
}

TEST_F(Units, AFailedStartUpEndsTheUnitsStartedAndPassesTheErrorOn) {
  g_failB = true;
  EXPECT_THROW(rtl::TUnitSequence units(kUnits), std::runtime_error);
  EXPECT_EQ(g_log, (std::vector<std::string>{"init A", "seen +A", "seen -A", "fin A"}))
      << "B never started and C was never reached";
}

// Helpers shared by the string-table tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

// The message of the exception of type E that f raises; a test failure when it raises nothing.
template <class E, class F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  ADD_FAILURE() << "nothing raised";
  return {};
}

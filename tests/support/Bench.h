// What the benchmarks share, so every figure printed side by side is taken alike: the clock, the
// median, and batches of the compared operations taking turns (a change in the machine's load
// meets all of them).
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace tsupport {

// Seconds from the performance counter.
inline double Now() {
  static const LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Microseconds per call of each operation: the median of `batches` batches of `rounds` calls,
// the operations' batches taking turns. GDI's batch is flushed around each, so queued drawing
// is counted where it was asked for.
inline std::vector<double> MeasureInTurns(int rounds, const std::vector<std::function<void()>>& ops,
                                          int batches = 9) {
  std::vector<std::vector<double>> per(ops.size());
  for (int b = 0; b < batches; ++b)
    for (size_t k = 0; k < ops.size(); ++k) {
      GdiFlush();
      double start = Now();
      for (int i = 0; i < rounds; ++i) ops[k]();
      GdiFlush();
      per[k].push_back((Now() - start) * 1e6 / rounds);
    }
  std::vector<double> medians;
  for (auto& p : per) medians.push_back(Median(p));
  return medians;
}

}  // namespace tsupport

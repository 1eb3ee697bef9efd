// The benchmarks' one clock: how long a piece of work takes on a steady
// clock, and the best of several timings. The machine is shared with
// others, so the best run is the one least disturbed by them.
#pragma once

#include <algorithm>
#include <chrono>

namespace bench {

// Seconds that f takes.
template <typename F>
double Time(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The shortest of `runs` timings of f, in seconds.
template <typename F>
double Best(int runs, F&& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) best = std::min(best, Time(f));
  return best;
}

}  // namespace bench

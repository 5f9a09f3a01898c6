#pragma once
// Timing for the benchmark programs that time themselves (the Windows
// painting programs, where Google Benchmark is not built): the mean time of
// one call over repeated calls.
#include <chrono>
#include <functional>

namespace bench_timing {

// Calls Work Warmups times untimed, then again until at least MinSeconds
// have passed and MinCalls calls were made; answers the mean seconds per
// timed call.
inline double MeanSecondsPerCall(const std::function<void()>& Work, int Warmups, double MinSeconds, long MinCalls) {
  using Clock = std::chrono::steady_clock;
  for (int I = 0; I < Warmups; ++I) Work();
  long Count = 0;
  const Clock::time_point Start = Clock::now();
  double Elapsed = 0;
  while (Elapsed < MinSeconds || Count < MinCalls) {
    Work();
    ++Count;
    Elapsed = std::chrono::duration<double>(Clock::now() - Start).count();
  }
  return Elapsed / static_cast<double>(Count);
}

}  // namespace bench_timing

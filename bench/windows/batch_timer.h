// Timing of a batch of runs by the CPU time of the calling thread. The wall
// clock on a shared machine also counts the time the thread waits for a core:
// a run longer than the scheduler's time slice is interrupted more often
// than a short one, so wall times of large documents grow faster than their
// work. The thread's CPU time counts only the work, but the system gives it
// in coarse steps (10 ms under Wine, 15.6 ms on Windows), so a run is timed
// as its share of a batch many steps long.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vbench {

// Seconds of CPU time (user and kernel) the calling thread has used.
inline double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}

inline double WallSeconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The number of runs that makes a batch take about `seconds` of CPU time:
// batches of 1, 2, 4, ... runs until one takes a quarter of that, scaled up.
template <class Run> long RunsFor(double seconds, Run&& run) {
  for (long runs = 1;; runs *= 2) {
    const double start = ThreadSeconds();
    for (long i = 0; i < runs; ++i)
      run();
    const double used = ThreadSeconds() - start;
    if (used >= seconds / 4)
      return std::max(1L, static_cast<long>(std::ceil(runs * seconds / used)));
  }
}

// CPU seconds of one run: a batch of `runs` runs, divided by their number.
template <class Run> double SecondsPerRun(long runs, Run&& run) {
  const double start = ThreadSeconds();
  for (long i = 0; i < runs; ++i)
    run();
  return (ThreadSeconds() - start) / static_cast<double>(runs);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  if (n == 0)
    return 0;
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace vbench

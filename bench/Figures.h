// What the benchmarks share: a clock, and a figure measured several times,
// printed as its median with the fastest and the slowest run, since single
// runs under Wine vary by some 20 %.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

inline constexpr int kRuns = 9;

inline LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

inline double Ms(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

inline double TimeMs(const std::function<void()>& work) {
  const LARGE_INTEGER start = Now();
  work();
  return Ms(start, Now());
}

inline double Median(std::vector<double> runs) {
  std::sort(runs.begin(), runs.end());
  return runs.empty() ? 0 : runs[runs.size() / 2];
}

// "median 12.3 ms (11.9-14.0 ms, 5 runs)"; "no figure" when no run gave one.
inline std::string Figure(std::vector<double> runs) {
  if (runs.empty()) return "no figure";
  std::sort(runs.begin(), runs.end());
  char text[96];
  std::snprintf(text, sizeof text, "median %.1f ms (%.1f-%.1f ms, %zu runs)", Median(runs), runs.front(), runs.back(),
                runs.size());
  return text;
}

}  // namespace bench

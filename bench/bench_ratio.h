// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every benchmark prints its figure beside a bare baseline of the same work
// measured in the same run: the baseline stores its time per item under a
// name, the measured benchmark reports the ratio as the counter
// "x_baseline" (how many times slower than the bare loop).
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <map>
#include <string>

#ifndef VELMOR_BUILD_TYPE
#define VELMOR_BUILD_TYPE "unknown"
#endif

namespace velmor::bench {

inline std::map<std::string, double>& Baselines() {
  static std::map<std::string, double> b;
  return b;
}

// Accumulates the time of the timed parts of a benchmark loop.
class Stopwatch {
 public:
  void Start() { start_ = std::chrono::steady_clock::now(); }
  void Stop() {
    total_ +=
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start_).count();
  }
  double Nanoseconds() const { return total_; }

 private:
  std::chrono::steady_clock::time_point start_;
  double total_ = 0;
};

// CPU time of the calling thread: on a shared machine the wall time is not
// the benchmark's alone.
inline double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The build the figures come from, printed with the benchmark's context.
inline void NameBuildType() {
  benchmark::AddCustomContext("build_type", VELMOR_BUILD_TYPE);
}

inline void RecordBaseline(const std::string& name, double nsPerItem) {
  Baselines()[name] = nsPerItem;
}

inline void ReportRatio(benchmark::State& state, const std::string& name, double nsPerItem) {
  const auto it = Baselines().find(name);
  if (it != Baselines().end() && it->second > 0) {
    state.counters["x_baseline"] = nsPerItem / it->second;
  }
  state.counters["ns_per_item"] = nsPerItem;
}

}  // namespace velmor::bench

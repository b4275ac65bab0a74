// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every benchmark prints its figure beside a bare baseline of the same work
// measured in the same run: the baseline stores its time per item under a
// name, the measured benchmark reports the ratio as the counter
// "x_baseline" (how many times slower than the bare loop). The ratio is of
// processor time, so that other work on a shared machine does not show in it.
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

// Accumulates the time of the timed parts of a benchmark loop: on the clock
// and in this thread's processor time.
class Stopwatch {
 public:
  void Start() {
    start_ = std::chrono::steady_clock::now();
    cpuStart_ = ThreadCpuNanoseconds();
  }
  void Stop() {
    total_ +=
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start_).count();
    cpuTotal_ += ThreadCpuNanoseconds() - cpuStart_;
  }
  double Nanoseconds() const { return total_; }
  double CpuNanoseconds() const { return cpuTotal_; }

 private:
  static double ThreadCpuNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
  }
  std::chrono::steady_clock::time_point start_;
  double cpuStart_ = 0;
  double total_ = 0;
  double cpuTotal_ = 0;
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

// A whole run timed by `watch` over `items` items: its seconds on the clock
// and in processor time, and as the baseline `name` or against it.
inline void ReportRun(benchmark::State& state, const std::string& name, const Stopwatch& watch,
                      double items, bool baseline) {
  if (items <= 0) return;
  state.counters["seconds"] = watch.Nanoseconds() / items / 1e9;
  state.counters["cpu_seconds"] = watch.CpuNanoseconds() / items / 1e9;
  if (baseline) {
    RecordBaseline(name, watch.CpuNanoseconds() / items);
  } else {
    ReportRatio(state, name, watch.CpuNanoseconds() / items);
  }
}

}  // namespace velmor::bench

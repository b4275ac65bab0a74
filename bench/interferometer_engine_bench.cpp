// SPDX-License-Identifier: GPL-3.0-or-later
// Steps per second of the interferometer engine (set-up 1, "Test" and
// "Real" presets, whole runs to both arrivals, nothing drawn between
// refreshes) beside a bare loop of the same per-step arithmetic.
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench_ratio.h"
#include "interferometer/interferometer_engine.h"
#include "interferometer/interferometer_presets.h"
#include "interferometer_bench_support.h"
#include "shared/shared_pool.h"

namespace velmor {
namespace {

using bench::BenchPool;
using bench::NullCanvas;

class QuietHost : public InterferometerHost {
 public:
  EngineOptions Options() const override { return {}; }
  Canvas& Scheme() override { return canvas; }
  bool Yield() override { return true; }
  void Refresh() override { ++refreshes; }
  NullCanvas canvas;
  long long refreshes = 0;
};

void RunPreset(benchmark::State& state, bool real) {
  SharedPool& pool = BenchPool();
  const InterferometerSetup s = PresetSetup(pool, real);
  QuietHost host;
  double steps = 0;
  bench::Stopwatch watch;
  watch.Start();
  for (auto _ : state) {
    InterferometerEngine e(pool);
    e.InitialiseBeams(s, {}, host.canvas);
    const InterferometerEnd end = e.Run(host);
    if (end != InterferometerEnd::Stopped || !e.BothArrived()) state.SkipWithError("no arrival");
    steps += std::round(e.T / s.dt);
    benchmark::DoNotOptimize(e.beam[0].N);
  }
  watch.Stop();
  state.counters["steps_per_s"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
  bench::ReportRatio(state, "step", watch.CpuNanoseconds() / steps);
}

void BM_EngineTestPreset(benchmark::State& state) {
  RunPreset(state, false);
}
void BM_EngineRealPreset(benchmark::State& state) {
  RunPreset(state, true);
}

// The arithmetic of one step with no events: time, eight element points,
// two fronts, two path lengths and the two distance tests.
void BM_BareStepLoop(benchmark::State& state) {
  const long long n = state.range(0);
  double steps = 0;
  bench::Stopwatch watch;
  watch.Start();
  for (auto _ : state) {
    double T = 0, ex[8] = {}, ey[8] = {}, x0 = 0, y0 = -0.4, x1 = 0, y1 = -0.4, S0 = 0, S1 = 0;
    const double dt = 1e-8, mx = 1e-8, my = 0, d0x = 0, d0y = 2e-7, d1x = 0, d1y = 2e-7;
    const double s0 = 2e-7, s1 = 2e-7, ca = -0.7071, sa = 0.7071, udt = 1.4e-7;
    long long fired = 0;
    for (long long i = 0; i < n; ++i) {
      T = T + dt;
      for (int k = 0; k < 8; ++k) {
        ex[k] += mx;
        ey[k] += my;
      }
      x0 += d0x;
      y0 += d0y;
      x1 += d1x;
      y1 += d1y;
      S0 += s0;
      S1 += s1;
      const double h0 = std::fabs((y0 - ey[6]) * ca - (x0 - ex[6]) * sa);
      const double h1 = std::fabs((y1 - ey[7]) * ca - (x1 - ex[7]) * sa);
      if (udt > h0 || udt > h1) ++fired;
    }
    benchmark::DoNotOptimize(T);
    benchmark::DoNotOptimize(S0 + S1 + ex[0] + ey[0]);
    benchmark::DoNotOptimize(fired);
    steps += static_cast<double>(n);
  }
  watch.Stop();
  state.counters["steps_per_s"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
  bench::RecordBaseline("step", watch.CpuNanoseconds() / steps);
}

BENCHMARK(BM_BareStepLoop)->Arg(14735391)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineTestPreset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineRealPreset)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace velmor

BENCHMARK_MAIN();

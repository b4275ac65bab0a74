// SPDX-License-Identifier: GPL-3.0-or-later
// The bare signal-period engine (no window, nothing drawn) against a loop of
// the same arithmetic without checks or a host: steps per second and ratio.
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench_ratio.h"
#include "quiet_host.h"
#include "shared/null_canvas.h"
#include "shared/shared_pool.h"
#include "support/experiment_defaults.h"
#include "workbench/experiment_engine.h"

namespace {

using namespace velmor;

void Defaults(SharedPool& P) {
  testing::SetDefaultExperiment(P);
  P.NC0 = 1 << 30;  // no refresh: the bare stepping only
}

// The arithmetic of one step, plain doubles, no checks, no host.
void BM_BaselineLoop(benchmark::State& state) {
  long long steps = 0;
  bench::Stopwatch watch;
  for (auto _ : state) {
    watch.Start();
    double t = 0, x1 = 56.60254, y1 = 50, x2 = 0, y2 = 0, front = 0;
    const double dt = 1e-3, vx1 = 6, vy1 = 0, vx2 = 10, vy2 = 0, vs = 20, ex = 0, ey = 0;
    for (int i = 0; i < 4000; ++i) {
      t += dt;
      x1 += dt * vx1;
      y1 += dt * vy1;
      x2 += dt * vx2;
      y2 += dt * vy2;
      const double R = std::sqrt((x1 - ex) * (x1 - ex) + (y1 - ey) * (y1 - ey));
      if (R / vs > 5 && t < 0) front = 0;
      front += vs * dt;
      benchmark::DoNotOptimize(R);
      benchmark::DoNotOptimize(front);
    }
    watch.Stop();
    steps += 4000;
  }
  state.SetItemsProcessed(steps);
  bench::RecordBaseline("step", watch.CpuNanoseconds() / steps);
}
BENCHMARK(BM_BaselineLoop)->Unit(benchmark::kMicrosecond);

void BM_EngineSteps(benchmark::State& state) {
  SharedPool P;
  bench::QuietHost host;
  long long steps = 0;
  bench::Stopwatch watch;
  for (auto _ : state) {
    state.PauseTiming();
    Defaults(P);
    SetUpExperiment(P, host);
    P.RangeCheckArmed = 0;
    state.ResumeTiming();
    watch.Start();
    RunEnd end = RunEnd::Stopped;
    for (int i = 0; i < 4000; ++i) ExperimentStep(P, host, end);
    watch.Stop();
    steps += 4000;
  }
  state.SetItemsProcessed(steps);
  bench::ReportRatio(state, "step", watch.CpuNanoseconds() / steps);
}
BENCHMARK(BM_EngineSteps)->Unit(benchmark::kMicrosecond);

// The whole default run (about 100 000 steps) with the drawing on a canvas
// that keeps nothing: the engine's share of a default experiment, per step
// against the bare step.
void BM_DefaultRunBare(benchmark::State& state) {
  SharedPool P;
  bench::QuietHost host;
  bench::Stopwatch watch;
  double steps = 0;
  for (auto _ : state) {
    Defaults(P);
    P.NC0 = 20;
    SetUpExperiment(P, host);
    watch.Start();
    benchmark::DoNotOptimize(RunExperimentSteps(P, host));
    watch.Stop();
    steps += std::round(P.CurrentTime / P.TimeStep);
  }
  state.SetItemsProcessed(static_cast<long long>(steps));
  bench::ReportRatio(state, "step", watch.CpuNanoseconds() / steps);
}
BENCHMARK(BM_DefaultRunBare)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

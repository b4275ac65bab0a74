// SPDX-License-Identifier: GPL-3.0-or-later
// Bare propagation of the default ray bundle (401 rays, drawing off): ray
// steps per second of PropagateRays beside a bare loop that only moves the
// same rays in straight lines, measured in the same run.
#include <benchmark/benchmark.h>
#include <time.h>

#include <cmath>
#include <vector>

#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/shared_pool.h"
#include "support/medium_defaults.h"

namespace {

using velmor::DensityLaw;

// CPU time of this thread: the machine is shared, wall time is not ours.
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
using velmor::MediumState;
using velmor::SharedPool;

// The default bundle of the medium window, launched at the source.
void DefaultBundle(SharedPool& P, MediumState& M, double Kp) {
  velmor::testing::SetMediumDefaults(P, M);
  M.Kp = Kp;
  P.PeriodNumber = 1;
  M.AllocateRays();
  velmor::LaunchBundle(P, M, DensityLaw::FromTop);
}

// The irreducible work: every ray moves by its step along its direction.
double BareSteps(long steps, int rays) {
  std::vector<double> x(rays, 0.0), y(rays, 0.0), s(rays), c(rays);
  for (int i = 0; i < rays; ++i) {
    s[i] = std::sin(i * 0.007 - 1.4);
    c[i] = std::sqrt(1 - s[i] * s[i]);
  }
  const double step = 20 * 1e-3;
  const double t0 = CpuSeconds();
  for (long k = 0; k < steps; ++k) {
    for (int i = 0; i < rays; ++i) {
      x[i] += step * s[i];
      y[i] += step * c[i];
    }
    benchmark::DoNotOptimize(x.data());
    benchmark::DoNotOptimize(y.data());
  }
  const double seconds = CpuSeconds() - t0;
  return static_cast<double>(steps) * rays / seconds;
}

void Propagation(benchmark::State& state, double Kp) {
  SharedPool P;
  MediumState M;
  DefaultBundle(P, M, Kp);
  velmor::RayStepInput in;
  in.law = DensityLaw::FromTop;
  in.bundle = true;
  long steps = 0;
  const double t0 = CpuSeconds();
  for (auto _ : state) {
    // Relaunch every 5000 steps so the rays stay in the modelled layers.
    if (steps % 5000 == 0) velmor::LaunchBundle(P, M, in.law);
    benchmark::DoNotOptimize(velmor::PropagateRays(P, M, in));
    ++steps;
  }
  const double rate = static_cast<double>(steps) * M.Rays() / (CpuSeconds() - t0);
  const double bare = BareSteps(20000, M.Rays());
  state.counters["ray_steps_per_s"] = rate;
  state.counters["bare_ray_steps_per_s"] = bare;
  // How many times the bare loop is faster.
  state.counters["bare_over_propagation"] = bare / rate;
}

void BM_BundlePropagation_Vacuum(benchmark::State& state) {
  Propagation(state, 0.0);
}
void BM_BundlePropagation_Layered(benchmark::State& state) {
  Propagation(state, 0.005);
}

BENCHMARK(BM_BundlePropagation_Vacuum)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BundlePropagation_Layered)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

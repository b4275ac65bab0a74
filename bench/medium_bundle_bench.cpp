// SPDX-License-Identifier: GPL-3.0-or-later
// Bare propagation of the default ray bundle (401 rays, drawing off): ray
// steps per second of PropagateRays, in vacuum and in layers, beside a bare
// loop that only moves the same rays in straight lines, measured in turns
// with it; "x_baseline" is how many times slower than the bare loop (per
// 100 steps of both).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "bench_ratio.h"
#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/shared_pool.h"
#include "support/medium_defaults.h"

namespace {

using velmor::DensityLaw;
using velmor::MediumState;
using velmor::SharedPool;
using velmor::bench::ThreadSeconds;

// The default bundle of the medium window, launched at the source.
void DefaultBundle(SharedPool& P, MediumState& M, double Kp) {
  velmor::testing::SetMediumDefaults(P, M);
  M.Kp = Kp;
  P.PeriodNumber = 1;
  M.AllocateRays();
  velmor::LaunchBundle(P, M, DensityLaw::FromTop);
}

// The irreducible work: every ray moves by its step along its direction.
class BareRays {
 public:
  explicit BareRays(int rays) : x_(rays, 0.0), y_(rays, 0.0), s_(rays), c_(rays) {
    for (int i = 0; i < rays; ++i) {
      s_[i] = std::sin(i * 0.007 - 1.4);
      c_[i] = std::sqrt(1 - s_[i] * s_[i]);
    }
  }
  void Step() {
    const double step = 20 * 1e-3;
    const int n = static_cast<int>(x_.size());
    for (int i = 0; i < n; ++i) {
      x_[i] += step * s_[i];
      y_[i] += step * c_[i];
    }
    benchmark::DoNotOptimize(x_.data());
    benchmark::DoNotOptimize(y_.data());
  }

 private:
  std::vector<double> x_, y_, s_, c_;
};

// The propagation and the bare loop take turns, a hundred steps each, so
// that both see the same machine: the ratio holds even when the machine's
// load changes during the run.
void Propagation(benchmark::State& state, double Kp) {
  SharedPool P;
  MediumState M;
  DefaultBundle(P, M, Kp);
  BareRays bare(M.Rays());
  velmor::RayStepInput in;
  in.law = DensityLaw::FromTop;
  in.bundle = true;
  long steps = 0;
  double propagation = 0, bareSeconds = 0;
  for (auto _ : state) {
    // Relaunch every 5000 steps so the rays stay in the modelled layers.
    if (steps % 5000 == 0) velmor::LaunchBundle(P, M, in.law);
    double t = ThreadSeconds();
    for (int k = 0; k < 100; ++k) benchmark::DoNotOptimize(velmor::PropagateRays(P, M, in));
    propagation += ThreadSeconds() - t;
    t = ThreadSeconds();
    for (int k = 0; k < 100; ++k) bare.Step();
    bareSeconds += ThreadSeconds() - t;
    steps += 100;
  }
  const double raySteps = static_cast<double>(steps) * M.Rays();
  const std::string name = Kp == 0 ? "vacuum" : "layered";
  velmor::bench::RecordBaseline(name, bareSeconds * 1e9 / raySteps);
  velmor::bench::ReportRatio(state, name, propagation * 1e9 / raySteps);
  state.counters["ray_steps_per_s"] = raySteps / propagation;
  state.counters["bare_ray_steps_per_s"] = raySteps / bareSeconds;
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

int main(int argc, char** argv) {
  velmor::bench::NameBuildType();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

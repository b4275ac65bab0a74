// SPDX-License-Identifier: GPL-3.0-or-later
// Pixel evaluations per second of the interference picture: one refresh
// cycle of the time loop at the "Test" NC0 (20 000 steps of 551 pixels as
// the loop is specified, of which it computes only the pixels something
// uses), the tabulated kernel on every pixel, and the bare per-pixel
// formula as the baseline.
#include <benchmark/benchmark.h>

#include "bench_ratio.h"
#include "interferometer/interference.h"
#include "interferometer/interferometer_engine.h"
#include "interferometer_bench_support.h"
#include "shared/shared_pool.h"

namespace velmor {
namespace {

using bench::BenchPool;
using bench::NullCanvas;

// The boxes after the "Test" preset: A1 = 1, A2 = -1 degrees, 0.01 MHz,
// 20 m/s; three fringes in half the objective.
InterferenceInputs TestInputs() {
  InterferenceInputs in;
  in.nu1 = in.nu2 = 0.01 * 1e6;
  in.V1 = in.V2 = 20;
  in.N1 = 1473.25;
  in.N2 = 1472.75;
  in.A1 = 1;
  in.A2 = -1;
  in.Y1 = -0.0137;
  in.Y2 = 0.0284;
  in.dt = 1e-8;
  in.NC0 = 20000;
  return in;
}

class StopAtRefresh : public InterferenceHost {
 public:
  explicit StopAtRefresh(InterferometerEngine& e) : engine(e) {}
  InterferenceOptions LiveOptions() const override { return {}; }
  Canvas& Strip(int) override { return canvas; }
  Canvas& Scheme() override { return canvas; }
  bool Yield() override { return true; }
  void ShowRefresh(double, double, double, bool) override { engine.SetStopFlag(); }
  InterferometerEngine& engine;
  NullCanvas canvas;
};

void BM_RefreshCycle(benchmark::State& state) {
  SharedPool& pool = BenchPool();
  const InterferenceInputs in = TestInputs();
  const InterferenceGeometry g = InterferenceGeometryOf(pool, in);
  InterferometerEngine engine(pool);
  StopAtRefresh host(engine);
  double nominal = 0, computed = 0;
  bench::Stopwatch watch;
  watch.Start();
  for (auto _ : state) {
    engine.T = 0;
    engine.counter = 0;
    engine.ClearStop();
    InterferenceRun run(pool, engine, g, in);
    run.Run(host);
    // The plain loop evaluates every pixel at every step.
    nominal += 551.0 * (in.NC0 + 1);
    computed += static_cast<double>(run.pixelsComputed);
    benchmark::DoNotOptimize(run.jmax);
  }
  watch.Stop();
  // Against the bare formula on the same 551 pixels, per pixel the plain
  // loop would evaluate.
  bench::ReportRatio(state, "pixel-1", watch.CpuNanoseconds() / nominal);
  state.counters["pixel_evals_per_s"] = benchmark::Counter(nominal, benchmark::Counter::kIsRate);
  state.counters["computed_per_s"] = benchmark::Counter(computed, benchmark::Counter::kIsRate);
}

void BM_TabulatedAllPixels(benchmark::State& state) {
  SharedPool& pool = BenchPool();
  InterferenceInputs in = TestInputs();
  in.P = static_cast<int>(state.range(0));
  const InterferenceGeometry g = InterferenceGeometryOf(pool, in);
  const InterferencePixels pixels(pool, g, in);
  const int J = pixels.HalfWidth();
  std::vector<double> I(static_cast<std::size_t>(2 * J + 1));
  double T = 0, evals = 0;
  bench::Stopwatch watch;
  watch.Start();
  for (auto _ : state) {
    T += in.dt;
    pixels.Compute(T, -J, J, IntensityMode::Amplitudes, 1, I.data(), nullptr, nullptr);
    benchmark::DoNotOptimize(I.data());
    evals += 2 * J + 1;
  }
  watch.Stop();
  state.counters["pixel_evals_per_s"] = benchmark::Counter(evals, benchmark::Counter::kIsRate);
  bench::ReportRatio(state, "pixel-" + std::to_string(in.P), watch.CpuNanoseconds() / evals);
}

void BM_BarePixelFormula(benchmark::State& state) {
  SharedPool& pool = BenchPool();
  InterferenceInputs in = TestInputs();
  in.P = static_cast<int>(state.range(0));
  const InterferenceGeometry g = InterferenceGeometryOf(pool, in);
  const int J = 275 * in.P;
  double T = 0, evals = 0, sum = 0;
  bench::Stopwatch watch;
  watch.Start();
  for (auto _ : state) {
    T += in.dt;
    for (int j = -J; j <= J; ++j) {
      sum += ReferenceIntensity(pool, g, in, j, T, IntensityMode::Amplitudes, 1, nullptr, nullptr);
    }
    benchmark::DoNotOptimize(sum);
    evals += 2 * J + 1;
  }
  watch.Stop();
  state.counters["pixel_evals_per_s"] = benchmark::Counter(evals, benchmark::Counter::kIsRate);
  bench::RecordBaseline("pixel-" + std::to_string(in.P), watch.CpuNanoseconds() / evals);
}

BENCHMARK(BM_BarePixelFormula)->Arg(1)->Arg(59);
BENCHMARK(BM_RefreshCycle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TabulatedAllPixels)->Arg(1)->Arg(59);

}  // namespace
}  // namespace velmor

BENCHMARK_MAIN();

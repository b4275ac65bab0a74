// SPDX-License-Identifier: GPL-3.0-or-later
// A complete "Real" run (set-up 1, about 10^8 steps) through the real
// interferometer window offscreen, beside the same run of the bare engine.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>

#include "app/register_forms.h"
#include "bench_ratio.h"
#include "interferometer/interferometer_engine.h"
#include "interferometer/interferometer_presets.h"
#include "interferometer/interferometer_window.h"
#include "shared/recording_canvas.h"
#include "shared/shared_pool.h"
#include "ui/form_registry.h"
#include "ui/messages.h"

namespace velmor {
namespace {

void BM_RealRunThroughTheWindow(benchmark::State& state) {
  ui::FormRegistry::Show(1);
  auto* f = static_cast<Form8*>(ui::FormRegistry::Show(8));
  f->Option7->click();
  double steps = 0;
  bench::Stopwatch watch;
  for (auto _ : state) {
    watch.Start();
    f->Command7->click();
    watch.Stop();
    if (f->Text47->text() != "19" || f->Text48->text() != "29") state.SkipWithError("no arrival");
    steps += f->Engine().T / 1e-16;
  }
  if (!ui::Messages::TakeLog().empty()) state.SkipWithError("a message box appeared");
  state.counters["steps_per_s"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
  bench::ReportRatio(state, "real-run", watch.CpuNanoseconds() / steps);
  f->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class QuietHost : public InterferometerHost {
 public:
  EngineOptions Options() const override { return {}; }
  Canvas& Scheme() override { return canvas; }
  bool Yield() override { return true; }
  void Refresh() override {}
  RecordingCanvas canvas;
};

void BM_RealRunOfTheBareEngine(benchmark::State& state) {
  // The set-up reads the constants the windows put into the pool as they
  // load; this runs before the window's benchmark, so it loads them itself.
  ui::FormRegistry::Show(1);
  ui::FormRegistry::Show(8);
  const InterferometerSetup s = PresetSetup(Pool(), true);
  QuietHost host;
  double steps = 0;
  bench::Stopwatch watch;
  for (auto _ : state) {
    InterferometerEngine e(Pool());
    e.InitialiseBeams(s, {}, host.canvas);
    watch.Start();
    e.Run(host);
    watch.Stop();
    steps += e.T / s.dt;
  }
  state.counters["steps_per_s"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
  bench::RecordBaseline("real-run", watch.CpuNanoseconds() / steps);
}

BENCHMARK(BM_RealRunOfTheBareEngine)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_RealRunThroughTheWindow)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace
}  // namespace velmor

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  velmor::ui::Messages::SetScripted(true);
  velmor::RegisterForms();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

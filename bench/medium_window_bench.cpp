// SPDX-License-Identifier: GPL-3.0-or-later
// The whole default ray-bundle experiment through the real medium window,
// offscreen, drawing on: seconds per run, beside the same run through the
// bare engine (no window: no fields, no picture, no yield) in the same
// process; "x_baseline" is how many times longer the window's run takes.
// Both are timed in this thread's CPU time, the fastest of several runs
// each: the machine may be shared.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <algorithm>

#include "app/register_forms.h"
#include "bench_ratio.h"
#include "medium/bundle_engine.h"
#include "medium/medium_state.h"
#include "medium/medium_window.h"
#include "shared/null_canvas.h"
#include "shared/shared_pool.h"
#include "support/medium_defaults.h"
#include "ui/form_registry.h"
#include "ui/messages.h"

namespace {

using velmor::Out;

// The engine alone: answers Yes, draws nothing, shows nothing.
class BareHost : public velmor::MediumHost {
 public:
  bool AutoMode() const override { return true; }
  bool Drawing() const override { return false; }
  bool Relativistic() const override { return false; }
  velmor::DensityLaw Law() const override { return velmor::DensityLaw::FromTop; }
  velmor::FieldDelay Delay() const override { return velmor::FieldDelay::Real; }
  bool SignalOnly() const override { return false; }
  void Show(Out, double) override {}
  void ShowWhole(Out, long long) override {}
  velmor::Canvas& Picture() override { return canvas_; }
  bool Ask(const std::string&, const std::string&) override { return true; }
  bool Yield() override { return true; }

 private:
  velmor::NullCanvas canvas_;
};

// The default experiment's fields, as Form3 parses them.
double BareRun() {
  using namespace velmor;
  SharedPool& P = Pool();
  MediumState& M = Medium();
  const double t0 = bench::ThreadSeconds();
  velmor::testing::SetMediumDefaults(P, M);
  BareHost host;
  SetUpBundleExperiment(P, M, host, false);
  RunBundleSteps(P, M, host);
  return bench::ThreadSeconds() - t0;
}

void BM_DefaultBundleExperimentWindow(benchmark::State& state) {
  auto* form = velmor::ui::FormRegistry::LoadAs<velmor::Form3>(3);
  form->show();
  // The fastest run of each: the one the other programs on the machine
  // disturbed least.
  double window = 1e300, bare = 1e300;
  for (auto _ : state) {
    const double t0 = velmor::bench::ThreadSeconds();
    form->Command1->click();
    // Until the run's end is on the screen.
    QCoreApplication::processEvents();
    window = std::min(window, velmor::bench::ThreadSeconds() - t0);
    if (velmor::Pool().PeriodNumber != 21) state.SkipWithError("the run did not complete");
    bare = std::min(bare, BareRun());
  }
  velmor::bench::RecordBaseline("bundle-run", bare * 1e9);
  velmor::bench::ReportRatio(state, "bundle-run", window * 1e9);
  state.counters["window_run_s"] = window;
  state.counters["bare_run_s"] = bare;
}

BENCHMARK(BM_DefaultBundleExperimentWindow)->Unit(benchmark::kSecond)->Iterations(7);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  velmor::ui::Messages::SetScripted(true);
  velmor::RegisterForms();
  velmor::ui::FormRegistry::Show(1);
  velmor::bench::NameBuildType();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

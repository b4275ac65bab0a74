// SPDX-License-Identifier: GPL-3.0-or-later
// The whole default experiment through the real main window offscreen
// ("1-Задать T00, с", then "2-Начать эксперимент" until the engine ends and
// the windows show its end), beside the bare engine doing the same run with
// nothing drawn, and how often the picture was painted while the run was
// shown.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include "app/register_forms.h"
#include "bench_ratio.h"
#include "quiet_host.h"
#include "shared/null_canvas.h"
#include "shared/shared_pool.h"
#include "support/experiment_defaults.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "workbench/experiment_engine.h"
#include "workbench/main_window.h"

namespace {

using namespace velmor;

void BM_DefaultRunBareEngine(benchmark::State& state) {
  SharedPool P;
  bench::QuietHost host;
  bench::Stopwatch watch;
  long long runs = 0;
  for (auto _ : state) {
    testing::SetDefaultExperiment(P);
    watch.Start();
    SetUpExperiment(P, host);
    benchmark::DoNotOptimize(RunExperimentSteps(P, host));
    watch.Stop();
    ++runs;
  }
  bench::ReportRun(state, "default-run", watch, static_cast<double>(runs), true);
}
BENCHMARK(BM_DefaultRunBareEngine)->Unit(benchmark::kMillisecond)->Iterations(3);

// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  long long paints = 0;
};

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_minflt;
}

void RunThroughWindow(benchmark::State& state, bool report) {
  bench::Stopwatch watch, bareWatch;
  long long runs = 0;
  PaintCounter counter;
  long long faults = 0;
  SharedPool bareP;
  bench::QuietHost bareHost;
  for (auto _ : state) {
    auto* form = static_cast<Form1*>(ui::FormRegistry::Show(1));
    if (report && !form->Check5->isChecked()) form->Check5->click();
    // The windows are on the screen, painted, before the user presses a
    // button: their first paint belongs to showing them, not to the run.
    QCoreApplication::processEvents();
    form->Picture1->installEventFilter(&counter);
    const long faultsBefore = MinorFaults();
    watch.Start();
    form->Command13->click();
    form->Command1->click();
    // The run ends when its end is on the screen: what waits for a look
    // (the last refresh, the report's first page) is drawn then.
    QCoreApplication::processEvents();
    watch.Stop();
    faults += MinorFaults() - faultsBefore;
    form->Picture1->removeEventFilter(&counter);
    ++runs;
    ui::Messages::TakeLog();
    ui::FormRegistry::CloseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The bare engine's run right beside each window run: a shared machine
    // runs faster and slower by turns, and both sides of the ratio should
    // see the same turns.
    testing::SetDefaultExperiment(bareP);
    bareWatch.Start();
    SetUpExperiment(bareP, bareHost);
    benchmark::DoNotOptimize(RunExperimentSteps(bareP, bareHost));
    bareWatch.Stop();
  }
  bench::ReportRun(state, "default-run", watch, static_cast<double>(runs), false);
  if (runs > 0 && bareWatch.CpuNanoseconds() > 0) {
    state.counters["window_run_s"] = watch.CpuNanoseconds() / static_cast<double>(runs) / 1e9;
    state.counters["bare_run_s"] = bareWatch.CpuNanoseconds() / static_cast<double>(runs) / 1e9;
    state.counters["x_baseline"] = watch.CpuNanoseconds() / bareWatch.CpuNanoseconds();
  }
  // Memory first touched during the run: the kernel's time for each fault
  // counts in the thread's processor time.
  if (runs > 0) state.counters["page_faults"] = static_cast<double>(faults) / runs;
  // The picture as the user sees it: painted this many times a second.
  if (watch.Nanoseconds() > 0) {
    state.counters["frames_per_s"] =
        static_cast<double>(counter.paints) / watch.Nanoseconds() * 1e9;
  }
}

void BM_DefaultRunThroughWindow(benchmark::State& state) {
  RunThroughWindow(state, false);
}
BENCHMARK(BM_DefaultRunThroughWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DefaultRunThroughWindowWithReport(benchmark::State& state) {
  RunThroughWindow(state, true);
}
BENCHMARK(BM_DefaultRunThroughWindowWithReport)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ui::Messages::SetScripted(true);
  RegisterForms();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

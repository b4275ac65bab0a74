// SPDX-License-Identifier: GPL-3.0-or-later
// Peak resident memory of the default experiment through the real main
// window, with its time step 1E-3 (the default) and 1E-4 (ten times the
// refreshes), beside the window that only opened. Peak memory never falls
// within a process, so each run has a process of its own. A run's length
// must not show in its memory: "x_default" of the 1E-4 run stays below 1,5.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <map>
#include <string>

#include "app/register_forms.h"
#include "shared/shared_pool.h"
#include "ui/form_registry.h"
#include "ui/messages.h"
#include "workbench/main_window.h"

namespace {

using namespace velmor;

// In a child process: open the main window and, with a time step, run the
// default experiment to its end. Exits 0 when the run reached period 20.
[[noreturn]] void RunInChild(const char* timeStep, bool report) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "peak_memory_window_bench";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  ui::Messages::SetScripted(true);
  RegisterForms();
  auto* form = static_cast<Form1*>(ui::FormRegistry::Show(1));
  bool reached = true;
  if (timeStep) {
    form->Text9->setText(QString::fromLatin1(timeStep));
    if (report) form->Check5->click();
    form->Command13->click();
    form->Command1->click();
    reached = Pool().PeriodNumber == 20;
  }
  std::_Exit(reached ? 0 : 1);
}

struct ChildRun {
  double peakMegabytes = 0;
  double seconds = 0;
  bool ok = false;
};

ChildRun MeasureInChild(const char* timeStep, bool report) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) RunInChild(timeStep, report);
  ChildRun r;
  if (pid < 0) return r;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return r;
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.peakMegabytes = usage.ru_maxrss / 1024.0;  // kilobytes on Linux
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return r;
}

std::map<std::string, double>& Peaks() {
  static std::map<std::string, double> peaks;
  return peaks;
}

void Measure(benchmark::State& state, const char* timeStep, const std::string& name,
             bool report = false) {
  ChildRun r;
  for (auto _ : state) r = MeasureInChild(timeStep, report);
  if (!r.ok) {
    state.SkipWithError("the run did not reach period 20");
    return;
  }
  Peaks()[name] = r.peakMegabytes;
  state.counters["peak_MB"] = r.peakMegabytes;
  state.counters["seconds"] = r.seconds;
  if (name != "default" && Peaks().count("default")) {
    state.counters["x_default"] = r.peakMegabytes / Peaks()["default"];
  }
  // The baseline of a run's memory is the window that only opened.
  if (name != "window" && Peaks().count("window")) {
    state.counters["x_baseline"] = r.peakMegabytes / Peaks()["window"];
  }
}

void BM_PeakMemoryWindowOnly(benchmark::State& state) {
  Measure(state, nullptr, "window");
}
BENCHMARK(BM_PeakMemoryWindowOnly)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PeakMemoryDefaultRun(benchmark::State& state) {
  Measure(state, "1E-3", "default");
}
BENCHMARK(BM_PeakMemoryDefaultRun)->Unit(benchmark::kMillisecond)->Iterations(1);

// With "+Создать отчет" ticked: the report window and its page as well.
void BM_PeakMemoryDefaultRunWithReport(benchmark::State& state) {
  Measure(state, "1E-3", "default with report", true);
}
BENCHMARK(BM_PeakMemoryDefaultRunWithReport)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PeakMemoryStep1E4Run(benchmark::State& state) {
  Measure(state, "1E-4", "1E-4");
}
BENCHMARK(BM_PeakMemoryStep1E4Run)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to an idle window, offscreen: a fresh process (this program run
// again, so the libraries load as they do for a user) that opens the main
// window, and the main window with the interferometer, and waits until the
// event loop has nothing left to do; beside a process that starts a bare
// QApplication the same way.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/register_forms.h"
#include "bench_ratio.h"
#include "ui/form_registry.h"
#include "ui/messages.h"

namespace {

using namespace velmor;

constexpr const char* kChildFlag = "--startup-child=";

// What a child started with kChildFlag does: "bare", "main" or "main+8".
[[noreturn]] void StartUp(const std::string& what, int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (what != "bare") {
    ui::Messages::SetScripted(true);
    RegisterForms();
    bool shown = ui::FormRegistry::Show(1) != nullptr;
    if (what == "main+8") shown = shown && ui::FormRegistry::Show(8) != nullptr;
    if (!shown) std::_Exit(1);
  }
  // Idle: the event loop has handled everything the start posted.
  QTimer::singleShot(0, &app, &QCoreApplication::quit);
  app.exec();
  std::_Exit(0);
}

struct ChildTimes {
  double seconds = 0;     // from the fork to the child's end
  double cpuSeconds = 0;  // the child's processor time
  bool ok = false;
};

ChildTimes TimeChild(const std::string& what) {
  const std::string flag = kChildFlag + what;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    // The platform's notes on standard error would bury the results.
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2);
    char* args[] = {const_cast<char*>("startup_window_bench"), const_cast<char*>(flag.c_str()),
                    nullptr};
    execv("/proc/self/exe", args);
    std::_Exit(127);
  }
  ChildTimes t;
  int status = 0;
  rusage usage{};
  t.ok = pid > 0 && wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
  t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  t.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  return t;
}

void Measure(benchmark::State& state, const std::string& what) {
  double seconds = 0, cpu = 0;
  long long runs = 0;
  for (auto _ : state) {
    const ChildTimes t = TimeChild(what);
    if (!t.ok) {
      state.SkipWithError("the child did not start");
      return;
    }
    seconds += t.seconds;
    cpu += t.cpuSeconds;
    ++runs;
  }
  state.counters["seconds"] = seconds / runs;
  state.counters["cpu_seconds"] = cpu / runs;
  if (what == "bare") {
    bench::RecordBaseline("startup", cpu / runs * 1e9);
  } else {
    bench::ReportRatio(state, "startup", cpu / runs * 1e9);
  }
}

void BM_StartupBareQApplication(benchmark::State& state) {
  Measure(state, "bare");
}
BENCHMARK(BM_StartupBareQApplication)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StartupMainWindow(benchmark::State& state) {
  Measure(state, "main");
}
BENCHMARK(BM_StartupMainWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StartupMainWindowAndInterferometer(benchmark::State& state) {
  Measure(state, "main+8");
}
BENCHMARK(BM_StartupMainWindowAndInterferometer)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strncmp(argv[1], kChildFlag, std::strlen(kChildFlag)) == 0) {
    int childArgc = 1;
    StartUp(argv[1] + std::strlen(kChildFlag), childArgc, argv);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

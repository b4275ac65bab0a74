// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A host for the experiment engine without a window: it records what the
// window would show and answers the questions from a queue.
#include <deque>
#include <string>
#include <vector>

#include "shared/null_canvas.h"
#include "shared/recording_canvas.h"
#include "shared/shared_pool.h"
#include "support/experiment_defaults.h"
#include "workbench/experiment_engine.h"
#include "workbench/period_setup.h"

namespace velmor::testing {

class FakeHost : public ExperimentHost, public PeriodSetupHost {
 public:
  bool autoMode = true;
  bool delay = true;
  bool labels = true;
  std::deque<bool> answers;          // answers to the range warning; Yes when empty
  std::deque<bool> continueAnswers;  // answers to the manual-mode question
  std::vector<std::string> asked;
  long long yields = 0;
  long long yieldLimit = -1;  // stop the loop after so many yields
  int lastPeriodShown = -1;
  double lastR = -1;
  int refreshes = 0;
  double travel = -1;
  double nv0 = -1;
  bool reportStarted = false;
  RecordingCanvas canvas;
  NullCanvas quiet;
  bool recordDrawing = true;  // long runs draw onto a canvas that keeps nothing

  bool AutoMode() const override { return autoMode; }
  bool DelayInCoordinates() const override { return delay; }
  bool Labels() const override { return labels; }
  void ShowSightDistance(double R) override { lastR = R; }
  void ShowPeriodNumber(int p) override { lastPeriodShown = p; }
  void ShowRefreshFields(double, double, double, double, double) override { ++refreshes; }
  Canvas& Picture() override {
    if (recordDrawing) return canvas;
    return quiet;
  }
  bool AskYesNo(const std::string& text) override {
    asked.push_back(text);
    auto& queue = text == kContinueQuestion ? continueAnswers : answers;
    if (queue.empty()) return true;
    const bool a = queue.front();
    queue.pop_front();
    return a;
  }
  bool Yield() override {
    ++yields;
    if (yieldLimit >= 0 && yields >= yieldLimit) {
      // As if the user pressed the stop button during this yield.
      return false;
    }
    return true;
  }
  void StartReport() override { reportStarted = true; }
  void ShowTravelTime(double t) override { travel = t; }
  void ShowNv0(double n) override { nv0 = n; }
};

// The main window's defaults in the pool, T00 as "1-Задать T00, с" leaves it.
inline void LoadDefaults(SharedPool& P, std::optional<double> T00 = std::nullopt) {
  SetDefaultExperiment(P, T00);
}

}  // namespace velmor::testing

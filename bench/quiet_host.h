// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A host for the main engine that shows nothing and never stops on its own.
#include <benchmark/benchmark.h>

#include "shared/null_canvas.h"
#include "workbench/experiment_engine.h"

namespace velmor::bench {

class QuietHost : public ExperimentHost {
 public:
  bool AutoMode() const override { return true; }
  bool DelayInCoordinates() const override { return true; }
  bool Labels() const override { return true; }
  void ShowSightDistance(double R) override { benchmark::DoNotOptimize(R); }
  void ShowPeriodNumber(int) override {}
  void ShowRefreshFields(double, double, double, double, double) override {}
  Canvas& Picture() override { return canvas; }
  bool AskYesNo(const std::string&) override { return true; }
  bool Yield() override { return true; }
  NullCanvas canvas;
};

}  // namespace velmor::bench

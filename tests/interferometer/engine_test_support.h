// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scripted window side for engine runs without Qt.
#include <gtest/gtest.h>

#include <functional>

#include "interferometer/interferometer_engine.h"
#include "interferometer/interferometer_presets.h"
#include "shared/recording_canvas.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor::testing_support {

inline SharedPool StartedPool() {
  SharedPool p;
  SetStartupConstants(p);
  return p;
}

class ScriptedHost : public InterferometerHost {
 public:
  EngineOptions Options() const override { return options; }
  Canvas& Scheme() override { return scheme; }
  bool Yield() override {
    ++yields;
    if (onYield) return onYield(yields);
    if (yields < maxYields) return true;
    // A run that never ends fails instead of hanging.
    if (yields == maxYields)
      ADD_FAILURE() << "the beams did not arrive within " << maxYields << " steps";
    return false;
  }
  void Refresh() override { ++refreshes; }

  EngineOptions options;
  RecordingCanvas scheme;
  long long yields = 0;
  long long maxYields = 1000000;  // the longest run here takes some 360 000
  int refreshes = 0;
  // Called at every yield with the count so far; false ends the run.
  std::function<bool(long long)> onYield;
};

// Form defaults of set-up 1 (Vsys = 0, dt = 1e-7, NC0 = 200), radians.
inline InterferometerSetup DefaultSetup(const SharedPool& p) {
  InterferometerSetup s;
  const double deg = p.DegPerRad;
  s.alfa1 = 90 / deg;
  s.alfa2 = 0;
  s.alfa3 = 135 / deg;
  s.alfa4 = 135 / deg;
  s.aim = 90 / deg;
  return s;
}

// Set-up 3 as the window's preset makes it: mirrors at 115 and 65 degrees,
// the objective at Y6 = 1,1918.
inline InterferometerSetup TwoMirrorSetup(const SharedPool& p) {
  InterferometerSetup s = DefaultSetup(p);
  s.scheme = 3;
  s.alfa1 = 115 / p.DegPerRad;
  s.alfa2 = 65 / p.DegPerRad;
  s.X6 = 1.1918;  // Y6
  return s;
}

// Runs from Initialise until both beams arrive (or a fault); returns the end.
inline InterferometerEnd RunToEnd(InterferometerEngine& e, ScriptedHost& host) {
  InterferometerEnd end = InterferometerEnd::Stopped;
  for (int guard = 0; guard < 100000; ++guard) {
    end = e.Run(host);
    if (end != InterferometerEnd::Stopped || e.BothArrived()) return end;
    e.ClearStop();
  }
  return end;
}

}  // namespace velmor::testing_support

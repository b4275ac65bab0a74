// SPDX-License-Identifier: GPL-3.0-or-later
#include "interferometer/interferometer_presets.h"

#include "interferometer/interferometer_engine.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

const AccuracyPreset& TestPreset() {
  static const AccuracyPreset p{0.8, 0.1,    0.4,  1,    20000, 90, 1, 0.002,
                                20,  "1E-8", 6e-5, 0.01, 20,    1,  -1};
  return p;
}

const AccuracyPreset& RealPreset() {
  static const AccuracyPreset p{0.1,       0.01,    0.2,   30000,     200000, 90,    0.0008, 6e-7,
                                300000000, "1E-16", 6e-17, 500000000, 3e8,    0.292, 0.3};
  return p;
}

InterferometerSetup PresetSetup(const SharedPool& pool, bool real) {
  const AccuracyPreset& p = real ? RealPreset() : TestPreset();
  const double deg = pool.DegPerRad;
  InterferometerSetup s;
  s.mirrorWidth = p.mirrorWidth;
  s.thickness = p.thickness;
  s.Y4 = p.Y4;
  s.Vsys = p.Vsys;
  s.NC0 = p.NC0;
  s.alfa1 = p.alfa1 / deg;
  s.alfa2 = p.alfa2 / deg;
  s.alfa3 = 135 / deg;
  s.alfa4 = 135 / deg;
  s.aim = 90 / deg;
  s.lambda = p.lambda;
  s.c = p.c;
  s.dt = *ParseNumber(p.dt);
  s.K = p.K;
  return s;
}

}  // namespace velmor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/experiment_defaults.h"

#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor {

void SetDefaultExperiment(SharedPool& P, double T00) {
  SetStartupConstants(P);
  P.X(1) = 86.60254;
  P.Y(1) = 50;
  P.VX(1) = 6;
  P.VY(1) = 0;
  P.X(2) = 50;
  P.Y(2) = 0;
  P.VX(2) = 10;
  P.VY(2) = 0;
  P.Vs = 20;
  P.PictureScale = 5;
  P.TimeStep = 1e-3;
  P.NC0 = 20;
  P.T00 = T00;
  P.Nv0 = 0.2 * T00;
  P.v0 = 0.2;
}

}  // namespace velmor

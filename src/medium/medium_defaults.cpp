// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/medium_defaults.h"

#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor {

void SetWindowDefaults(SharedPool& P, MediumState& M) {
  SetStartupConstants(P);
  P.X(1) = 100;
  P.Y(1) = 50;
  P.VX(1) = 5;
  P.VY(1) = 0;
  P.X(2) = 0;
  P.Y(2) = 0;
  P.VX(2) = 9;
  P.VY(2) = 0;
  P.Vs = 20;
  M.VXiso = 0;
  P.PictureScale = 5;
  P.TimeStep = 1e-3;
  P.NC0 = 20;
  P.T00 = 5;
  P.v0 = 0.2;
  M.Np = 100;
  M.Kp = 0;
  M.RayCount = 400;
  M.ConeAngle = 160 / P.DegPerRad;
  M.MeanAngle = 90 / P.DegPerRad;
  M.TimeScale = 5;
  ComputeBundleShape(P, M);
}

}  // namespace velmor

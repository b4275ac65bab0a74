// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The retarded-potential experiment: the receiver takes the start of a period
// from the maxima of the electric field of the moving, oscillating source
// charge, optionally evaluated at a delayed reception point.
#include "medium/medium_host.h"

namespace velmor {

struct MediumState;
struct SharedPool;

// The maxima a run looks for; the run ends at the last.
constexpr int kLastMaximum = 20;

// Start steps 2 to 7 before the run, after the fields are in the pool and the
// medium state (bodies, Vs, VXiso, PictureScale, TimeStep, NC0, TimeScale,
// T00, v0). The per-period arrays are initialised even with "Stop" ticked.
// Faults propagate ("Ошибка решения").
void SetUpPotentialExperiment(SharedPool& P, MediumState& M, MediumHost& host, bool stop);

// One step; true when the loop must end after it.
bool PotentialStep(SharedPool& P, MediumState& M, MediumHost& host);

MediumRunEnd RunPotentialSteps(SharedPool& P, MediumState& M, MediumHost& host);

// The field strength at distance R of a charge q moving at speed V2, whose
// velocity makes the angle `velocityAngle` with the line of sight, for the
// signal speed c; an arithmetic fault (R = 0, V2 ≥ c) is a compute fault.
double MovingChargeField(double fieldScale, double q, double R, double V2, double c,
                         double velocityAngle);

}  // namespace velmor

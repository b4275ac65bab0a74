// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ray-bundle experiment: the start of every conventional period leaves
// the moving source as a fan of rays through the layered medium, and the
// step in which two neighbouring rays straddle the moving receiver is the
// reception of that period. State: the shared pool (bodies, clock, per-period
// arrays) and the medium state (rays, medium, frame conversion).
#include <string>

#include "medium/medium_host.h"

namespace velmor {

struct MediumState;
struct SharedPool;

// The precondition message of a start with a source at rest or moving left.
extern const char* const kSourceDirectionMessage;
// The question after a reception without "Auto".
extern const char* const kContinueExperiment;

enum class BundleSetUp { Ready, SourceNotMovingRight };

// Start steps 2 to 9, after the fields are in the pool and the medium state
// (bodies, Vs, VXiso, PictureScale, TimeStep, NC0, T00, v0, the bundle's
// shape). `stop` is the "Stop" box. Faults propagate ("Ошибка решения").
BundleSetUp SetUpBundleExperiment(SharedPool& P, MediumState& M, MediumHost& host, bool stop);

// One step; true when the loop must end after it. Faults propagate.
bool BundleStep(SharedPool& P, MediumState& M, MediumHost& host);

// The step loop: ends after a step with the stop flag set, on a fault, or
// when the yield says the window or program is going.
MediumRunEnd RunBundleSteps(SharedPool& P, MediumState& M, MediumHost& host);

// The late-bundle warning for the reception of period p, with its question.
std::string LateBundleWarning(double Tn1p, double Tn2next);

}  // namespace velmor

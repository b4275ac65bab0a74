// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Doppler frequency the medium experiments set beside the observed one.
namespace velmor {

// v0·(1 − cos(Q1)·V1/c1)/(1 − cos(Q2)·V2/c2): c1 and c2 are the signal
// speeds at the receiver's and the source's end. Under "СТО" the value is
// multiplied by √(1 − V2²/c²)/√(1 − V1²/c²), with c the speed for density 1.
// Angles in radians; arithmetic faults are compute faults.
double MediumDoppler(double v0, double Q1, double Q2, double V1, double V2, double c1, double c2,
                     double c, bool relativistic);

}  // namespace velmor

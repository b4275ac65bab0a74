// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small geometry helpers every workbench uses. They read Vs, Pi and DegPerRad
// from the pool; the signal-time helpers leave their coordinate differences
// in the pool's DeltaX and DeltaY.
namespace velmor {

struct SharedPool;

// Time a signal leaving the fixed point (Xb, Yb) at time 0 needs to reach the
// point that is at (Xa, Ya) at time 0 and moves with (VX, VY). The first one
// prefers the smaller root, the second the larger one.
double SignalTimeToMovingPoint(SharedPool& pool, double Xa, double Ya, double Xb, double Yb,
                               double VX, double VY);
double SignalTimeFromMovingPoint(SharedPool& pool, double Xa, double Ya, double Xb, double Yb,
                                 double VX, double VY);

// arctan(x / (1 - x^2)^0.5): |x| = 1 divides by zero, |x| > 1 is a power of a
// negative number; both are faults.
double ArcSin(double x);

// Direction of (x, y) from +X counter-clockwise: degrees in [0, 360), radians
// in [0, 2*Pi); 0 for the null vector.
double AngleDeg(const SharedPool& pool, double x, double y);
double AngleRad(const SharedPool& pool, double x, double y);

}  // namespace velmor

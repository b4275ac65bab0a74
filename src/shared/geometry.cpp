// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/geometry.h"

#include <cmath>

#include "shared/checked_math.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

struct Roots {
  double minusRoot;  // (-2s - sqrt(E)) / (2F)
  double plusRoot;   // (-2s + sqrt(E)) / (2F)
};

Roots SignalTimeRoots(SharedPool& pool, double Xa, double Ya, double Xb, double Yb, double VX,
                      double VY) {
  pool.DeltaX = Chk(Xa - Xb);
  pool.DeltaY = Chk(Ya - Yb);
  const double vs = pool.Vs;
  const double F = Chk(VX * VX + VY * VY - vs * vs);
  const double D = Chk(pool.DeltaX * pool.DeltaX + pool.DeltaY * pool.DeltaY);
  const double s = Chk(pool.DeltaX * VX + pool.DeltaY * VY);
  const double E = Chk(4 * s * s - 4 * F * D);
  const double root = CheckedSqrt(E);
  return {CheckedDiv(-2 * s - root, 2 * F), CheckedDiv(-2 * s + root, 2 * F)};
}

}  // namespace

double SignalTimeToMovingPoint(SharedPool& pool, double Xa, double Ya, double Xb, double Yb,
                               double VX, double VY) {
  const Roots r = SignalTimeRoots(pool, Xa, Ya, Xb, Yb, VX, VY);
  return r.minusRoot >= 0 ? r.minusRoot : r.plusRoot;
}

double SignalTimeFromMovingPoint(SharedPool& pool, double Xa, double Ya, double Xb, double Yb,
                                 double VX, double VY) {
  const Roots r = SignalTimeRoots(pool, Xa, Ya, Xb, Yb, VX, VY);
  return r.plusRoot >= 0 ? r.plusRoot : r.minusRoot;
}

double ArcSin(double x) {
  const double denom = CheckedPow(Chk(1 - x * x), 0.5);
  return std::atan(CheckedDiv(x, denom));
}

double AngleDeg(const SharedPool& pool, double x, double y) {
  double r = 90;
  if (y < 0) r = 270;
  if (x != 0) {
    // For finite arguments y / x may overflow to an infinity; its
    // arctangent is still the right direction, so this never faults.
    r = std::atan(y / x) * pool.DegPerRad;
    if (x < 0) {
      r = r + 180;
    } else if (y < 0) {
      r = r + 360;
    }
  }
  if (x == 0 && y == 0) return 0;
  return r;
}

double AngleRad(const SharedPool& pool, double x, double y) {
  double r = pool.Pi / 2;
  if (y < 0) r = 3 * pool.Pi / 2;
  if (x != 0) {
    r = std::atan(y / x);
    if (x < 0) {
      r = r + pool.Pi;
    } else if (y < 0) {
      r = r + 2 * pool.Pi;
    }
  }
  if (x == 0 && y == 0) return 0;
  return r;
}

}  // namespace velmor

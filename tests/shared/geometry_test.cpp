// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shared/bounded_array.h"
#include "shared/checked_math.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_engine.h"

namespace velmor {
namespace {

SharedPool MakePool(double vs) {
  SharedPool p;
  SetStartupConstants(p);
  p.Vs = vs;
  return p;
}

TEST(AngleDeg, AllQuadrantsAndAxes) {
  const SharedPool p = MakePool(20);
  EXPECT_EQ(AngleDeg(p, 0, 0), 0);
  EXPECT_EQ(AngleDeg(p, 0, 5), 90);
  EXPECT_EQ(AngleDeg(p, 0, -5), 270);
  EXPECT_DOUBLE_EQ(AngleDeg(p, -1, 0), 180);
  EXPECT_NEAR(AngleDeg(p, 1, -1), 315, 1e-12);
  EXPECT_NEAR(AngleDeg(p, -1, -1), 225, 1e-12);
  // The Pi literal puts a few units of the last digits off 45.
  EXPECT_NEAR(AngleDeg(p, 1, 1), 45, 1e-12);
  EXPECT_NEAR(AngleDeg(p, -1, 1), 135, 1e-12);
  // Finite arguments never fault, even when y/x overflows.
  EXPECT_NEAR(AngleDeg(p, 1e-300, 1e300), 90, 1e-9);
}

TEST(AngleRad, UsesThePoolPi) {
  SharedPool p = MakePool(20);
  EXPECT_EQ(AngleRad(p, 1, 0), 0);
  EXPECT_EQ(AngleRad(p, 0, 1), p.Pi / 2);
  EXPECT_EQ(AngleRad(p, 0, -1), 3 * p.Pi / 2);
  EXPECT_DOUBLE_EQ(AngleRad(p, -1, 0), p.Pi + std::atan(-0.0));
  p.Pi = 3.141592654;  // the frame window's Pi
  EXPECT_EQ(AngleRad(p, 0, 1), 3.141592654 / 2);
}

TEST(SignalTime, RecedingPointAndDeltas) {
  SharedPool p = MakePool(20);
  // From (0,0) to a point at (10,0) receding along X at 5 m/s: 10/15 s.
  EXPECT_DOUBLE_EQ(SignalTimeToMovingPoint(p, 10, 0, 0, 0, 5, 0), 10.0 / 15);
  EXPECT_EQ(p.DeltaX, 10);
  EXPECT_EQ(p.DeltaY, 0);
  EXPECT_DOUBLE_EQ(SignalTimeFromMovingPoint(p, 10, 0, 0, 0, 5, 0), 10.0 / 15);
  EXPECT_EQ(SignalTimeToMovingPoint(p, 3, 4, 3, 4, 1, 1), 0);
  EXPECT_EQ(SignalTimeFromMovingPoint(p, 3, 4, 3, 4, 1, 1), 0);
  SignalTimeFromMovingPoint(p, 7, -2, 1, 1, 0, 0);
  EXPECT_EQ(p.DeltaX, 6);
  EXPECT_EQ(p.DeltaY, -3);
}

TEST(SignalTime, FasterThanSignalPicksDifferentRoots) {
  SharedPool p = MakePool(10);
  // A point 10 m ahead approaching the origin at 20 m/s:
  // F = 400 - 100 = 300, s = 10 * -20 = -200, D = 100:
  // 300 t^2 - 400 t + 100 = 0 -> t = 1/3 or 1.
  EXPECT_DOUBLE_EQ(SignalTimeToMovingPoint(p, 10, 0, 0, 0, -20, 0), 1.0 / 3);
  EXPECT_DOUBLE_EQ(SignalTimeFromMovingPoint(p, 10, 0, 0, 0, -20, 0), 1.0);
}

TEST(SignalTime, FaultsAsTheArithmeticDoes) {
  SharedPool p = MakePool(5);
  // Exactly as fast as the signal: F = 0.
  EXPECT_THROW(SignalTimeToMovingPoint(p, 10, 0, 0, 0, 5, 0), ComputeFault);
  // Moving sideways faster than the signal: E = -4 * 11 * 100 < 0, no root.
  EXPECT_THROW(SignalTimeFromMovingPoint(p, 10, 0, 0, 0, 0, 6), ComputeFault);
}

TEST(ArcSin, FaultsAtAndBeyondOne) {
  EXPECT_DOUBLE_EQ(ArcSin(0.5), std::asin(0.5));
  EXPECT_DOUBLE_EQ(ArcSin(-0.5), std::asin(-0.5));
  EXPECT_EQ(ArcSin(0), 0);
  EXPECT_THROW(ArcSin(1), ComputeFault);
  EXPECT_THROW(ArcSin(-1), ComputeFault);
  EXPECT_THROW(ArcSin(1.5), ComputeFault);
}

TEST(CheckedMath, FaultsInsteadOfNanOrInfinity) {
  EXPECT_THROW(CheckedDiv(1, 0), ComputeFault);
  EXPECT_THROW(CheckedDiv(0, 0), ComputeFault);
  EXPECT_THROW(CheckedDiv(1e308, 1e-308), ComputeFault);
  EXPECT_EQ(CheckedDiv(1, 4), 0.25);
  EXPECT_THROW(CheckedSqrt(-1e-300), ComputeFault);
  EXPECT_EQ(CheckedSqrt(0), 0);
  EXPECT_THROW(CheckedPow(-2, 0.5), ComputeFault);
  EXPECT_EQ(CheckedPow(-2, 2), 4);
  EXPECT_THROW(Chk(1e308 * 10), ComputeFault);
  EXPECT_EQ(ToWhole32(2.5), 2);
  EXPECT_THROW(ToWhole32(3e9), ComputeFault);
}

TEST(BoundedArray, OwnBoundsCheckedOnEveryAccess) {
  BoundedArray<double> an(1, 20);
  EXPECT_EQ(an(1), 0);
  an(20) = 5;
  EXPECT_EQ(an(20), 5);
  EXPECT_THROW(an(0), ComputeFault);
  EXPECT_THROW(an(21), ComputeFault);
  an.Redim(0, 2);
  EXPECT_EQ(an(0), 0);
  EXPECT_THROW(an(3), ComputeFault);
  BoundedArray<int> empty;
  EXPECT_THROW(empty(0), ComputeFault);
}

}  // namespace
}  // namespace velmor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/ray_bundle.h"

#include <cmath>

#include "medium/medium_state.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr Rgb kBundleRay = RGB(0, 255, 255);
constexpr Rgb kSearchRay = RGB(0, 0, 250);

// The hot loop: one step of rays 0..RayCount. Everything it touches per ray
// sits in plain arrays; the faults the arithmetic can raise are checked as
// they happen, so a fault leaves the rays before it moved and the rest not.
template <DensityLaw L, bool kBundle, bool kDraw>
RayStepResult Step(SharedPool& P, MediumState& M, Canvas* canvas) {
  RayStepResult r;
  const int n = M.Rays();
  double* const X = M.RayX.data();
  double* const Y = M.RayY.data();
  double* const S = M.RaySin.data();
  double* const C = M.RayCos.data();
  double* const D = M.RayDensity.data();
  std::int16_t* const Dir = M.RayDirY.data();

  const double Y2 = P.Y(2);
  const double X1 = P.X(1);
  const double Y1 = P.Y(1);
  const double LT = M.LayerThickness;
  const double Np = M.Np;
  const double Kp = M.Kp;
  const double Vs = P.Vs;
  const double dt = P.TimeStep;
  const double scale = P.PictureScale;
  const double skipAbove = Np + (kBundle ? 20 : 10);
  double local = M.LocalSpeed;
  double prevLocal = M.PrevLocalSpeed;
  double prevMoveX = M.PrevMoveX;
  double prevMoveY = M.PrevMoveY;
  int frontState = M.FrontState;
  double* vs2 = nullptr;

  if (LT == 0) RaiseComputeFault("division by zero");
  for (int i = 0; i < n; ++i) {
    const double x = X[i];
    const double y = Y[i];
    // Layer, counted upward from the source's present height.
    const double N = std::trunc((y - Y2) / LT) + 1;
    if (!(N <= skipAbove)) continue;
    const double Pd = Chk(DensityByLaw<L>(Kp, Np, N));
    if (Pd < 0.1) continue;
    // The speed in that layer.
    prevLocal = local;
    local = Chk(Vs / Pd);
    double step = Chk(local * dt);
    if constexpr (kBundle) {
      if (N == 1) {
        if (!vs2) vs2 = &M.Vs2(P.PeriodNumber);
        *vs2 = local;
      }
    }
    // Refraction, or total reflection into a thinner layer.
    const double rd = D[i];
    double density = Pd;
    bool change;
    if constexpr (kBundle) {
      change = rd != Pd;
    } else {
      change = std::fabs(rd - Pd) > 1e-6;
    }
    if (change) {
      if (rd < Pd) {
        S[i] = Chk(rd * S[i] / Pd);
        C[i] = CheckedSqrt(1 - S[i] * S[i]);
      } else if (rd > Pd) {
        const double ratio = Pd / rd;
        const double a = std::fabs(S[i]);
        if (ratio > a) {
          S[i] = Chk(rd * S[i] / Pd);
          C[i] = CheckedSqrt(1 - S[i] * S[i]);
        } else if (ratio < a) {
          // A reflected ray never enters the thinner layer: it goes back
          // through its own at that layer's speed, so it meets its own
          // density again unrefracted and leaves at the angle it came in.
          Dir[i] = -1;
          density = rd;
          local = Chk(Vs / rd);
          step = Chk(local * dt);
        }
      }
    }
    // Move.
    const double xn = Chk(x + step * S[i]);
    const double yn = Chk(y + Dir[i] * step * C[i]);
    if constexpr (kDraw) {
      canvas->Line(CheckedDiv(x, scale), CheckedDiv(y, scale), CheckedDiv(xn, scale),
                   CheckedDiv(yn, scale), kBundle ? kBundleRay : kSearchRay);
    }
    // The front passes the receiver between rays i − 1 and i.
    if constexpr (kBundle) {
      if (i > 0) {
        if (X[i - 1] < X1 && X1 < xn) {
          if (Y[i - 1] > Y1) frontState = 1;
          if (yn > Y1) frontState = 2;
        }
        if (frontState == 1 || frontState == 2) {
          r.receivingRay = i;
          r.moveX = xn - x;
          r.moveY = yn - y;
          r.prevMoveX = prevMoveX;
          r.prevMoveY = prevMoveY;
          r.prevLocalSpeed = prevLocal;
        }
      }
    }
    // Commit.
    D[i] = density;
    X[i] = xn;
    Y[i] = yn;
    prevMoveX = xn - x;
    prevMoveY = yn - y;
    if constexpr (kBundle) {
      if (r.receivingRay >= 0) break;
    } else {
      if (i > 0 && Y[i - 1] > Y1 && X[i - 1] < X1 && X1 < X[i]) r.passed = true;
    }
  }
  M.LocalSpeed = local;
  M.PrevLocalSpeed = prevLocal;
  M.PrevMoveX = prevMoveX;
  M.PrevMoveY = prevMoveY;
  M.FrontState = frontState;
  return r;
}

template <DensityLaw L>
RayStepResult StepByRules(SharedPool& P, MediumState& M, const RayStepInput& in) {
  if (in.bundle) {
    return in.canvas ? Step<L, true, true>(P, M, in.canvas) : Step<L, true, false>(P, M, nullptr);
  }
  return in.canvas ? Step<L, false, true>(P, M, in.canvas) : Step<L, false, false>(P, M, nullptr);
}

}  // namespace

void ComputeBundleShape(SharedPool& P, MediumState& M) {
  if (M.RayCount < 1 || M.RayCount > kMaxRayCount) RaiseInputFault("ray count");
  if (M.Np < 1 || M.Np > kMaxLayers) RaiseInputFault("layer count");
  M.BundleStartAngle = Chk(P.Pi / 2 - M.MeanAngle - M.ConeAngle / 2);
  M.RayAngleStep = CheckedDiv(M.ConeAngle, M.RayCount);
  M.LayerThickness = CheckedDiv(Chk(P.Y(1) - P.Y(2)), M.Np);
  // Layers of no thickness (or thinner than any double) cannot be counted.
  if (M.LayerThickness == 0) RaiseInputFault("zero layer thickness");
}

void ConvertFrame(SharedPool& P, MediumState& M, bool relativistic) {
  P.CurrentTime = 0;
  M.T0 = 0;
  M.T1 = 0;
  M.kT1 = 1;
  M.kT2 = 1;
  M.kTiso = 1;
  M.SourceStartX = P.X(2);
  const double V = M.VXiso;
  if (!relativistic) {
    P.VX(1) = Chk(P.VX(1) - V);
    P.VX(2) = Chk(P.VX(2) - V);
    return;
  }
  const double c = P.Vs;
  const double c2 = Chk(c * c);
  // Lengths along X in the moving frame.
  M.kTiso = CheckedSqrt(Chk(1 - CheckedDiv(Chk(V * V), c2)));
  const double X10 = P.X(1);
  const double X20 = P.X(2);
  P.X(1) = CheckedDiv(P.X(1), M.kTiso);
  P.X(2) = CheckedDiv(P.X(2), M.kTiso);
  // Velocities, the Y components with the X speeds before the change.
  const double d1 = Chk(1 - CheckedDiv(Chk(V * P.VX(1)), c2));
  const double d2 = Chk(1 - CheckedDiv(Chk(V * P.VX(2)), c2));
  P.VY(1) = CheckedDiv(Chk(M.kTiso * P.VY(1)), d1);
  P.VY(2) = CheckedDiv(Chk(M.kTiso * P.VY(2)), d2);
  P.VX(1) = CheckedDiv(Chk(P.VX(1) - V), d1);
  P.VX(2) = CheckedDiv(Chk(P.VX(2) - V), d2);
  // Clocks.
  const double T1 = CheckedDiv(-CheckedDiv(Chk(V * X10), c2), M.kTiso);
  const double T2 = CheckedDiv(-CheckedDiv(Chk(V * X20), c2), M.kTiso);
  const double dT = Chk(T1 - T2);
  // The bodies' own clock rates.
  M.kT1 = CheckedSqrt(Chk(1 - CheckedDiv(Chk(P.VX(1) * P.VX(1)), c2)));
  M.kT2 = CheckedSqrt(Chk(1 - CheckedDiv(Chk(P.VX(2) * P.VX(2)), c2)));
  // The source moves on to the receiver's clock origin.
  P.X(2) = Chk(P.X(2) + Chk(dT * P.VX(2)));
  P.Y(2) = Chk(P.Y(2) + Chk(dT * P.VY(2)));
  P.CurrentTime = T1;
  M.T0 = T1;
  M.T1 = T1;
  M.SourceStartX = P.X(2);
}

void LaunchBundle(SharedPool& P, MediumState& M, DensityLaw law) {
  const double x2 = P.X(2);
  const double y2 = P.Y(2);
  const double density = LayerDensity(law, M.Kp, M.Np, 1);
  const int n = M.Rays();
  for (int i = 0; i < n; ++i) {
    const double a = Chk(M.BundleStartAngle + i * M.RayAngleStep);
    M.RayLaunchAngle[i] = a;
    M.RaySin[i] = std::sin(a);
    M.RayCos[i] = std::sqrt(1 - M.RaySin[i] * M.RaySin[i]);
    M.RayX[i] = x2;
    M.RayY[i] = y2;
    M.RayDirY[i] = 1;
    M.RayDensity[i] = density;
  }
}

RayStepResult PropagateRays(SharedPool& P, MediumState& M, const RayStepInput& in) {
  switch (in.law) {
    case DensityLaw::Linear:
      return StepByRules<DensityLaw::Linear>(P, M, in);
    case DensityLaw::Square:
      return StepByRules<DensityLaw::Square>(P, M, in);
    case DensityLaw::FromTop:
      return StepByRules<DensityLaw::FromTop>(P, M, in);
    case DensityLaw::FromTopSquare:
      break;
  }
  return StepByRules<DensityLaw::FromTopSquare>(P, M, in);
}

}  // namespace velmor

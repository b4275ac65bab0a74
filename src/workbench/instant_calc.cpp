// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/instant_calc.h"

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/geometry.h"
#include "shared/shared_pool.h"

namespace velmor {

void CalculateByX(SharedPool& P, const DopplerChoice& choice, const ByXInputs& in,
                  DopplerDisplay& display) {
  P.v0 = in.input;
  P.Vs = in.Vs;
  P.V1 = 0;
  P.V2 = 0;
  const double q = CheckedDiv(in.Q, P.DegPerRad);
  if (in.mode == GraphAbscissa::VX1) P.V1 = Chk(in.Vs * in.X);
  if (in.mode == GraphAbscissa::VX2) P.V2 = Chk(in.Vs * in.X);
  P.V12 = Chk(P.V1 - P.V2);
  EvaluateDopplerFormula(P, DopplerMode::Single, choice, in.input, DopplerAngles{q, q, q, 0},
                         display);
}

DopplerAngles CalculateByCoordinates(Canvas& c, SharedPool& P, const DopplerChoice& choice,
                                     const ByCoordinatesInputs& in, DopplerDisplay& display) {
  P.Vs = in.Vs;
  P.v0 = in.input;
  double X1 = in.X1, Y1 = in.Y1, VX1 = in.VX1, VY1 = in.VY1;
  double X2 = in.X2, Y2 = in.Y2, VX2 = in.VX2, VY2 = in.VY2;
  const double Vs = in.Vs;
  if (choice.formula == DopplerFormula::Sto) {
    // Over into the frame moving along X with u: the source's frame for
    // (4-1), the receiver's for (4-2) and (4-3).
    double u = 0;
    const StoVariant variant = DecidingVariant(choice);
    if (variant == StoVariant::V41) u = VX2;
    if (variant == StoVariant::V42 || variant == StoVariant::V43) u = VX1;
    const double vs2 = Chk(Vs * Vs);
    const double Gu = CheckedSqrt(Chk(1 - Chk(CheckedDiv(u, Vs) * CheckedDiv(u, Vs))));
    const double d1 = Chk(1 - CheckedDiv(Chk(u * VX1), vs2));
    const double d2 = Chk(1 - CheckedDiv(Chk(u * VX2), vs2));
    VY1 = CheckedDiv(Chk(Gu * VY1), d1);
    VY2 = CheckedDiv(Chk(Gu * VY2), d2);
    VX1 = CheckedDiv(Chk(VX1 - u), d1);
    VX2 = CheckedDiv(Chk(VX2 - u), d2);
    const double t1 = CheckedDiv(-CheckedDiv(Chk(u * X1), vs2), Gu);
    const double t2 = CheckedDiv(-CheckedDiv(Chk(u * X2), vs2), Gu);
    const double dt = Chk(t1 - t2);
    X1 = CheckedDiv(X1, Gu);
    X2 = CheckedDiv(X2, Gu);
    X2 = Chk(X2 + Chk(dt * VX2));
    Y2 = Chk(Y2 + Chk(dt * VY2));
  }
  P.X(1) = X1;
  P.Y(1) = Y1;
  P.VX(1) = VX1;
  P.VY(1) = VY1;
  P.X(2) = X2;
  P.Y(2) = Y2;
  P.VX(2) = VX2;
  P.VY(2) = VY2;
  P.V1 = CheckedSqrt(Chk(VX1 * VX1 + VY1 * VY1));
  P.V2 = CheckedSqrt(Chk(VX2 * VX2 + VY2 * VY2));
  P.V12 = CheckedSqrt(Chk(Chk((VX1 - VX2) * (VX1 - VX2)) + Chk((VY1 - VY2) * (VY1 - VY2))));
  if (in.delay) {
    // The source back to where the signal arriving now was sent from.
    const double tau = SignalTimeToMovingPoint(P, X1, Y1, X2, Y2, VX2, VY2);
    X2 = Chk(X2 - Chk(tau * VX2));
    Y2 = Chk(Y2 - Chk(tau * VY2));
    P.X(2) = X2;
    P.Y(2) = Y2;
  }
  const double K = P.DegPerRad;
  DopplerAngles q;
  q.Q3 = CheckedDiv(AngleDeg(P, Chk(X1 - X2), Chk(Y1 - Y2)), K);
  const double W1 = CheckedDiv(AngleDeg(P, VX1, VY1), K);
  const double W2 = CheckedDiv(AngleDeg(P, VX2, VY2), K);
  const double W12 = CheckedDiv(AngleDeg(P, Chk(VX1 - VX2), Chk(VY1 - VY2)), K);
  q.Q1 = W1 - q.Q3;
  q.Q2 = W2 - q.Q3;
  q.Q12 = W12 - q.Q3;
  EvaluateDopplerFormula(P, DopplerMode::Single, choice, in.input, q, display);
  // The bodies, the line of sight and the velocities (MV = 2 m/s a unit).
  const double ML = in.ML, MV = 2;
  const double x1 = CheckedDiv(X1, ML), y1 = CheckedDiv(Y1, ML);
  const double x2 = CheckedDiv(X2, ML), y2 = CheckedDiv(Y2, ML);
  c.Circle(x1, y1, 0.2, RGB(250, 0, 0));
  c.Circle(x2, y2, 0.2, RGB(250, 0, 0));
  c.Line(x1, y1, x2, y2, kColour1);
  c.SetLineWidth(2);
  c.Line(x1, y1, Chk(x1 + VX1 / MV), Chk(y1 + VY1 / MV), RGB(0, 0, 250));
  c.Line(x2, y2, Chk(x2 + VX2 / MV), Chk(y2 + VY2 / MV), RGB(0, 0, 250));
  if (choice.formula == DopplerFormula::Sto || choice.formula == DopplerFormula::Kto) {
    c.Line(x1, y1, Chk(x1 + Chk(VX1 - VX2) / MV), Chk(y1 + Chk(VY1 - VY2) / MV), RGB(0, 240, 0));
  }
  c.SetLineWidth(1);
  return q;
}

}  // namespace velmor

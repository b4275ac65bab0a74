// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/period_setup.h"

#include "shared/checked_math.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_canvas.h"

namespace velmor {

const char* const kPeriodWarning =
    "Расчетный период не должен быть меньше времени распространения сигнала";

void ReceiverBackToStart(SharedPool& P) {
  const double T00 = P.T00;
  P.X(1) = Chk(P.X(1) - T00 * P.VX(1));
  P.Y(1) = Chk(P.Y(1) - T00 * P.VY(1));
  P.Xn1(0) = P.X(1);
  P.Yn1(0) = P.Y(1);
  P.Tn1(0) = 0;
}

bool SetConventionalPeriod(SharedPool& P, PeriodSetupHost& host) {
  const double T00 = P.T00;
  // Source back to t = 0.
  P.X(2) = Chk(P.X(2) - T00 * P.VX(2));
  P.Y(2) = Chk(P.Y(2) - T00 * P.VY(2));
  // Receiver at t = T00 against source at t = 0, enlarged a little so that
  // a period exactly equal to the travel time passes the check.
  P.DeltaX = Chk(P.X(1) - P.X(2));
  P.DeltaY = Chk(P.Y(1) - P.Y(2));
  const double D0 = Chk(CheckedSqrt(Chk(P.DeltaX * P.DeltaX + P.DeltaY * P.DeltaY)) * 1.0000000001);
  // The first signal's travel time.
  const double travel = CheckedDiv(D0, P.Vs);
  host.ShowTravelTime(travel);
  // Start entries of the first periods.
  P.Xn1(1) = P.X(1);
  P.Yn1(1) = P.Y(1);
  P.Tn1(1) = T00;
  P.Xn2(1) = P.X(2);
  P.Yn2(1) = P.Y(2);
  P.Xn2(2) = Chk(T00 * P.VX(2) + P.X(2));
  P.Yn2(2) = Chk(T00 * P.VY(2) + P.Y(2));
  P.Tn2(2) = T00;
  P.Xn2(0) = P.X(2);
  P.Yn2(0) = P.Y(2);
  ReceiverBackToStart(P);
  // Transmitter.
  P.v0 = 0.2;
  P.Nv0 = CheckedDiv(0.2, CheckedDiv(1, T00));
  host.ShowNv0(P.Nv0);
  // The start picture.
  InitCanvas(host.Picture());
  DrawStartPicture(host.Picture(), P, host.Labels());
  // A period shorter than the travel time deserves the warning.
  return travel > T00 * 1.0000001;
}

}  // namespace velmor

// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/experiment_engine.h"

#include <climits>

#include "shared/checked_math.h"
#include "shared/geometry.h"
#include "shared/shared_pool.h"
#include "workbench/experiment_canvas.h"
#include "workbench/period_setup.h"

namespace velmor {

const char* const kRangeWarning =
    "ПРОГРАММА РАБОТАЕТ НЕ КООРЕКТНО\n"
    "т.к. расчетный период сейчас меньше времени распространения сигнала\n";
const char* const kContinueQuestion = "ПРОДОЛЖИТЬ ЭКСПЕРИМЕНТ";

void SetUpExperiment(SharedPool& P, ExperimentHost& host) {
  // Fresh arrays.
  P.An.Redim(1, 20);
  for (BoundedArray<double>* a : {&P.Tn2, &P.Xn2, &P.Yn2, &P.Tn1, &P.Xn1, &P.Yn1, &P.Tk1, &P.Xk1,
                                  &P.Yk1, &P.Xk2, &P.Yk2, &P.Qn1, &P.Qn2}) {
    for (int i = 0; i <= 20; ++i) (*a)(i) = 0;
  }
  const double T00 = P.T00;
  // Source back to t = 0.
  P.X(2) = Chk(P.X(2) - T00 * P.VX(2));
  P.Y(2) = Chk(P.Y(2) - T00 * P.VY(2));
  P.Xn2(0) = P.X(2);
  P.Xn2(1) = P.X(2);
  P.Yn2(0) = P.Y(2);
  P.Yn2(1) = P.Y(2);
  // Receiver: typed position is the one at t = T00.
  P.Xn1(1) = P.X(1);
  P.Yn1(1) = P.Y(1);
  ReceiverBackToStart(P);
  // Speeds and signs.
  P.V1 = CheckedSqrt(Chk(P.VX(1) * P.VX(1) + P.VY(1) * P.VY(1)));
  P.V2 = CheckedSqrt(Chk(P.VX(2) * P.VX(2) + P.VY(2) * P.VY(2)));
  P.SignVX1 = P.VX(1) >= 0 ? 1 : -1;
  P.SignVX2 = P.VX(2) >= 0 ? 1 : -1;
  P.SignVY2 = P.VY(2) >= 0 ? 1 : -1;
  // Velocity directions.
  P.QV1 = AngleDeg(P, P.VX(1), P.VY(1));
  P.QV2 = AngleDeg(P, P.VX(2), P.VY(2));
  for (int i = 0; i <= 20; ++i) {
    P.Qn1(i) = P.QV1;
    P.Qn2(i) = P.QV2;
  }
  host.StartReport();
  // Loop state.
  P.StopFlag = 0;
  P.FrontArrived = 0;
  P.RangeCheckArmed = 1;
  P.FrontRadius = 0;
  P.DrawnFrontRadius = 0;
  P.CurrentTime = 0;
  P.LastResetTime = 0;
  P.StepCounter = 0;
  P.PeriodNumber = 1;
  host.ShowPeriodNumber(1);
  // Start entries of every period.
  for (int i = 1; i <= 20; ++i) {
    P.Tn1(i) = Chk(i * T00);
    P.Tn2(i) = Chk((i - 1) * T00);
    P.Xn1(i) = Chk(P.Xn1(0) + i * T00 * P.VX(1));
    P.Yn1(i) = Chk(P.Yn1(0) + i * T00 * P.VY(1));
    P.Xn2(i) = Chk(P.Xn2(1) + (i - 1) * T00 * P.VX(2));
    P.Yn2(i) = Chk(P.Yn2(1) + (i - 1) * T00 * P.VY(2));
  }
}

bool ExperimentStep(SharedPool& P, ExperimentHost& host, RunEnd& end) {
  const int p = P.PeriodNumber;
  const double dt = P.TimeStep;
  P.CurrentTime = Chk(P.CurrentTime + dt);
  if (P.StepCounter == INT_MAX) RaiseComputeFault("overflow");
  P.StepCounter = P.StepCounter + 1;
  // Bodies.
  P.X(1) = Chk(P.X(1) + dt * P.VX(1));
  P.Y(1) = Chk(P.Y(1) + dt * P.VY(1));
  P.X(2) = Chk(P.X(2) + dt * P.VX(2));
  P.Y(2) = Chk(P.Y(2) + dt * P.VY(2));
  // Distance from this period's emission point to the receiver.
  const double ex = P.X(1) - P.Xn2(p);
  const double ey = P.Y(1) - P.Yn2(p);
  const double R = CheckedSqrt(Chk(ex * ex + ey * ey));
  P.SightDistance = R;
  host.ShowSightDistance(R);
  // Range warning, at most once per experiment unless declined.
  if (P.RangeCheckArmed == 1 && CheckedDiv(R, P.Vs) > P.T00) {
    P.ReportText = kRangeWarning;
    if (host.AskYesNo(P.ReportText + kContinueQuestion)) {
      P.RangeCheckArmed = 0;
    } else {
      end = RunEnd::Declined;
      return true;
    }
  }
  // No front before the source has reached the emission point.
  if (P.VX(2) != 0 && P.SignVX2 * P.Xn2(p) > P.SignVX2 * P.X(2)) P.FrontRadius = 0;
  if (P.VX(2) == 0 && P.SignVY2 * P.Yn2(p) > P.SignVY2 * P.Y(2)) P.FrontRadius = 0;
  // The front grows by a step and may have reached the receiver.
  P.FrontRadius = Chk(P.FrontRadius + P.Vs * dt);
  if (P.FrontRadius > R) P.FrontArrived = 1;
  // Reception of period p.
  if (P.FrontArrived != 0) {
    P.Tk1(p - 1) = P.CurrentTime;
    P.Xk1(p - 1) = P.X(1);
    P.Yk1(p - 1) = P.Y(1);
    P.Xk2(p) = P.X(2);
    P.Yk2(p) = P.Y(2);
    if (host.DelayInCoordinates()) {
      P.An(p) = AngleDeg(P, P.Xk1(p - 1) - P.Xn2(p), P.Yk1(p - 1) - P.Yn2(p));
    } else {
      P.An(p) = AngleDeg(P, P.Xn1(p) - P.Xn2(p + 1), P.Yn1(p) - P.Yn2(p + 1));
    }
    P.Qn1(p) = Chk(P.Qn1(p) - P.An(p));
    P.Qn2(p) = Chk(P.Qn2(p) - P.An(p));
    // Only the user's No in manual mode keeps the period: a stop requested
    // by "Остановить" or a single step must not make the next step receive
    // the same period again.
    bool declined = false;
    if (!host.AutoMode()) {
      // Manual mode: jump to the exact start of period p + 1.
      const double t = P.CurrentTime;
      P.CurrentTime = Chk(P.T00 + t - (t - P.LastResetTime));
      P.LastResetTime = P.CurrentTime;
      P.X(1) = P.Xn1(p);
      P.Y(1) = P.Yn1(p);
      P.X(2) = P.Xn2(p + 1);
      P.Y(2) = P.Yn2(p + 1);
      if (!host.AskYesNo(kContinueQuestion)) {
        P.StopFlag = 1;
        declined = true;
      }
    }
    if (!declined) P.PeriodNumber = p + 1;
    host.ShowPeriodNumber(P.PeriodNumber);
    P.FrontArrived = 0;
    P.FrontRadius = 0;
    P.DrawnFrontRadius = 0;
  }
  // Display refresh every NC0 steps. NC0 may have been lowered below the
  // steps already made since the last refresh: refresh then at once, or the
  // display would never refresh again.
  if (P.StepCounter >= P.NC0) {
    host.ShowRefreshFields(P.X(1), P.Y(1), P.X(2), P.Y(2), P.CurrentTime);
    P.StepCounter = 0;
    DrawExperimentRefresh(host.Picture(), P, host.Labels());
  }
  if (P.StopFlag == 1) {
    end = RunEnd::Stopped;
    return true;
  }
  return false;
}

RunEnd RunExperimentSteps(SharedPool& P, ExperimentHost& host) {
  RunEnd end = RunEnd::Stopped;
  try {
    for (;;) {
      if (ExperimentStep(P, host, end)) return end;
      if (!host.Yield()) return RunEnd::Closed;
    }
  } catch (const ComputeFault&) {
    return RunEnd::Fault;
  }
}

}  // namespace velmor

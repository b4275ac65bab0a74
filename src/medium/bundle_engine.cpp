// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/bundle_engine.h"

#include <climits>

#include "medium/bundle_canvas.h"
#include "medium/medium_run.h"
#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/checked_math.h"
#include "shared/geometry.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

const char* const kSourceDirectionMessage =
    "       Этот эксперимент выполняется  \n"
    "       только при движении источника \n"
    "и только при движении его слева направо";
const char* const kContinueExperiment = "ПРОДОЛЖИТЬ ЭКСПЕРИМЕНТ";

namespace {

// The last entry of the per-period arrays.
constexpr int kLastPeriod = 20;

// The reception of period p by the rays k − 1, k.
void Reception(SharedPool& P, MediumState& M, MediumHost& host, const RayStepResult& r) {
  const int p = P.PeriodNumber;
  const int k = r.receivingRay;
  const double t = P.CurrentTime;
  // What the reception records: the speed it arrived at, its times and
  // where the bodies are.
  M.Vs1(p) = r.prevLocalSpeed;
  P.Tn1(p) = t;
  P.Tk1(p) = CheckedDiv(Chk(M.kT1 * t), M.kT2);
  P.Xk1(p) = P.X(1);
  P.Yk1(p) = P.Y(1);
  P.Xk2(p) = P.X(2);
  P.Yk2(p) = P.Y(2);
  // Directions: of arrival, from the last two moves, and of emission,
  // between the launch directions of the two rays that hit.
  const double sight = CheckedDiv(AngleDeg(P, r.moveX, r.moveY), P.DegPerRad);
  const double prevSight = CheckedDiv(AngleDeg(P, r.prevMoveX, r.prevMoveY), P.DegPerRad);
  M.RecvAngle(p) = Chk((prevSight + sight) / 2);
  M.EmitAngle(p) = Chk(P.Pi / 2 - (M.RayLaunchAngle[k] + M.RayLaunchAngle[k - 1]) / 2);
  P.Qn1(p) = Chk(P.QV1 - M.RecvAngle(p));
  P.Qn2(p) = Chk(P.QV2 - M.EmitAngle(p));
  host.Show(Out::Text28, P.Xk1(p));
  host.Show(Out::Text30, P.Yk1(p));
  host.Show(Out::Text29, P.Xn2(p));
  host.Show(Out::Text31, P.Yn2(p));
  // The observed period p − 1 is complete.
  if (p >= 2) {
    const double dT = Chk(P.Tk1(p) - P.Tk1(p - 1));
    host.Show(Out::Text24, CheckedDiv(1, dT));
    host.Show(Out::Text36, Chk((M.EmitAngle(p - 1) + M.EmitAngle(p)) / 2 * P.DegPerRad));
    host.Show(Out::Text39, Chk((M.RecvAngle(p - 1) + M.RecvAngle(p)) / 2 * P.DegPerRad));
    StorePeriodFrequencies(P, M, p - 1, true, host.Relativistic());
    host.Show(Out::Text37, P.v1n(p - 1));
    host.Show(Out::Text38, P.v1k(p - 1));
    host.Show(Out::Text44, P.v1(p - 1));
  }
  // The next bundle should have left already. After the last period
  // there is no next one to miss.
  if (M.WarnArmed == 1 && p + 1 <= kLastPeriod && P.Tn1(p) > P.Tn2(p + 1)) {
    if (!host.Ask("Velmor5", LateBundleWarning(P.Tn1(p), P.Tn2(p + 1)))) P.StopFlag = 1;
    M.WarnArmed = 0;
  }
  host.ShowWhole(Out::Text20, p - 1);
  P.PeriodNumber = p + 1;
}

}  // namespace

std::string LateBundleWarning(double Tn1p, double Tn2next) {
  return std::string("              ПРОГРАММА РАБОТАЕТ НЕ КООРЕКТНО\n") +
         "т.к. период сейчас меньше времени распространения сигнала и поэтому \n" +
         " пучок лучей следующего периода не смог во время начать движение\n" +
         "           Tn1(N)= " + GeneralForm(Tn1p) + "  >   Tn2(N+1)=   " + GeneralForm(Tn2next) +
         "\n" + std::string(24, ' ') + kContinueExperiment;
}

BundleSetUp SetUpBundleExperiment(SharedPool& P, MediumState& M, MediumHost& host, bool stop) {
  M.Prepared = false;
  M.ExperimentKind = kBundleKind;
  M.AllocateRays();
  ConvertFrame(P, M, host.Relativistic());
  if (!(P.VX(2) > 0)) return BundleSetUp::SourceNotMovingRight;
  KeepRunValues(P, M);
  M.SineOmega = Chk(2 * P.Pi * M.Run.v0);
  P.QV1 = CheckedDiv(AngleDeg(P, P.VX(1), P.VY(1)), P.DegPerRad);
  P.QV2 = CheckedDiv(AngleDeg(P, P.VX(2), P.VY(2)), P.DegPerRad);
  // Period i leaves from where the source is after i − 1 periods; nothing
  // has been received yet.
  for (int i = 0; i <= kLastPeriod; ++i) {
    P.Tn2(i) = Chk(Chk((i - 1) * P.T00) + M.T0);
    P.Xn2(i) = Chk(P.X(2) + Chk(Chk((i - 1) * P.T00) * P.VX(2)));
    P.Yn2(i) = Chk(P.Y(2) + Chk(Chk((i - 1) * P.T00) * P.VY(2)));
    P.Tn1(i) = 0;
    P.Xk1(i) = 0;
    P.Yk1(i) = 0;
    P.Tk1(i) = 0;
    P.Qn1(i) = P.QV1;
    P.Qn2(i) = P.QV2;
    M.Vs1(i) = P.Vs;
    M.Vs2(i) = P.Vs;
  }
  LaunchBundle(P, M, host.Law());
  M.ReceiverStartX = P.X(1);
  M.ReceiverStartY = P.Y(1);
  RememberMarkers(P, M);
  SetSpeeds(P);
  M.WarnArmed = 1;
  ReadyRun(P, M, host, stop, 1);
  M.Prepared = true;
  return BundleSetUp::Ready;
}

bool BundleStep(SharedPool& P, MediumState& M, MediumHost& host) {
  const int p = P.PeriodNumber;
  const double dt = P.TimeStep;
  if (P.StepCounter == INT_MAX) RaiseComputeFault("overflow");
  MoveBodies(P);
  P.StepCounter = P.StepCounter + 1;
  const bool drawing = host.Drawing();
  bool received = false;
  // The bundle of period p waits for the source to reach its point.
  if (!(P.X(2) < P.Xn2(p))) {
    // Launch, within a step of the emission point.
    const double launchReach = Chk(Chk(1.01 * dt) * P.VX(2));
    if (P.Xn2(p) < P.X(2) && P.X(2) < Chk(P.Xn2(p) + launchReach)) {
      LaunchBundle(P, M, host.Law());
    }
    RayStepInput in;
    in.law = host.Law();
    in.bundle = true;
    if (drawing && RefreshDue(P)) in.canvas = &host.Picture();
    const RayStepResult r = PropagateRays(P, M, in);
    if (r.receivingRay >= 0) Reception(P, M, host, r);
    // The front has reached the receiver.
    if (M.FrontState == 1 || M.FrontState == 2) {
      M.FrontState = 0;
      received = true;
      if (drawing) DrawBundleReceptions(host.Picture(), P);
    }
    // The run stops after the last period, or when the user, asked without
    // "Auto", says No.
    if (received) {
      if (P.PeriodNumber == kLastPeriod + 1) P.StopFlag = 1;
      if (!host.AutoMode() && !host.Ask("Velmor", kContinueExperiment)) P.StopFlag = 1;
    }
  }
  // Refresh.
  if (RefreshDue(P)) {
    P.StepCounter = 0;
    ShowBodyFields(P, host);
    if (drawing) DrawBundleRefresh(host.Picture(), P, M);
  }
  return P.StopFlag == 1;
}

MediumRunEnd RunBundleSteps(SharedPool& P, MediumState& M, MediumHost& host) {
  return RunMediumLoop(host, [&] { return BundleStep(P, M, host); });
}

}  // namespace velmor

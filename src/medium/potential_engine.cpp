// SPDX-License-Identifier: GPL-3.0-or-later
#include "medium/potential_engine.h"

#include <climits>
#include <cmath>

#include "medium/bundle_engine.h"
#include "medium/medium_run.h"
#include "medium/medium_state.h"
#include "medium/ray_bundle.h"
#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/colours.h"
#include "shared/geometry.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

constexpr Rgb kSightLine = kRed;
constexpr Rgb kMarker = kBlue;
constexpr Rgb kFieldNow = kRed;
constexpr Rgb kFieldDelayed = kBlue;
constexpr Rgb kDelay = RGB(250, 0, 250);
constexpr double kMark = 0.2;

// A maximum has just passed; it starts period p.
void RecordMaximum(SharedPool& P, MediumState& M, MediumHost& host, int p) {
  const double t = P.CurrentTime;
  const double tau = M.Delay;
  P.PeriodNumber = p;
  M.RecvAngle(p) = M.SightAngle;
  P.Qn1(p) = Chk(P.QV1 - M.SightAngle);
  P.Qn2(p) = Chk(P.QV2 - M.SightAngle);
  P.Tn2(p) = t;
  P.Xn2(p) = P.X(2);
  P.Yn2(p) = P.Y(2);
  P.Xk1(p) = M.FieldPointX;
  P.Yk1(p) = M.FieldPointY;
  P.Tn1(p) = Chk(t + tau);
  P.Tk1(p) = Chk(Chk(t + tau) * M.kT1);
  host.ShowWhole(Out::Text20, p - 1);
  host.Show(Out::Text28, P.Xk1(p));
  host.Show(Out::Text30, P.Yk1(p));
  host.Show(Out::Text29, P.Xn2(p));
  host.Show(Out::Text31, P.Yn2(p));
  if (host.Drawing()) {
    const double S = P.PictureScale;
    host.Picture().Line(CheckedDiv(M.FieldPointX, S), CheckedDiv(M.FieldPointY, S),
                        CheckedDiv(P.X(2), S), CheckedDiv(P.Y(2), S), kSightLine);
  }
  if (p >= 2) {
    const int i = p - 1;
    StorePeriodFrequencies(P, M, i, false, host.Relativistic());
    host.Show(Out::Text37, P.v1n(i));
    host.Show(Out::Text38, P.v1k(i));
    host.Show(Out::Text44, P.v1(i));
    host.Show(Out::Text24, CheckedDiv(1, Chk(P.Tk1(p) - P.Tk1(p - 1))));
    const double recv = Chk(M.RecvAngle(p - 1) * P.DegPerRad);
    host.Show(Out::Text36, recv);
    host.Show(Out::Text39, recv);
  }
}

void DrawPotentialRefresh(SharedPool& P, MediumState& M, MediumHost& host) {
  Canvas& c = host.Picture();
  const double S = P.PictureScale;
  auto s = [S](double v) { return CheckedDiv(v, S); };
  c.Circle(s(M.PrevX1), s(M.PrevY1), kMark, kWhite);
  c.Circle(s(M.PrevX2), s(M.PrevY2), kMark, kWhite);
  c.Circle(s(P.X(1)), s(P.Y(1)), kMark, kMarker);
  c.Circle(s(P.X(2)), s(P.Y(2)), kMark, kMarker);
  RememberMarkers(P, M);
  const double t = P.CurrentTime;
  const double ts = M.TimeScale;
  const double x = CheckedDiv(t, ts);
  c.PSet(x, Chk(std::sin(Chk(M.SineOmega * t)) - 2), kGreen);
  if (host.Delay() == FieldDelay::None) {
    c.PSet(x, Chk(M.FieldE + 4), kFieldNow);
  } else {
    c.PSet(CheckedDiv(Chk(t + M.Delay), ts), Chk(M.FieldE + 4), kFieldDelayed);
  }
  c.PSet(x, M.Delay, kDelay);
}

}  // namespace

double MovingChargeField(double fieldScale, double q, double R, double V2, double c,
                         double velocityAngle) {
  const double c2 = Chk(c * c);
  const double sinA = std::sin(velocityAngle);
  const double contraction = Chk(1 - CheckedDiv(Chk(V2 * V2), c2));
  const double tilt = Chk(1 - CheckedDiv(Chk(Chk(V2 * V2) * (sinA * sinA)), c2));
  const double near = CheckedDiv(Chk(fieldScale * q), Chk(R * R));
  return CheckedDiv(Chk(near * contraction), CheckedPow(tilt, 1.5));
}

void SetUpPotentialExperiment(SharedPool& P, MediumState& M, MediumHost& host, bool stop) {
  M.Prepared = false;
  M.ExperimentKind = kPotentialKind;
  ConvertFrame(P, M, host.Relativistic());
  KeepRunValues(P, M);
  M.SineOmega = Chk(Chk(M.kT2 * 2 * P.Pi) * M.Run.v0);
  SetSpeeds(P);
  RememberMarkers(P, M);
  M.FieldScale = 2000;
  M.PrevFieldE = 0;
  ReadyRun(P, M, host, stop, 0);
  // The period arrays start afresh whether or not the run starts now.
  P.QV1 = CheckedDiv(AngleDeg(P, P.VX(1), P.VY(1)), P.DegPerRad);
  P.QV2 = CheckedDiv(AngleDeg(P, P.VX(2), P.VY(2)), P.DegPerRad);
  for (int i = 0; i <= kLastMaximum; ++i) {
    P.Tk1(i) = 0;
    P.Qn1(i) = P.QV1;
    P.Qn2(i) = P.QV2;
  }
  P.Xk1(0) = P.X(1);
  P.Yk1(0) = P.Y(1);
  P.Tn1(0) = M.T0;
  P.Tn2(0) = M.T0;
  P.Xn2(0) = P.X(2);
  P.Yn2(0) = P.Y(2);
  M.Prepared = true;
}

bool PotentialStep(SharedPool& P, MediumState& M, MediumHost& host) {
  if (P.StepCounter == INT_MAX) RaiseComputeFault("overflow");
  MoveBodies(P);
  P.StepCounter = P.StepCounter + 1;
  SetSpeeds(P);
  const double t = P.CurrentTime;
  // Where and when the field is taken.
  M.FieldPointX = P.X(1);
  M.FieldPointY = P.Y(1);
  M.Delay = 0;
  switch (host.Delay()) {
    case FieldDelay::Current: {
      const double dx = Chk(P.X(1) - P.X(2));
      const double dy = Chk(P.Y(1) - P.Y(2));
      M.Delay = CheckedDiv(CheckedSqrt(Chk(Chk(dx * dx) + Chk(dy * dy))), P.Vs);
      break;
    }
    case FieldDelay::Real:
      M.Delay = Chk(SignalTimeFromMovingPoint(P, P.X(1), P.Y(1), P.X(2), P.Y(2), P.VX(1), P.VY(1)));
      M.FieldPointX = Chk(P.X(1) + Chk(M.Delay * P.VX(1)));
      M.FieldPointY = Chk(P.Y(1) + Chk(M.Delay * P.VY(1)));
      break;
    case FieldDelay::None:
      break;
  }
  // Distance and direction from the source to that point.
  const double dx = Chk(M.FieldPointX - P.X(2));
  const double dy = Chk(M.FieldPointY - P.Y(2));
  M.FieldDistance = CheckedSqrt(Chk(Chk(dx * dx) + Chk(dy * dy)));
  M.SightAngle = CheckedDiv(AngleDeg(P, dx, dy), P.DegPerRad);
  // The source's charge and its velocity against the line of sight.
  const double q = Chk(2 + std::sin(Chk(M.SineOmega * t)));
  M.VelocityAngle = Chk(P.QV2 - M.SightAngle);
  if (M.VelocityAngle < -2 * P.Pi) M.VelocityAngle = Chk(M.VelocityAngle + 2 * P.Pi);
  M.FieldE = host.SignalOnly()
                 ? q
                 : MovingChargeField(M.FieldScale, q, M.FieldDistance, P.V2, P.Vs, M.VelocityAngle);
  // The field has just passed a maximum.
  const int p0 = P.PeriodNumber;
  bool maximum = false;
  if (M.FieldE < M.PrevFieldE && M.FrontState == 0) {
    M.FrontState = 1;
    maximum = true;
    RecordMaximum(P, M, host, p0 + 1);
  }
  // Re-armed once the field rises again.
  if (M.FieldE > M.PrevFieldE) M.FrontState = 0;
  M.PrevFieldE = M.FieldE;
  if (RefreshDue(P) || p0 == kLastMaximum) {
    P.StepCounter = 0;
    ShowBodyFields(P, host);
    if (host.Drawing()) DrawPotentialRefresh(P, M, host);
  }
  // Without "Auto" each maximum asks whether to go on.
  if (maximum && !host.AutoMode() && !host.Ask("Velmor", kContinueExperiment)) P.StopFlag = 1;
  return P.PeriodNumber == kLastMaximum || P.StopFlag == 1;
}

MediumRunEnd RunPotentialSteps(SharedPool& P, MediumState& M, MediumHost& host) {
  return RunMediumLoop(host, [&] { return PotentialStep(P, M, host); });
}

}  // namespace velmor

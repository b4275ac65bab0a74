// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/frame_transform.h"

#include <cmath>
#include <vector>

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/doppler_formulas.h"
#include "shared/geometry.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

double Trunc6(double x) {
  return Chk(TruncDecimals(x, 6));
}
double Speed(double vx, double vy) {
  return CheckedSqrt(CheckedAdd(CheckedSquare(vx), CheckedSquare(vy)));
}

// The working values, transformed in place step by step.
using Bodies = FrameBodies;

// The fields one transformation step writes.
struct StepFields {
  FrameOut t1, t2, dt, X1, Y1, X2, Y2, T1, T2;
};
constexpr StepFields kFirstStep{FrameOut::FirstT1new, FrameOut::FirstT2new, FrameOut::FirstDt,
                                FrameOut::FirstX1,    FrameOut::FirstY1,    FrameOut::FirstX2,
                                FrameOut::FirstY2,    FrameOut::FirstT1,    FrameOut::FirstT2};
constexpr StepFields kSecondStep{FrameOut::SecondT1new, FrameOut::SecondT2new, FrameOut::SecondDt,
                                 FrameOut::SecondX1,    FrameOut::SecondY1,    FrameOut::SecondX2,
                                 FrameOut::SecondY2,    FrameOut::SecondT1,    FrameOut::SecondT2};

// Whose velocities a step transforms; in the rest frame of one body that
// body is simply set at rest.
enum class Moving { Both, ReceiverOnly, SourceOnly };

// A body moved along its velocity for the time `dt` (back when it is negative).
void MoveBody(double& x, double& y, double vx, double vy, double dt) {
  x = CheckedAdd(x, CheckedMul(vx, dt));
  y = CheckedAdd(y, CheckedMul(vy, dt));
}

void SynchroniseTimes(Bodies& b, SyncOption sync, double t1, double t2) {
  const double dt = CheckedSub(t1, t2);
  switch (sync) {
    case SyncOption::None:
      break;
    case SyncOption::Source:
      MoveBody(b.X1, b.Y1, b.VX1, b.VY1, -dt);
      b.T1 = b.T2 = t2;
      break;
    case SyncOption::Receiver:
      MoveBody(b.X2, b.Y2, b.VX2, b.VY2, dt);
      b.T1 = b.T2 = t1;
      break;
    case SyncOption::Origin:
      MoveBody(b.X1, b.Y1, b.VX1, b.VY1, -t1);
      MoveBody(b.X2, b.Y2, b.VX2, b.VY2, -t2);
      b.T1 = b.T2 = 0;
      break;
  }
}

// One body's velocity seen from the frame moving along X with u: the Y
// component first, with the X component from before.
void TransformVelocity(double& VX, double& VY, double u, double G, double Vs2) {
  const double denominator = CheckedSub(1, CheckedDiv(CheckedMul(u, VX), Vs2));
  VY = CheckedDiv(CheckedMul(G, VY), denominator);
  VX = CheckedDiv(CheckedSub(VX, u), denominator);
}

void LorentzStep(Bodies& b, double u, double Vs, SyncOption sync, const StepFields& f,
                 Moving moving, FrameHost& host) {
  const double G = FactorOfRatio(u, Vs);
  const double Vs2 = CheckedSquare(Vs);
  const double X1p = b.X1;
  const double X2p = b.X2;
  b.X1 = CheckedDiv(b.X1, G);
  b.X2 = CheckedDiv(b.X2, G);
  switch (moving) {
    case Moving::Both:
      TransformVelocity(b.VX1, b.VY1, u, G, Vs2);
      TransformVelocity(b.VX2, b.VY2, u, G, Vs2);
      break;
    case Moving::ReceiverOnly:
      TransformVelocity(b.VX1, b.VY1, u, G, Vs2);
      b.VX2 = 0;
      b.VY2 = 0;
      break;
    case Moving::SourceOnly:
      TransformVelocity(b.VX2, b.VY2, u, G, Vs2);
      b.VX1 = 0;
      b.VY1 = 0;
      break;
  }
  const double t1 = CheckedDiv(CheckedSub(b.T1, CheckedDiv(CheckedMul(u, X1p), Vs2)), G);
  const double t2 = CheckedDiv(CheckedSub(b.T2, CheckedDiv(CheckedMul(u, X2p), Vs2)), G);
  host.Show(f.t1, Trunc6(t1));
  host.Show(f.t2, Trunc6(t2));
  host.Show(f.dt, Trunc6(CheckedSub(t1, t2)));
  b.T1 = t1;
  b.T2 = t2;
  SynchroniseTimes(b, sync, t1, t2);
  host.Show(f.X1, b.X1);
  host.Show(f.Y1, b.Y1);
  host.Show(f.X2, b.X2);
  host.Show(f.Y2, b.Y2);
  host.Show(f.T1, Trunc6(b.T1));
  host.Show(f.T2, Trunc6(b.T2));
}

// The source moved back along its path by the time its signal needs to reach
// the receiver; returns that time.
double ShiftByDelay(SharedPool& P, Bodies& b) {
  const double dT = SignalTimeToMovingPoint(P, b.X1, b.Y1, b.X2, b.Y2, b.VX2, b.VY2);
  b.X2 = CheckedSub(b.X2, CheckedMul(dT, b.VX2));
  b.Y2 = CheckedSub(b.Y2, CheckedMul(dT, b.VY2));
  return dT;
}

void ShowDelay(FrameHost& host, const Bodies& b, double dT) {
  host.Show(FrameOut::DelayX2, CheckedAdd(b.X2, CheckedMul(dT, b.VX2)));
  host.Show(FrameOut::DelayY2, CheckedAdd(b.Y2, CheckedMul(dT, b.VY2)));
  host.Show(FrameOut::DelaydT, dT);
  host.Show(FrameOut::DelayT2, b.T2);
}

double RatioOf(const FrameInputs& in, const FrameResult& r) {
  const double Vs = in.Vs;
  switch (in.formula) {
    case FrameFormula::Classical2:
      return Formula2(1, r.V1, r.Q1, r.V2, r.Q2, Vs);
    case FrameFormula::F41:
      return Formula41(1, r.V12, r.Q12, Vs, FactorOfRatio(r.V12, Vs));
    case FrameFormula::F43:
      return Formula43(1, r.V12, r.Q12, Vs, FactorOfRatio(r.V12, Vs));
    case FrameFormula::F45:
      return Formula45(1, r.V1, r.Q1, r.V2, r.Q2, Vs, FactorOfRatio(r.V1, Vs),
                       FactorOfRatio(r.V2, Vs));
  }
  return 0;
}

constexpr Rgb kAso = RGB(0, 0, 250);
constexpr Rgb kFinal = RGB(250, 0, 0);
constexpr Rgb kRelative = RGB(0, 240, 0);

// The drawing, found in full before anything is drawn.
class Sketch {
 public:
  Sketch(double ML, double MV) : ML_(ML), MV_(MV) {}

  // Both bodies, the line between them and their velocities.
  void Pair(double X1, double Y1, double X2, double Y2, double VX1, double VY1, double VX2,
            double VY2, Rgb colour) {
    Circle(X1, Y1, colour);
    Circle(X2, Y2, colour);
    marks_.push_back({false, CheckedDiv(X1, ML_), CheckedDiv(Y1, ML_), CheckedDiv(X2, ML_),
                      CheckedDiv(Y2, ML_), kColour1});
    Velocity(X1, Y1, VX1, VY1, colour);
    Velocity(X2, Y2, VX2, VY2, colour);
  }
  void Velocity(double X, double Y, double VX, double VY, Rgb colour) {
    const double x = CheckedDiv(X, ML_);
    const double y = CheckedDiv(Y, ML_);
    marks_.push_back({false, x, y, CheckedAdd(x, CheckedDiv(VX, MV_)),
                      CheckedAdd(y, CheckedDiv(VY, MV_)), colour});
  }
  void DrawOn(Canvas& c) const {
    for (const Mark& m : marks_) {
      if (m.circle) {
        c.Circle(m.a, m.b, m.c, m.colour);
      } else {
        c.Line(m.a, m.b, m.c, m.d, m.colour);
      }
    }
  }

 private:
  struct Mark {
    bool circle;
    double a, b, c, d;
    Rgb colour;
  };
  void Circle(double X, double Y, Rgb colour) {
    marks_.push_back({true, CheckedDiv(X, ML_), CheckedDiv(Y, ML_), 0.2, 0, colour});
  }
  double ML_, MV_;
  std::vector<Mark> marks_;
};

}  // namespace

void SetFrameWindowConstants(SharedPool& pool) {
  pool.Pi = 3.141592654;
  pool.Million = 1000000;
  pool.DegPerRad = 180 / 3.141592654;
}

double SignedAngleRad(const SharedPool& pool, double x, double y) {
  const double Pi = pool.Pi;
  double b;
  if (x != 0) {
    // y / x may overflow for finite arguments; its arctangent is still the
    // direction, as in the other angle helpers.
    b = std::atan(y / x);
    if (x < 0) {
      b = b + Pi;
    } else if (y < 0) {
      b = b + 2 * Pi;
    }
  } else if (y == 0) {
    b = 0;
  } else if (y > 0) {
    b = Pi / 2;
  } else {
    b = 3 * Pi / 2;
  }
  if (b > Pi) b = b - 2 * Pi;
  return b;
}

void DrawTransformGrid(Canvas& c) {
  constexpr Rgb kGrid = RGB(200, 200, 200);
  c.SetScale(-5, 8, 12, -4);
  for (int a = -5; a <= 12; ++a) c.Line(a, -4, a, 8, kGrid);
  for (int b = -4; b <= 8; ++b) c.Line(-5, b, 12, b, kGrid);
  c.Line(-5, 0, 12, 0, kColour1);
  c.Line(0, 8, 0, -4, kColour1);
  c.Line(-5, 7, -2, 7, RGB(0, 0, 255));
  c.PrintAt(-1.5, 7.5, "ASO");
  c.Line(-5, 6, -2, 6, RGB(255, 0, 0));
  c.PrintAt(-1.5, 6.5, "ISO");
}

FrameResult RecomputeToInertialFrame(SharedPool& P, const FrameInputs& in, FrameHost& host,
                                     Canvas& picture) {
  // The signal speed goes to the shared pool; the bodies start where the
  // absolute frame has them.
  P.Vs = in.Vs;
  const double Vs = in.Vs;
  const double Pi = P.Pi;
  const auto deg = [&P](double rad) { return CheckedMul(rad, P.DegPerRad); };
  Bodies b{in.X1aso,  in.Y1aso,  in.X2aso,  in.Y2aso, in.VX1aso,
           in.VY1aso, in.VX2aso, in.VY2aso, in.taso,  in.taso};

  // The delay and second-step fields start afresh; the first step's fields
  // are left as they are.
  for (FrameOut f :
       {FrameOut::DelaydT, FrameOut::DelayT2, FrameOut::SecondU, FrameOut::SecondT1,
        FrameOut::SecondT2, FrameOut::SecondT1new, FrameOut::SecondT2new, FrameOut::SecondDt,
        FrameOut::SecondX2, FrameOut::SecondY2, FrameOut::SecondX1, FrameOut::SecondY1}) {
    host.Show(f, 0);
  }
  host.Show(FrameOut::DelayX2, in.X2aso);
  host.Show(FrameOut::DelayY2, in.Y2aso);

  // A delay counted in the absolute frame moves the source back first.
  if (in.delay == DelayOption::InAso) {
    const double dT = ShiftByDelay(P, b);
    b.T2 = CheckedSub(in.taso, dT);
    ShowDelay(host, b, dT);
  }
  const Bodies aso = b;

  // Speeds and angles to the line of sight in the absolute frame.
  const double V1aso = Speed(b.VX1, b.VY1);
  const double V2aso = Speed(b.VX2, b.VY2);
  const double Q3aso = SignedAngleRad(P, CheckedSub(b.X1, b.X2), CheckedSub(b.Y1, b.Y2));
  const double Q1aso = CheckedSub(SignedAngleRad(P, b.VX1, b.VY1), Q3aso);
  const double Q2aso = CheckedSub(SignedAngleRad(P, b.VX2, b.VY2), Q3aso);

  // Into the inertial frame moving at VXiso.
  if (in.formula == FrameFormula::Classical2) {
    b.VX1 = CheckedSub(b.VX1, in.VXiso);
    b.VX2 = CheckedSub(b.VX2, in.VXiso);
  } else {
    LorentzStep(b, in.VXiso, Vs, in.sync, kFirstStep, Moving::Both, host);
  }

  // The second step: the third frame, or the rest frame of one body.
  switch (in.formula) {
    case FrameFormula::Classical2:
      if (in.thirdFrame) {
        host.Show(FrameOut::SecondU, in.VXiso3);
        b.VX1 = CheckedSub(b.VX1, in.VXiso3);
        b.VX2 = CheckedSub(b.VX2, in.VXiso3);
      }
      break;
    case FrameFormula::F45:
      if (in.thirdFrame) {
        host.Show(FrameOut::SecondU, in.VXiso3);
        LorentzStep(b, in.VXiso3, Vs, in.sync, kSecondStep, Moving::Both, host);
      }
      break;
    case FrameFormula::F41: {
      const double u = b.VX2;
      host.Show(FrameOut::SecondU, u);
      LorentzStep(b, u, Vs, in.sync, kSecondStep, Moving::ReceiverOnly, host);
      break;
    }
    case FrameFormula::F43: {
      const double u = b.VX1;
      host.Show(FrameOut::SecondU, u);
      LorentzStep(b, u, Vs, in.sync, kSecondStep, Moving::SourceOnly, host);
      break;
    }
  }

  // The delay counted in the final frame (a source at rest has none).
  host.Show(FrameOut::DelayX2, b.X2);
  host.Show(FrameOut::DelayY2, b.Y2);
  if (in.formula == FrameFormula::F41) {
    // The source is at rest: no delay moves it.
    host.Show(FrameOut::DelaydT, 0);
    host.Show(FrameOut::DelayT2, b.T2);
  } else if (in.delay == DelayOption::InFinalFrame) {
    const double dT = ShiftByDelay(P, b);
    b.T2 = CheckedSub(b.T2, dT);
    ShowDelay(host, b, dT);
  }

  // Speeds and angles in the final frame, the angles measured from the
  // line of sight.
  FrameResult r{b};
  const double dVX = CheckedSub(b.VX1, b.VX2);
  const double dVY = CheckedSub(b.VY1, b.VY2);
  r.V1 = Speed(b.VX1, b.VY1);
  r.V2 = Speed(b.VX2, b.VY2);
  r.V12 = Speed(dVX, dVY);
  r.Q3 = SignedAngleRad(P, CheckedSub(b.X1, b.X2), CheckedSub(b.Y1, b.Y2));
  if (r.Q3 > Pi) r.Q3 = r.Q3 - 2 * Pi;
  const auto toSight = [&](double direction) {
    double q = CheckedSub(direction, r.Q3);
    if (q < -Pi) q = q + 2 * Pi;
    return q;
  };
  r.Q1 = toSight(SignedAngleRad(P, b.VX1, b.VY1));
  r.Q2 = toSight(SignedAngleRad(P, b.VX2, b.VY2));
  r.Q12 = toSight(SignedAngleRad(P, dVX, dVY));

  // Every result into its field.
  host.Show(FrameOut::V1aso, V1aso);
  host.Show(FrameOut::V2aso, V2aso);
  host.Show(FrameOut::Q1aso, deg(Q1aso));
  host.Show(FrameOut::Q2aso, deg(Q2aso));
  host.Show(FrameOut::Q3aso, deg(Q3aso));
  host.Show(FrameOut::X1iso, r.X1);
  host.Show(FrameOut::Y1iso, r.Y1);
  host.Show(FrameOut::X2iso, r.X2);
  host.Show(FrameOut::Y2iso, r.Y2);
  host.Show(FrameOut::VX1iso, r.VX1);
  host.Show(FrameOut::VY1iso, r.VY1);
  host.Show(FrameOut::VX2iso, r.VX2);
  host.Show(FrameOut::VY2iso, r.VY2);
  host.Show(FrameOut::V1iso, r.V1);
  host.Show(FrameOut::V2iso, r.V2);
  host.Show(FrameOut::V12iso, r.V12);
  host.Show(FrameOut::Q1iso, deg(r.Q1));
  host.Show(FrameOut::Q2iso, deg(r.Q2));
  host.Show(FrameOut::Q12iso, deg(r.Q12));
  host.Show(FrameOut::Q3iso, deg(r.Q3));

  // The ratio comes before the drawing, so that a ratio that faults leaves
  // no picture of a calculation that did not finish.
  r.ratio = RatioOf(in, r);
  host.Show(FrameOut::Ratio, r.ratio);

  Sketch sketch(in.ML, in.MV);
  if (in.drawAso) {
    sketch.Pair(aso.X1, aso.Y1, aso.X2, aso.Y2, aso.VX1, aso.VY1, aso.VX2, aso.VY2, kAso);
  }
  sketch.Pair(r.X1, r.Y1, r.X2, r.Y2, r.VX1, r.VY1, r.VX2, r.VY2, kFinal);
  if (in.formula == FrameFormula::F41 || in.formula == FrameFormula::F43) {
    sketch.Velocity(r.X1, r.Y1, dVX, dVY, kRelative);
  }
  sketch.DrawOn(picture);
  return r;
}

}  // namespace velmor

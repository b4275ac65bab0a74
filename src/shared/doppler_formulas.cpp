// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/doppler_formulas.h"

#include <cmath>
#include <string>

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

// V*cos(Q)/Vs: the speed's component along the line of sight, in Vs.
double Along(double V, double Q, double Vs) {
  return CheckedDiv(CheckedMul(V, CheckedCos(Q)), Vs);
}

// (1 - V1*cos(Q1)/Vs) / (1 - V2*cos(Q2)/Vs) parts of (2), (3) and (4-5).
struct TwoBodyParts {
  double receiver;  // 1 - V1*cos(Q1)/Vs
  double source;    // 1 - V2*cos(Q2)/Vs
};
TwoBodyParts Parts(double V1, double Q1, double V2, double Q2, double Vs) {
  return {CheckedSub(1, Along(V1, Q1, Vs)), CheckedSub(1, Along(V2, Q2, Vs))};
}

constexpr double kFloor = 0.00001;

}  // namespace

const char* const kSpeedRefusal =
    "Скорости источника и приемника должны быть меньше скорости сигнала.\n"
    "Проверьте заданные для выбранной формулы скорости VX1 и VX2.";

double Formula2(double v0, double V1, double Q1, double V2, double Q2, double Vs) {
  const TwoBodyParts p = Parts(V1, Q1, V2, Q2, Vs);
  return CheckedDiv(CheckedMul(v0, p.receiver), p.source);
}

double Formula31(double v0, double V1, double Q1, double V2, double Q2, double Vs, double dv1,
                 double dv2) {
  const TwoBodyParts p = Parts(V1, Q1, V2, Q2, Vs);
  return CheckedAdd(CheckedAdd(CheckedDiv(CheckedMul(v0, p.receiver), p.source), dv2), dv1);
}

double Formula32(double v0, double V1, double Q1, double V2, double Q2, double Vs, double dv1,
                 double dv2) {
  const TwoBodyParts p = Parts(V1, Q1, V2, Q2, Vs);
  return CheckedAdd(CheckedDiv(CheckedMul(CheckedAdd(v0, dv2), p.receiver), p.source), dv1);
}

double Formula41(double v0, double V12, double Q12, double Vs, double G) {
  return CheckedDiv(CheckedMul(v0, CheckedSub(1, Along(V12, Q12, Vs))), G);
}

double Formula42(double v0, double V12, double Q12, double Vs, double G) {
  return CheckedDiv(CheckedMul(G, v0), CheckedSub(1, Along(V12, Q12, Vs)));
}

double Formula43(double v0, double V12, double Q12, double Vs, double G) {
  return CheckedDiv(CheckedMul(G, v0), CheckedAdd(1, Along(V12, Q12, Vs)));
}

double Formula44(double v0, double V12, double Q12, double Vs) {
  return CheckedMul(v0, CheckedSub(1, Along(V12, Q12, Vs)));
}

double Formula45(double v0, double V1, double Q1, double V2, double Q2, double Vs, double G1,
                 double G2) {
  const TwoBodyParts p = Parts(V1, Q1, V2, Q2, Vs);
  return CheckedDiv(CheckedDiv(CheckedMul(CheckedMul(v0, G2), p.receiver), p.source), G1);
}

double FactorOfRatio(double V, double Vs) {
  return CheckedSqrt(CheckedSub(1, CheckedSquare(CheckedDiv(V, Vs))));
}

double FactorOfSquares(double V, double Vs) {
  return CheckedSqrt(CheckedSub(1, CheckedDiv(CheckedSquare(V), CheckedSquare(Vs))));
}

double ReducedAngle(double Q, double Pi) {
  double a = std::fabs(Chk(Q));
  if (a > Pi) a = a - Pi;
  return a;
}

double ApproximateCorrectionReceiver(double a1, double V1, double Vs, double v0) {
  const double root = CheckedSqrt(CheckedAdd(CheckedSquare(Vs), CheckedSquare(V1)));
  return CheckedMul(CheckedMul(CheckedSub(CheckedDiv(root, Vs), 1), v0), CheckedSin(a1));
}

double ApproximateCorrectionSource(double a2, double V2, double Vs, double v0) {
  const double root = CheckedSqrt(CheckedSub(CheckedSquare(Vs), CheckedSquare(V2)));
  return CheckedMul(CheckedMul(CheckedSub(CheckedDiv(root, Vs), 1), v0), CheckedSin(a2));
}

double ExactCorrectionReceiver(double a1, double V1, double Vs, double v0, double Pi) {
  double c1;
  if (a1 > Pi / 2) {
    // The same speed, written for the receiver moving towards the source.
    const double a = Pi - a1;
    c1 = CheckedSqrt(CheckedAdd(CheckedSquare(CheckedAdd(CheckedMul(V1, CheckedCos(a)), Vs)),
                                CheckedSquare(CheckedMul(V1, CheckedSin(a)))));
  } else {
    c1 = CheckedSqrt(CheckedAdd(CheckedSquare(CheckedSub(Vs, CheckedMul(V1, CheckedCos(a1)))),
                                CheckedSquare(CheckedMul(V1, CheckedSin(a1)))));
  }
  return CheckedMul(CheckedAdd(Along(V1, a1, Vs), CheckedSub(CheckedDiv(c1, Vs), 1)), v0);
}

double ExactCorrectionSource(double a2, double V2, double Vs, double v0, double Pi) {
  double c2;
  if (a2 > Pi / 2) {
    const double a = Pi - a2;
    c2 = CheckedSub(
        CheckedSqrt(CheckedSub(CheckedSquare(Vs), CheckedSquare(CheckedMul(V2, CheckedSin(a))))),
        CheckedMul(V2, CheckedCos(a)));
  } else {
    c2 = CheckedAdd(
        CheckedSqrt(CheckedSub(CheckedSquare(Vs), CheckedSquare(CheckedMul(V2, CheckedSin(a2))))),
        CheckedMul(V2, CheckedCos(a2)));
  }
  return CheckedMul(CheckedSub(CheckedSub(CheckedDiv(c2, Vs), 1), Along(V2, a2, Vs)), v0);
}

StoVariant DecidingVariant(const DopplerChoice& c) {
  if (c.variant41) return StoVariant::V41;
  if (c.variant42) return StoVariant::V42;
  if (c.variant43) return StoVariant::V43;
  if (c.variant45) return StoVariant::V45;
  return StoVariant::None;
}

void UntickOtherVariants(DopplerChoice& c, StoVariant clicked) {
  if (clicked != StoVariant::V41) c.variant41 = false;
  if (clicked != StoVariant::V42) c.variant42 = false;
  if (clicked != StoVariant::V43) c.variant43 = false;
  if (clicked != StoVariant::V45) c.variant45 = false;
}

namespace {

// Step 6 under "СТО": false when there is no new result.
bool EvaluateSto(SharedPool& P, StoVariant variant, const DopplerAngles& q, double& v) {
  const double Vs = P.Vs;
  switch (variant) {
    case StoVariant::V41:
      v = Formula41(P.v0, P.V12, q.Q12, Vs, P.G);
      return true;
    case StoVariant::V42:
      if (!(std::fabs(CheckedSub(1, Along(P.V12, q.Q12, Vs))) > kFloor)) return false;
      v = Formula42(P.v0, P.V12, q.Q12, Vs, P.G);
      return true;
    case StoVariant::V43:
      if (!(std::fabs(CheckedAdd(1, Along(P.V12, q.Q12, Vs))) > kFloor)) return false;
      v = Formula43(P.v0, P.V12, q.Q12, Vs, P.G);
      return true;
    case StoVariant::V45:
      if (!(std::fabs(CheckedSub(1, Along(P.V2, q.Q2, Vs))) > kFloor)) return false;
      v = Formula45(P.v0, P.V1, q.Q1, P.V2, q.Q2, Vs, P.G1, P.G2);
      return true;
    case StoVariant::None:
      break;
  }
  return false;
}

// The label text first, then the number; speeds and angles to three
// decimals, factors and corrections to six.
void PrintValues(Canvas& c, const SharedPool& P, const DopplerAngles& q) {
  const auto line = [&c](double x, double y, const char* label, double value, int decimals) {
    c.PrintAt(x, y,
              std::string(label) + NumericPrintForm(Chk(TruncDecimals(Chk(value), decimals))));
  };
  const auto deg = [&P](double rad) { return CheckedMul(rad, P.DegPerRad); };
  line(0.5, 13.8, "V1=   ", P.V1, 3);
  line(0.5, 12.8, "V2=   ", P.V2, 3);
  line(0.5, 11.8, "V12=   ", P.V12, 3);
  line(0.5, 10.8, "Q3=   ", deg(q.Q3), 3);
  line(0.5, 9.8, "Q1= W1 - Q3=  ", deg(q.Q1), 3);
  line(0.5, 8.8, "Q2= W2 - Q3=  ", deg(q.Q2), 3);
  line(0.5, 7.8, "Q12= W12 - Q3=  ", deg(q.Q12), 3);
  line(34.5, 13.8, "G1=   ", P.G1, 6);
  line(34.5, 12.8, "G2=   ", P.G2, 6);
  line(34.5, 11.8, "G=   ", P.G, 6);
  line(34.5, 10.8, "dv1 / v0=   ", CheckedDiv(P.dv1, P.v0), 6);
  line(34.5, 9.8, "dv2 / v0=   ", CheckedDiv(P.dv2, P.v0), 6);
}

}  // namespace

bool EvaluateDopplerFormula(SharedPool& P, DopplerMode mode, const DopplerChoice& choice,
                            double inputValue, const DopplerAngles& q, DopplerDisplay& display) {
  // The input kept as given; a wavelength gives the emitted frequency.
  P.InputCopy = inputValue;
  if (choice.wavelengths) P.v0 = CheckedDiv(P.Vs, inputValue);
  const double Vs = P.Vs;

  // No body as fast as the signal or faster: equality refuses as well.
  if (std::fabs(Chk(P.V12)) >= Vs || std::fabs(Chk(P.V2)) >= Vs || std::fabs(Chk(P.V1)) >= Vs) {
    if (mode == DopplerMode::Single) display.ShowMessage(kSpeedRefusal);
    return false;
  }

  // The factors sqrt(1 - V^2/Vs^2) of the relative speed and of both bodies (G and
  // G1 floored); no corrections until a formula makes them.
  P.G = FactorOfRatio(P.V12, Vs);
  P.G2 = FactorOfSquares(P.V2, Vs);
  P.G1 = FactorOfSquares(P.V1, Vs);
  if (P.G < kFloor) P.G = kFloor;
  if (P.G1 < kFloor) P.G1 = kFloor;
  P.dv1 = 0;
  P.dv2 = 0;

  // The chosen formula.
  double v = P.v;
  bool produced = true;
  switch (choice.formula) {
    case DopplerFormula::Lorentz:
      v = Formula2(P.v0, P.V1, q.Q1, P.V2, q.Q2, Vs);
      break;
    case DopplerFormula::Zevr: {
      const double a1 = ReducedAngle(q.Q1, P.Pi);
      const double a2 = ReducedAngle(q.Q2, P.Pi);
      if (choice.exactCorrections) {
        P.dv1 = ExactCorrectionReceiver(a1, P.V1, Vs, P.v0, P.Pi);
        P.dv2 = ExactCorrectionSource(a2, P.V2, Vs, P.v0, P.Pi);
      } else {
        P.dv2 = ApproximateCorrectionSource(a2, P.V2, Vs, P.v0);
        P.dv1 = ApproximateCorrectionReceiver(a1, P.V1, Vs, P.v0);
      }
      v = choice.zevr31 ? Formula31(P.v0, P.V1, q.Q1, P.V2, q.Q2, Vs, P.dv1, P.dv2)
                        : Formula32(P.v0, P.V1, q.Q1, P.V2, q.Q2, Vs, P.dv1, P.dv2);
      break;
    }
    case DopplerFormula::Kto:
      v = Formula44(P.v0, P.V12, q.Q12, Vs);
      break;
    case DopplerFormula::Sto:
      produced = EvaluateSto(P, DecidingVariant(choice), q, v);
      break;
  }

  // Only a new result becomes a wavelength: converting the kept one again
  // would flip it between frequency and wavelength at every evaluation.
  if (produced) {
    P.v = v;
    if (choice.wavelengths) P.v = CheckedDiv(Vs, P.v);
  }

  // The ratio to the input, the shift, and where the bodies stand.
  const double ratio = CheckedDiv(P.v, inputValue);
  display.ShowRatio(ratio, CheckedMul(CheckedSub(ratio, 1), inputValue));
  const double X1 = P.X(1), X2 = P.X(2), Y1 = P.Y(1), Y2 = P.Y(2);
  display.ShowPositions(X1, X2, Y1, Y2,
                        CheckedSqrt(CheckedAdd(CheckedSquare(CheckedSub(X1, X2)),
                                               CheckedSquare(CheckedSub(Y1, Y2)))));

  // A single evaluation also prints its values on the picture.
  if (mode == DopplerMode::Single) PrintValues(display.ClearedValuesPicture(), P, q);
  return produced;
}

}  // namespace velmor

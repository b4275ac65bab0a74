// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/graph_panel.h"

#include <cmath>

#include "shared/canvas.h"
#include "shared/checked_math.h"
#include "shared/colours.h"
#include "shared/geometry.h"
#include "shared/numbers.h"
#include "shared/shared_pool.h"

namespace velmor {

namespace {

struct LegendRow {
  double y;
  const char* label;
  Rgb colour;
  bool secondColumn;
};

constexpr LegendRow kLegend[] = {
    {16.4, "4-1", RGB(0, 210, 0), false}, {15.4, "4-2", RGB(0, 230, 0), false},
    {14.4, "4-3", RGB(0, 255, 0), false}, {13.4, "4-4", RGB(255, 0, 200), false},
    {12.4, "4-5", RGB(255, 0, 0), false}, {16.4, "2", kColour1, true},
    {15.4, "3-1", RGB(0, 0, 190), true},  {14.4, "3-2", RGB(0, 0, 255), true},
};

std::string Trunc6(double x) {
  return GeneralForm(Chk(Fix(Chk(1000000 * x)) / 1000000));
}

}  // namespace

void DrawEmptyGraph(Canvas& c, SharedPool& P, double typedScale, GraphAbscissa mode) {
  const double s = Chk(typedScale / 2);
  P.GraphScale = s;
  c.Cls();
  c.SetScale(-21, 17, 20, -1);
  for (int b = 0; b <= 18; b += 2) c.Line(-20, b, 20, b, kGrid);
  for (int a = -20; a <= 20; a += 2) c.Line(a, 0, a, 18, kGrid);
  c.SetForeColor(kText);
  for (int b = 0; b <= 18; b += 2) c.PrintAt(-21, b + 0.5, NumericPrintForm(Chk(b * s)));
  for (int a = -20; a <= 20; a += 2) {
    const double label = mode == GraphAbscissa::Angle ? 90 + 4.5 * a : a / 20.0;
    c.PrintAt(a - 0.3, -0.3, NumericPrintForm(label));
  }
  c.Line(0, 17, 0, 0, kColour1);
  c.Line(-20, 0, 20, 0, kColour1);
  c.SetLineWidth(4);
  for (const LegendRow& row : kLegend) {
    const double x0 = row.secondColumn ? 0 : -4;
    c.Line(x0, row.y, x0 + 2, row.y, row.colour);
    c.SetForeColor(row.colour);
    c.PrintAt(row.secondColumn ? 2.5 : -1.5, row.y + 0.4, row.label);
  }
  c.SetLineWidth(1);
  c.SetForeColor(kText);
}

bool CurveColour(const DopplerChoice& choice, Rgb& colour) {
  switch (choice.formula) {
    case DopplerFormula::Lorentz:
      colour = kColour1;
      return true;
    case DopplerFormula::Zevr:
      colour = choice.zevr31 ? RGB(0, 0, 150) : RGB(0, 0, 255);
      return true;
    case DopplerFormula::Kto:
      colour = RGB(255, 0, 200);
      return true;
    case DopplerFormula::Sto:
      switch (DecidingVariant(choice)) {
        case StoVariant::V41:
          colour = RGB(0, 210, 0);
          return true;
        case StoVariant::V42:
          colour = RGB(0, 230, 0);
          return true;
        case StoVariant::V43:
          colour = RGB(0, 255, 0);
          return true;
        case StoVariant::V45:
          colour = RGB(255, 0, 0);
          return true;
        case StoVariant::None:
          return false;
      }
  }
  return false;
}

void DrawTheoryCurve(Canvas& c, SharedPool& P, const DopplerChoice& choice, const SweepInputs& in,
                     DopplerDisplay& display) {
  P.Vs = in.Vs;
  P.v0 = in.input;
  int counter = 100;
  const bool angleMode = in.mode == GraphAbscissa::Angle;
  std::string table = angleMode ? "     №                      Q(i)                    v/v0  \n\n"
                                : "     №                      V(i)                   v/v0  \n\n";
  Rgb colour;
  const bool drawn = CurveColour(choice, colour);
  const StoVariant variant = DecidingVariant(choice);
  for (int n = 0; n <= 4999; ++n) {
    double V1 = in.V1, V2 = in.V2, Q = in.Q;
    if (in.mode == GraphAbscissa::VX1) V1 = Chk(n * in.Vs / 2500 - in.Vs);
    if (in.mode == GraphAbscissa::VX2) V2 = Chk(n * in.Vs / 2500 - in.Vs);
    if (angleMode) {
      Q = n * 90.0 / 2500;
      if (choice.formula == DopplerFormula::Sto) {
        // The relativistic relative speed goes to one body, the other rests.
        const double den = Chk(1 - CheckedDiv(Chk(V1 * V2), Chk(in.Vs * in.Vs)));
        if (variant == StoVariant::V41) {
          V1 = CheckedDiv(Chk(V1 - V2), den);
          V2 = 0;
        } else if (variant == StoVariant::V42 || variant == StoVariant::V43) {
          V2 = CheckedDiv(Chk(V2 - V1), den);
          V1 = 0;
        }
      }
    }
    P.V1 = V1;
    P.V2 = V2;
    P.V12 = Chk(V1 - V2);
    const double q = CheckedDiv(Q, P.DegPerRad);
    const DopplerAngles angles{q, q, q, 0};
    const bool produced =
        EvaluateDopplerFormula(P, DopplerMode::Sweep, choice, in.input, angles, display);
    double X = 0;
    if (in.mode == GraphAbscissa::VX1) X = CheckedDiv(Chk(20 * V1), in.Vs);
    if (in.mode == GraphAbscissa::VX2) X = CheckedDiv(Chk(20 * V2), in.Vs);
    if (angleMode) X = Chk(20 * (Q / 90 - 1));
    const double Y = CheckedDiv(CheckedDiv(P.v, P.InputCopy), P.GraphScale);
    if (produced && drawn && Y < 20) c.Circle(X, Y, 0.03, colour);
    if (counter == 100) {
      counter = 0;
      if (produced) {
        const double ratio6 = Chk(Fix(CheckedDiv(Chk(1000000 * P.v), P.InputCopy)) / 1000000);
        if (angleMode) {
          table += "  i= " + WholeText(n) + "        Q(i) = " + Trunc6(Q) +
                   "        v1(i)/v0 = " + GeneralForm(ratio6) + "\n";
        } else {
          const double V = in.mode == GraphAbscissa::VX1 ? V1 : V2;
          table += "  i= " + WholeText(n) + "      V(i)/Vs = " +
                   GeneralForm(Chk(CheckedDiv(Fix(Chk(1000000 * V)), in.Vs) / 1000000)) +
                   "        v1(i)/v0 = " + GeneralForm(ratio6) + "\n";
        }
      }
    }
    ++counter;
  }
  P.ReportText = table;
}

void DrawTypedPoint(Canvas& c, const SharedPool& P, double X, double Y, GraphAbscissa mode) {
  const double px = mode == GraphAbscissa::Angle ? Chk(Chk(20 * X) / 90 - 20) : Chk(20 * X);
  c.Circle(px, CheckedDiv(Y, P.GraphScale), 0.2, kColour1);
}

ClickedPoint MarkClickedPoint(Canvas& c, const SharedPool& P, double x, double y,
                              GraphAbscissa mode) {
  c.Circle(x, y, 0.2, kColour1);
  ClickedPoint r;
  r.x = SingleForm(Chk(x / 20));
  r.y = GeneralForm(Chk(y * P.GraphScale));
  if (mode == GraphAbscissa::Angle) r.x = GeneralForm(Chk(4.5 * x + 90));
  return r;
}

void DrawExperimentPoints(Canvas& c, SharedPool& P, bool delay) {
  P.ReportText = "";
  const Rgb colour = delay ? RGB(0, 0, 250) : RGB(0, 220, 0);
  auto t2 = [](double x) { return GeneralForm(Chk(Fix(Chk(x * 100)) / 100)); };
  double A1 = 0, A2 = 0, Asr = 0;
  for (int p = 1; p <= 19; ++p) {
    const auto& X1 = delay ? P.Xk1 : P.Xn1;
    const auto& Y1 = delay ? P.Yk1 : P.Yn1;
    A1 = AngleDeg(P, Chk(X1(p - 1) - P.Xn2(p)), Chk(Y1(p - 1) - P.Yn2(p)));
    A2 = AngleDeg(P, Chk(X1(p) - P.Xn2(p + 1)), Chk(Y1(p) - P.Yn2(p + 1)));
    Asr = (A1 + A2) / 2;
    P.dT(p) = 1;
    if (P.Tk1(p) > 0) P.dT(p) = Chk(P.Tk1(p) - P.Tk1(p - 1));
    P.v = CheckedDiv(P.Nv0, P.dT(p));
    c.Circle(Chk((Asr / 90 - 1) * 20), CheckedDiv(CheckedDiv(P.v, P.v0), P.GraphScale), 0.2,
             colour);
    P.ReportText += "N= " + WholeText(p) + "    An = " + t2(P.An(p)) + "    Asr = " + t2(Asr) +
                    "    dT = " + t2(P.dT(p)) +
                    "    v1/v0 = " + GeneralForm(Chk(Fix(CheckedDiv(Chk(100 * P.v), P.v0)) / 100)) +
                    "\n";
  }
  P.A1 = A1;
  P.A2 = A2;
  P.Asr = Asr;
}

}  // namespace velmor
